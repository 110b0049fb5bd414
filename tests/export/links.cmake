tomefold_add_test(link_resolution_tests
  SOURCES LinkResolutionTest.cpp OutlineTest.cpp
  LIBS tomefold_export PkgConfig::QPDF)
tomefold_add_test(link_export_tests WEB SOURCES LinkExportTest.cpp LIBS tomefold_export PkgConfig::QPDF poppler::core)
tomefold_add_test(progress_controls_tests SOURCES ProgressControlsTest.cpp LIBS tomefold_export Qt6::Test)
tomefold_add_test(progress_reader_export_tests WEB
  SOURCES ProgressReaderExportTest.cpp
  LIBS tomefold_export poppler::core Qt6::Test)
tomefold_add_test(progress_batch_export_tests WEB SOURCES ProgressBatchExportTest.cpp LIBS tomefold_export)
foreach(name link_resolution_tests link_export_tests progress_reader_export_tests progress_batch_export_tests)
  tomefold_guard_hangs(${name})
endforeach()
