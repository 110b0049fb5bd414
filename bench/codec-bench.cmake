# codec-bench [MEGAPIXELS] [RUNS]: decodes and encodes one generated picture (24 megapixels unless told
# otherwise) through the toolkit's JPEG, JPEG 2000 and WebP glue and through the libraries' own tools
# (cjpeg/djpeg, opj_decompress, cwebp/dwebp, where installed) and with the bare libraries in process, and
# prints megapixels per second and ratios.
add_executable(codec-bench ${CMAKE_CURRENT_LIST_DIR}/codec-bench.cpp ${CMAKE_CURRENT_LIST_DIR}/codec-bench-images.cpp
  ${CMAKE_CURRENT_LIST_DIR}/codec-bench-bare.cpp)
target_link_libraries(codec-bench PRIVATE tomefold_toolkit)
tomefold_set_warnings(codec-bench)
set_target_properties(codec-bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
