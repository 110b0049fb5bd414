# Image sizing and rendering: fit modes, orientation, colour models, resolution, resampling, sharpening.
tomefold_add_test(toolkit_image_rendering_tests SANITIZE
  SOURCES rendering/ImageSizingTest.cpp rendering/ImageRenderingTest.cpp writing/WritingTestSupport.cpp
          writing/WritingTestSupport.h ToolkitTestImages.cpp ToolkitTestImages.h
  LIBS tomefold_toolkit Qt6::Gui PkgConfig::JPEG PkgConfig::OPENJP2 PkgConfig::WEBP PkgConfig::TIFF PkgConfig::EXIV2
       PkgConfig::QPDF giflib::giflib)
