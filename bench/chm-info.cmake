# chm-info FILE.chm: opens a CHM file and prints its metadata, tree sizes, page list and open time.
add_executable(chm-info ${CMAKE_CURRENT_LIST_DIR}/chm-info.cpp)
target_link_libraries(chm-info PRIVATE tomefold_chm)
tomefold_set_warnings(chm-info)
set_target_properties(chm-info PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
