# The main window: its commands, start-up choices, closing, and a batch's hold on the window
# (with a stand-in for the CHM export); then whole batches on compiled CHM files.
tomefold_add_test(window_tests SOURCES window/WindowTest.cpp window/ExportProgressSheetTest.cpp LIBS tomefold_app_test_support Qt6::Test)
tomefold_add_test(window_batch_tests WEB SOURCES window/WindowBatchTest.cpp LIBS tomefold_app_test_support Qt6::Test)
if(TARGET window_batch_tests)
  # One test installs the build into a folder of its own and looks for the manual there.
  target_compile_definitions(window_batch_tests PRIVATE TOMEFOLD_TEST_CMAKE="${CMAKE_COMMAND}"
    TOMEFOLD_TEST_BUILD_DIR="${CMAKE_BINARY_DIR}")
  add_dependencies(window_batch_tests tomefold user_manual)
endif()
# Every alert of the application shows its whole text, at the default text size and half as large again.
tomefold_add_test(alert_texts_tests SOURCES window/AlertTextsFitTest.cpp LIBS tomefold_app_test_support Qt6::Test)
tomefold_guard_hangs(window_batch_tests)
