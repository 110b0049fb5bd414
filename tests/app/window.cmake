# The main window: its commands, start-up choices, closing, and a batch's hold on the window
# (with a stand-in for the CHM export); then whole batches on compiled CHM files.
tomefold_add_test(window_tests SANITIZE SOURCES window/WindowTest.cpp LIBS tomefold_app_test_support Qt6::Test)
tomefold_add_test(window_batch_tests WEB SOURCES window/WindowBatchTest.cpp LIBS tomefold_app_test_support Qt6::Test)
