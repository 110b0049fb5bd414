# Images out of PDFs. The test documents are written with qpdf; the decoder reads untrusted files,
# so its tests also run under ASan/UBSan.
set(pdfimages_test_files pdfimages/PDFImageTestFiles.cpp)
tomefold_add_test(toolkit_pdfimages_decoder_tests SANITIZE
  SOURCES pdfimages/PDFImageDecoderTest.cpp ${pdfimages_test_files}
  LIBS tomefold_toolkit poppler::core PkgConfig::QPDF PkgConfig::LCMS2 PkgConfig::OPENJP2 PkgConfig::TIFF)
tomefold_add_test(toolkit_pdfimages_extractor_tests SANITIZE
  SOURCES pdfimages/PDFImageExtractorTest.cpp ${pdfimages_test_files}
  LIBS tomefold_toolkit poppler::core PkgConfig::QPDF PkgConfig::OPENJP2 PkgConfig::TIFF)
