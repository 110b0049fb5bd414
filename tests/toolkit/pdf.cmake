# PDF functions, the calculator and colour spaces; their parsers read untrusted files, so the tests
# also run under ASan/UBSan.
tomefold_add_test(toolkit_pdf_function_tests SANITIZE
  SOURCES pdf/CalculatorTest.cpp pdf/PDFFunctionTest.cpp pdf/FunctionOracleTest.cpp pdf/TestPDFObjects.cpp
  LIBS tomefold_toolkit poppler::core)
tomefold_add_test(toolkit_pdf_color_tests SANITIZE
  SOURCES pdf/ColorSpaceTest.cpp pdf/SampleConversionTest.cpp pdf/TestPDFObjects.cpp
  LIBS tomefold_toolkit poppler::core PkgConfig::LCMS2)
