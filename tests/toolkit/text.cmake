# The text document readers and writers. The readers take untrusted files, so their tests also run
# under ASan/UBSan.
tomefold_add_test(toolkit_text_format_tests SANITIZE
  SOURCES text/SampleDocuments.cpp text/RTFTest.cpp text/DOCXTest.cpp text/ODTTest.cpp text/TextDocumentIOTest.cpp text/UntrustedInputTest.cpp text/HostileDocumentTest.cpp text/TextAttributesTest.cpp text/CharacterPropertiesTest.cpp
  LIBS tomefold_toolkit)
# Files we write opened by LibreOffice, and DOC through it; skipped when soffice is missing.
tomefold_add_test(toolkit_text_libreoffice_tests
  SOURCES text/SampleDocuments.cpp text/LibreOfficeCheckTest.cpp
  LIBS tomefold_toolkit)
# PDF pages to text documents, on PDFs the tests draw.
tomefold_add_test(toolkit_pdf_to_text_tests SANITIZE
  SOURCES text/PDFToTextTest.cpp
  LIBS tomefold_toolkit)
# A document LibreOffice takes in waits on its conversion time limit (three minutes) at most.
tomefold_guard_hangs(toolkit_text_libreoffice_tests 600)
