# The reader window: its per-file memory, its scripts and tree models, and the window over a fixture.
tomefold_add_test(chm_reader_parts_tests
  SOURCES ReaderPreferencesTest.cpp ReaderScriptsTest.cpp ReaderOutlineModelTest.cpp
  LIBS tomefold_reader)
tomefold_add_test(chm_reader_window_tests WEB
  SOURCES ReaderWindowTest.cpp
  LIBS tomefold_reader)
tomefold_guard_hangs(chm_reader_window_tests)
