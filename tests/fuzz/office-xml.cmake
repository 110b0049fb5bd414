# The XML parts of DOCX, WordML and ODT files come from anywhere.
tomefold_add_fuzzer(NAME office_xml_fuzz
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/OfficeXMLFuzzer.cpp
  LIBS tomefold_toolkit
  CORPUS office-xml)
