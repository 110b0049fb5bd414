tomefold_add_test(harness_tests SANITIZE SOURCES HarnessTest.cpp LIBS Qt6::Widgets)
