# PDF pages drawn into image files; the documents are written with qpdf.
tomefold_add_test(toolkit_pdfpages_tests
  SOURCES pdfpages/PDFPageRendererTest.cpp pdfimages/PDFImageTestFiles.cpp
  LIBS tomefold_toolkit poppler::core PkgConfig::QPDF PkgConfig::OPENJP2 PkgConfig::TIFF)
