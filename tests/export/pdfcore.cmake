# The export's additions to the PDF core: text-offset locator, settings, CMaps, page display.
set(pdfcore_tests ${CMAKE_CURRENT_LIST_DIR}/pdfcore)

tomefold_add_test(pdfcore_locator_tests SOURCES ${pdfcore_tests}/TextOffsetLocatorTest.cpp LIBS tomefold_export)
tomefold_add_test(pdfcore_cmap_tests SOURCES ${pdfcore_tests}/CIDToUnicodeMapTest.cpp LIBS tomefold_export)
tomefold_add_test(pdfcore_settings_reader_tests
  SOURCES ${pdfcore_tests}/CoreSettingsReaderTest.cpp
  LIBS tomefold_export)
tomefold_add_test(pdfcore_poppler_settings_tests
  SOURCES ${pdfcore_tests}/PopplerSettingsTest.cpp
  LIBS tomefold_export)
tomefold_add_test(pdfcore_page_text_tests SOURCES ${pdfcore_tests}/PageTextPassTest.cpp LIBS tomefold_export)
tomefold_add_test(pdfcore_soft_mask_tests SOURCES ${pdfcore_tests}/SoftMaskedImageTest.cpp LIBS tomefold_export)
foreach(name pdfcore_locator_tests pdfcore_cmap_tests pdfcore_settings_reader_tests pdfcore_page_text_tests
             pdfcore_soft_mask_tests)
  tomefold_guard_hangs(${name})
endforeach()
