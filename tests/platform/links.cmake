tomefold_add_test(pdf_link_tests SANITIZE
  SOURCES PdfLinkTest.cpp PdfMergedDestinationsTest.cpp
  LIBS tomefold_platform PkgConfig::QPDF)
