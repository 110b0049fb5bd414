tomefold_add_test(export_fonts_tests WEB
  SOURCES ExportFontsTest.cpp ${CMAKE_CURRENT_SOURCE_DIR}/../platform/SharedFontsCheck.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/../platform/PrintedFontFiles.cpp
  LIBS tomefold_export PkgConfig::HARFBUZZ_SUBSET)
if(TARGET export_fonts_tests)
  target_include_directories(export_fonts_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/../platform)
endif()
tomefold_guard_hangs(export_fonts_tests)
