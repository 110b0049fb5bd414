tomefold_add_test(pdf_shared_fonts_tests SANITIZE
  SOURCES PdfSharedFontsTest.cpp PrintedFontFiles.cpp SharedFontsCheck.cpp
  LIBS tomefold_platform poppler::core PkgConfig::QPDF PkgConfig::HARFBUZZ_SUBSET)
tomefold_add_test(shared_fonts_print_tests WEB
  SOURCES SharedFontsPrintTest.cpp PrintedFontFiles.cpp SharedFontsCheck.cpp
  LIBS tomefold_platform poppler::core PkgConfig::QPDF PkgConfig::HARFBUZZ_SUBSET Qt6::WebEngineCore)
tomefold_guard_hangs(shared_fonts_print_tests)
