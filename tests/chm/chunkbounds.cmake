# Directory chunk numbers on the edge of the directory of compiled fixtures.
tomefold_add_test(chm_directory_chunk_bounds_tests SANITIZE SOURCES CHMDirectoryChunkBoundsTest.cpp LIBS tomefold_chm)
# Labels of wide encodings declared in ASCII-compatible markup.
tomefold_add_test(chm_page_encoding_label_tests SANITIZE SOURCES PageEncodingLabelsTest.cpp LIBS tomefold_chm)
