tomefold_add_test(common_field_tests
  SOURCES ValidatedNumberFieldTest.cpp
  LIBS tomefold_common Qt6::Widgets Qt6::Test)
tomefold_add_test(common_toolbar_tests
  SOURCES ToolbarValidationTest.cpp
  LIBS tomefold_common Qt6::Widgets Qt6::Test)
