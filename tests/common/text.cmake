tomefold_add_test(common_text_tests SANITIZE
  SOURCES FinderCompareTest.cpp SmallUtilitiesTest.cpp NumberScannerTest.cpp
  LIBS tomefold_common)
