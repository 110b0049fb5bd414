tomefold_add_test(link_resolution_tests SANITIZE
  SOURCES LinkResolutionTest.cpp OutlineTest.cpp ${CMAKE_CURRENT_SOURCE_DIR}/../platform/PdfLinkTestFiles.cpp
  LIBS tomefold_export PkgConfig::QPDF)
if(TARGET link_resolution_tests)
  target_include_directories(link_resolution_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/../platform)
endif()
tomefold_add_test(link_export_tests WEB
  SOURCES LinkExportTest.cpp ${CMAKE_CURRENT_SOURCE_DIR}/../platform/PdfLinkTestFiles.cpp
          ${CMAKE_CURRENT_SOURCE_DIR}/../platform/PdfReadBack.cpp
  LIBS tomefold_export PkgConfig::QPDF poppler::core)
if(TARGET link_export_tests)
  target_include_directories(link_export_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/../platform)
endif()
tomefold_add_test(progress_controls_tests SANITIZE SOURCES ProgressControlsTest.cpp LIBS tomefold_export Qt6::Test)
tomefold_add_test(progress_reader_export_tests WEB
  SOURCES ProgressReaderExportTest.cpp ${CMAKE_CURRENT_SOURCE_DIR}/../app/support/AlertAnswerer.cpp
          ${CMAKE_CURRENT_SOURCE_DIR}/../platform/PdfReadBack.cpp
  LIBS tomefold_export poppler::core Qt6::Test)
if(TARGET progress_reader_export_tests)
  target_include_directories(progress_reader_export_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/../platform)
endif()
tomefold_add_test(progress_batch_export_tests WEB SOURCES ProgressBatchExportTest.cpp LIBS tomefold_export)
