# The image extractor and decoder read images out of untrusted PDF files.
tomefold_add_fuzzer(NAME pdfimages_fuzz
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/PDFImagesFuzzer.cpp
  LIBS tomefold_toolkit poppler::core
  CORPUS pdfimages)
