# Image output: the writers of every type, the representation road, WebP, metadata and the data sink.
tomefold_add_test(toolkit_image_writing_tests SANITIZE
  SOURCES writing/ImageWritingTest.cpp writing/RepresentationWritingTest.cpp writing/OutputFidelityTest.cpp
          writing/WritingTestSupport.cpp
          writing/WritingTestSupport.h ToolkitTestImages.cpp ToolkitTestImages.h
  LIBS tomefold_toolkit Qt6::Gui PkgConfig::JPEG PkgConfig::OPENJP2 PkgConfig::WEBP PkgConfig::TIFF PkgConfig::EXIV2
       PkgConfig::QPDF giflib::giflib)
