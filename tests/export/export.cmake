tomefold_add_test(exporter_setup_tests SANITIZE SOURCES ExporterSetupTest.cpp LIBS tomefold_export)
tomefold_add_test(blank_page_tests SANITIZE
  SOURCES IsBlankPDFPageTest.cpp ${CMAKE_CURRENT_SOURCE_DIR}/../platform/PdfTestFiles.cpp
  LIBS tomefold_export)
if(TARGET blank_page_tests)
  target_include_directories(blank_page_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/../platform)
endif()
tomefold_add_test(chm_export_tests WEB
  SOURCES CHMExportTest.cpp ${CMAKE_CURRENT_SOURCE_DIR}/../platform/PdfReadBack.cpp
  LIBS tomefold_export)
if(TARGET chm_export_tests)
  target_include_directories(chm_export_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/../platform)
endif()
