# Character-set names to conversions and to the labels libxml2 and the web engine take.
tomefold_add_test(text_encoding_tests SANITIZE
  SOURCES TextEncodingTest.cpp
  LIBS tomefold_platform PkgConfig::LIBXML2)
