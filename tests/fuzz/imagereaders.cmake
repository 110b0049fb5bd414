# The image readers take untrusted picture files of every format the toolkit reads.
tomefold_add_fuzzer(NAME image_readers_fuzz
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ImageReadersFuzzer.cpp
  LIBS tomefold_toolkit Qt6::Gui
  CORPUS image-readers)
