# Text documents printed to PDF: paper, margins, attributes, blank pages and the list runners.
tomefold_add_test(toolkit_text_to_pdf_tests SANITIZE
  SOURCES texttopdf/TextToPDFTest.cpp texttopdf/PrintedPDF.cpp texttopdf/PrintedPDF.h
  LIBS tomefold_toolkit poppler::core)
