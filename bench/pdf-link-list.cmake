# pdf-link-list FILE.pdf: lists a PDF's pages, link annotations and outline in one canonical text,
# so that two exports of the same file can be compared with diff.
add_executable(pdf-link-list ${CMAKE_CURRENT_LIST_DIR}/pdf-link-list.cpp)
target_link_libraries(pdf-link-list PRIVATE PkgConfig::QPDF)
tomefold_set_warnings(pdf-link-list)
set_target_properties(pdf-link-list PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
