tomefold_add_test(topic_print_queue_tests SOURCES TopicPrintQueueTest.cpp RendererLoadTest.cpp LIBS tomefold_export)
tomefold_add_test(parallel_export_tests WEB SOURCES ParallelExportTest.cpp LIBS tomefold_export PkgConfig::QPDF poppler::core)
