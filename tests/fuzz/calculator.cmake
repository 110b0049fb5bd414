# The PostScript calculator reads programs from untrusted PDF files.
tomefold_add_fuzzer(NAME calculator_fuzz
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/CalculatorFuzzer.cpp
  LIBS tomefold_toolkit
  CORPUS calculator)
