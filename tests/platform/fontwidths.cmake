# Width arrays that disagree between subsets of one face.
tomefold_add_test(shared_font_widths_tests SANITIZE
  SOURCES SharedFontWidthsTest.cpp PrintedFontFiles.cpp SharedFontsCheck.cpp
  LIBS tomefold_platform poppler::core PkgConfig::QPDF PkgConfig::HARFBUZZ_SUBSET)
