# image-bench [COUNT] [WIDTH HEIGHT]: converts a folder of generated photograph-like pictures to half-size
# JPEG and PNG through the toolkit and through ImageMagick's `convert -resize 50%`, and prints images per
# second, peak memory and their ratios.
add_executable(image-bench ${CMAKE_CURRENT_LIST_DIR}/image-bench.cpp ${CMAKE_CURRENT_LIST_DIR}/image-bench-pictures.cpp
               ${CMAKE_CURRENT_LIST_DIR}/image-bench-pictures.h)
target_include_directories(image-bench PRIVATE ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(image-bench PRIVATE tomefold_toolkit Qt6::Gui)
tomefold_set_warnings(image-bench)
set_target_properties(image-bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
