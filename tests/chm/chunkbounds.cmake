# Directory chunk numbers on the edge of the directory of compiled fixtures.
tomefold_add_test(chm_directory_chunk_bounds_tests SANITIZE SOURCES CHMDirectoryChunkBoundsTest.cpp LIBS tomefold_chm)
