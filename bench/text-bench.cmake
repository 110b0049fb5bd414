# text-bench: a 500-page PDF to every text document format next to pdftotext, and 100-page
# documents written and read in every format next to LibreOffice's conversion of the same file.
# The same documents printed to PDF by the text converter and by LibreOffice.
add_executable(text-bench ${CMAKE_CURRENT_LIST_DIR}/text-bench.cpp ${CMAKE_CURRENT_LIST_DIR}/text-bench-topdf.cpp
  ${CMAKE_CURRENT_LIST_DIR}/text-bench-topdf.h)
target_link_libraries(text-bench PRIVATE tomefold_toolkit Qt6::Gui)
tomefold_set_warnings(text-bench)
set_target_properties(text-bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
