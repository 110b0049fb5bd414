# The export options panel: values, units, steppers and the check before an export.
tomefold_add_test(options_panel_tests
  SOURCES options/ExportOptionsPanelTest.cpp options/ExportOptionValidityTest.cpp
  LIBS tomefold_app_test_support Qt6::Widgets Qt6::Test)

tomefold_add_test(options_values_tests
  SOURCES options/PageValueTextTest.cpp options/PageUnitsTest.cpp
  LIBS tomefold_app)
