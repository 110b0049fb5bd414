# chm-print-only: loads and prints every topic of a CHM file through the engine and nothing else.
add_executable(chm-print-only ${CMAKE_CURRENT_LIST_DIR}/chm-print-only.cpp)
target_link_libraries(chm-print-only PRIVATE tomefold_export)
tomefold_set_warnings(chm-print-only)
set_target_properties(chm-print-only PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
