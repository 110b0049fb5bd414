# search-index FILE.chm: builds the reader's full-text index of a CHM file and prints its cost.
add_executable(search-index ${CMAKE_CURRENT_LIST_DIR}/search-index.cpp)
target_link_libraries(search-index PRIVATE tomefold_chm)
tomefold_set_warnings(search-index)
set_target_properties(search-index PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
