# toolkit-pages PDF [PAGES]: renders the first PAGES pages (100) of a PDF at 150 dpi to PNG with the
# toolkit's page renderer (concurrent) and with `pdftoppm -r 150 -png`, and prints pages per second of
# each, their ratio, and how far a sample page's pixels lie from pdftoppm's.
add_executable(toolkit-pages ${CMAKE_CURRENT_LIST_DIR}/toolkit-pages.cpp)
target_link_libraries(toolkit-pages PRIVATE tomefold_toolkit Qt6::Gui)
tomefold_set_warnings(toolkit-pages)
set_target_properties(toolkit-pages PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
