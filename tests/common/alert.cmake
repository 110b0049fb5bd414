tomefold_add_test(alert_tests SANITIZE
  SOURCES CustomAlertTest.cpp ${PROJECT_SOURCE_DIR}/tests/app/support/AlertAnswerer.cpp
  LIBS tomefold_common Qt6::Widgets Qt6::Test)
