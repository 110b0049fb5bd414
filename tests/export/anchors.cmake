tomefold_add_test(anchor_tests SOURCES AnchorTextTest.cpp AnchorPlacementTest.cpp AnchorWordTrailTest.cpp LIBS tomefold_export)
tomefold_add_test(anchor_web_tests WEB SOURCES AnchorAccuracyTest.cpp AnchorWalkTest.cpp LIBS tomefold_export PkgConfig::QPDF)
