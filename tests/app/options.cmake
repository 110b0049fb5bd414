# The export options panel: values, units, steppers and the check before an export.
set(TOMEFOLD_APP_TEST_SUPPORT
  ${CMAKE_CURRENT_SOURCE_DIR}/support/AlertAnswerer.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/support/UserActions.cpp)

tomefold_add_test(options_panel_tests SANITIZE
  SOURCES options/ExportOptionsPanelTest.cpp options/ExportOptionValidityTest.cpp ${TOMEFOLD_APP_TEST_SUPPORT}
  LIBS tomefold_app Qt6::Widgets Qt6::Test)

tomefold_add_test(options_values_tests SANITIZE
  SOURCES options/PageValueTextTest.cpp options/PageUnitsTest.cpp
  LIBS tomefold_app)
