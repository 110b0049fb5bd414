# The batch export: the worker's walk over items and folders, and destination sub-folders.
tomefold_add_test(batch_worker_tests
  SOURCES batch/BatchExportWorkerTest.cpp batch/DestinationSubfolderTest.cpp batch/BatchOutcomeTest.cpp
  LIBS tomefold_app)
