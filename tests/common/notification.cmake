tomefold_add_test(common_notification_tests
  SOURCES UserNotificationTest.cpp
  LIBS tomefold_common Qt6::DBus Qt6::Test)
tomefold_add_test(common_notification_without_bus_tests
  SOURCES UserNotificationWithoutBusTest.cpp
  LIBS tomefold_common Qt6::DBus)
