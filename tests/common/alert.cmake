tomefold_add_test(alert_tests
  SOURCES CustomAlertTest.cpp
  LIBS tomefold_common Qt6::Widgets Qt6::Test)
