# The batch export: the worker's walk over items and folders, and destination sub-folders.
tomefold_add_test(batch_worker_tests SANITIZE
  SOURCES
    batch/BatchTestFiles.cpp
    batch/BatchExportWorkerTest.cpp
    batch/DestinationSubfolderTest.cpp
    batch/BatchOutcomeTest.cpp
  LIBS tomefold_app)
if(TARGET batch_worker_tests)
  target_include_directories(batch_worker_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
endif()
