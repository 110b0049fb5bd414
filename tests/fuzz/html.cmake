# HTML files and web archives come from anywhere; the reader hands them to Qt's HTML importer.
tomefold_add_fuzzer(NAME html_reader_fuzz
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/HTMLReaderFuzzer.cpp
  LIBS tomefold_toolkit
  CORPUS html-reader)
