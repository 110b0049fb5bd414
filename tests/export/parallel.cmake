tomefold_add_test(topic_print_queue_tests SANITIZE SOURCES TopicPrintQueueTest.cpp LIBS tomefold_export)
tomefold_add_test(parallel_export_tests WEB
  SOURCES ParallelExportTest.cpp ${CMAKE_CURRENT_SOURCE_DIR}/../platform/PdfLinkTestFiles.cpp
          ${CMAKE_CURRENT_SOURCE_DIR}/../platform/PdfReadBack.cpp
  LIBS tomefold_export PkgConfig::QPDF poppler::core)
if(TARGET parallel_export_tests)
  target_include_directories(parallel_export_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/../platform)
endif()
