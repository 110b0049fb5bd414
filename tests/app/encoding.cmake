# The text-encoding menu and its shipped resource.
tomefold_add_test(encoding_menu_tests
  SOURCES encoding/EncodingMenuTest.cpp
  LIBS tomefold_app Qt6::Widgets)
