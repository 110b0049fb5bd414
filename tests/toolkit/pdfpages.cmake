# PDF pages drawn into image files; the documents are written with qpdf.
tomefold_add_test(toolkit_pdfpages_tests
  SOURCES pdfpages/PDFPageRendererTest.cpp pdfimages/PDFImageTestFiles.cpp
  LIBS tomefold_toolkit poppler::core PkgConfig::QPDF PkgConfig::OPENJP2 PkgConfig::TIFF)
# A multi-page TIFF that cannot be put in place: its own program, since it replaces the C library's
# rename for the whole process.
tomefold_add_test(toolkit_tiff_commit_tests SANITIZE
  SOURCES pdfpages/MultiPageTIFFCommitTest.cpp ../interpose/RefusedRename.cpp ../interpose/RefusedRename.h
  LIBS tomefold_toolkit PkgConfig::TIFF)
tomefold_guard_hangs(toolkit_pdfpages_tests)
