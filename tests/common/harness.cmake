tomefold_add_test(harness_tests SOURCES HarnessTest.cpp LIBS Qt6::Widgets)
