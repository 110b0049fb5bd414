# HTML files printed to PDF: the web engine's road (WEB), and the writing and page rules around it.
tomefold_add_test(toolkit_html_tests WEB
  SOURCES html/HTMLToPDFTest.cpp html/HTMLListRunnerTest.cpp html/HTMLTestRun.cpp html/HTMLTestRun.h
  LIBS tomefold_toolkit poppler::core Qt6::Network)
tomefold_add_test(toolkit_html_writing_tests SANITIZE
  SOURCES html/PDFReplaceByMoveTest.cpp
  LIBS tomefold_toolkit)
tomefold_guard_hangs(toolkit_html_tests)
