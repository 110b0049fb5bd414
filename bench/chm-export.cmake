# chm-export: exports a CHM file to PDF through the document's export and prints where the time goes.
add_executable(chm-export ${CMAKE_CURRENT_LIST_DIR}/chm-export.cpp ${CMAKE_CURRENT_LIST_DIR}/chm-export-clock.cpp
               ${CMAKE_CURRENT_LIST_DIR}/chm-export-processes.cpp)
target_link_libraries(chm-export PRIVATE tomefold_export)
tomefold_set_warnings(chm-export)
set_target_properties(chm-export PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
