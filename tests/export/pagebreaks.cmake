tomefold_add_test(page_break_tests WEB SOURCES PageBreakTest.cpp LIBS tomefold_export)
