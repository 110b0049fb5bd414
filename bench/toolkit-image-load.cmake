# toolkit-image-load [SIZE]: loads pictures of every common format through the toolkit's image layer
# and through Qt's image reader, and prints the per-file costs and their ratio.
add_executable(toolkit-image-load ${CMAKE_CURRENT_LIST_DIR}/toolkit-image-load.cpp)
target_link_libraries(toolkit-image-load PRIVATE tomefold_toolkit Qt6::Gui)
tomefold_set_warnings(toolkit-image-load)
set_target_properties(toolkit-image-load PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
