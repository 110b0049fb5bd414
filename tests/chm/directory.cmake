# The container's directory read from its listing chunks: every object of a compiled file, and
# malformed directories.
tomefold_add_test(chm_directory_tests SANITIZE SOURCES CHMDirectoryListingTest.cpp LIBS tomefold_chm chmlib::chmlib)
