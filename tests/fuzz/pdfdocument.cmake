# PDF files a user lists for merging or rewriting: password, rotation, crop box, outline, page copies.
tomefold_add_fuzzer(NAME pdf_document_fuzz
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/PdfDocumentFuzzer.cpp
  LIBS tomefold_platform
  CORPUS pdf-document)
