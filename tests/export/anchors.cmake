tomefold_add_test(anchor_accuracy_tests WEB SOURCES AnchorAccuracyTest.cpp LIBS tomefold_export PkgConfig::QPDF)
