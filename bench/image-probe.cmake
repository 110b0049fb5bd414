# image-probe FILE...: what the toolkit's image layer reads from each picture file: every
# representation's pixel size, resolution, bits, colour model and alpha, with the time it took.
add_executable(image-probe ${CMAKE_CURRENT_LIST_DIR}/image-probe.cpp)
target_link_libraries(image-probe PRIVATE tomefold_toolkit Qt6::Gui)
tomefold_set_warnings(image-probe)
set_target_properties(image-probe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
