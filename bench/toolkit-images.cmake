# toolkit-images: lays 100 JPEG photographs into one PDF with the toolkit, with img2pdf and with
# ImageMagick's convert where installed.
add_executable(toolkit-images ${CMAKE_CURRENT_LIST_DIR}/toolkit-images.cpp)
target_link_libraries(toolkit-images PRIVATE tomefold_toolkit Qt6::Gui)
tomefold_set_warnings(toolkit-images)
set_target_properties(toolkit-images PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
