# The used part of directory chunks: empty chunks and free space past the chunk's room.
tomefold_add_test(chm_directory_entries_tests SANITIZE SOURCES CHMDirectoryEntriesTest.cpp LIBS tomefold_chm)
