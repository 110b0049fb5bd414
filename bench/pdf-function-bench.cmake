# pdf-function-bench: 24-megapixel DeviceN and Separation images through calculator tint transforms,
# evaluated per pixel and cached, beside Poppler's own function evaluation.
add_executable(pdf-function-bench ${CMAKE_CURRENT_LIST_DIR}/pdf-function-bench.cpp)
target_link_libraries(pdf-function-bench PRIVATE tomefold_toolkit poppler::core)
tomefold_set_warnings(pdf-function-bench)
set_target_properties(pdf-function-bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
