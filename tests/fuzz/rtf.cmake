# Our RTF reader takes RTF and RTFD files from anywhere.
tomefold_add_fuzzer(NAME rtf_reader_fuzz
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/RTFReaderFuzzer.cpp
  LIBS tomefold_toolkit
  CORPUS rtf)
