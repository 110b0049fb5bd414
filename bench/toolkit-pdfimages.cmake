# toolkit-pdfimages PDF...: extracts every image of each PDF with the toolkit's extractor and with
# `pdfimages`, and prints the counts side by side: images of the same page, size and colour family.
add_executable(toolkit-pdfimages ${CMAKE_CURRENT_LIST_DIR}/toolkit-pdfimages.cpp)
target_link_libraries(toolkit-pdfimages PRIVATE tomefold_toolkit Qt6::Gui)
tomefold_set_warnings(toolkit-pdfimages)
set_target_properties(toolkit-pdfimages PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
