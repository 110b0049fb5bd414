# The CHM document over compiled fixtures: opening, metadata, objects, URLs, trees.
tomefold_add_test(chm_document_tests SANITIZE
  SOURCES CHMDocumentTest.cpp CHMDocumentEncodingTest.cpp CHMDocumentFailureTest.cpp
  LIBS tomefold_chm)
