tomefold_add_test(common_file_name_tests SANITIZE
  SOURCES UniqueFileNamesTest.cpp TemporaryFileNamesTest.cpp
  LIBS tomefold_common)
tomefold_add_test(common_file_io_tests SANITIZE
  SOURCES WholeFileIOTest.cpp FileReplacementTest.cpp FileSizesAndConversionsTest.cpp
  LIBS tomefold_common)
tomefold_add_test(common_pdf_redraw_tests SANITIZE
  SOURCES RedrawPDFDocumentTest.cpp
  LIBS tomefold_common poppler::core)
tomefold_add_test(blank_page_tests SANITIZE SOURCES IsBlankPDFPageTest.cpp LIBS tomefold_common poppler::core)
