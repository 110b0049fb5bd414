tomefold_add_test(common_field_tests SANITIZE
  SOURCES ValidatedNumberFieldTest.cpp
  LIBS tomefold_common Qt6::Widgets Qt6::Test)
tomefold_add_test(common_toolbar_tests SANITIZE
  SOURCES ToolbarValidationTest.cpp
  LIBS tomefold_common Qt6::Widgets Qt6::Test)
