# Image files laid out on PDF pages: boxes, sizes, angles, the runners, and each image encoded once.
tomefold_add_test(toolkit_images_to_pdf_tests SANITIZE
  SOURCES imagestopdf/ImagesToPDFLayoutTest.cpp imagestopdf/ImagesToPDFRunnerTest.cpp imagestopdf/PDFPageProbe.cpp
          imagestopdf/PDFPageProbe.h ToolkitTestImages.cpp ToolkitTestImages.h
  LIBS tomefold_toolkit Qt6::Gui PkgConfig::JPEG PkgConfig::OPENJP2 PkgConfig::WEBP PkgConfig::TIFF PkgConfig::EXIV2
       PkgConfig::QPDF giflib::giflib)
