# toolkit-html: prints 100 HTML files into one PDF with the toolkit, and with wkhtmltopdf where installed.
add_executable(toolkit-html ${CMAKE_CURRENT_LIST_DIR}/toolkit-html.cpp)
target_link_libraries(toolkit-html PRIVATE tomefold_toolkit)
tomefold_set_warnings(toolkit-html)
set_target_properties(toolkit-html PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
