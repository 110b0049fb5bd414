# Options from the window and the single-file step.
tomefold_add_test(conversion_settings_tests
  SOURCES conversion/ConversionSettingsTest.cpp
  LIBS tomefold_app_test_support Qt6::Test)

tomefold_add_test(conversion_file_tests WEB SOURCES conversion/ConvertCHMFileTest.cpp LIBS tomefold_app)
tomefold_guard_hangs(conversion_file_tests)
