# The metadata reader on crafted "/#WINDOWS", "/#STRINGS" and "/#SYSTEM" bytes, and the locale table.
tomefold_add_test(chm_metadata_tests SANITIZE
  SOURCES CHMMetadataReaderTest.cpp CHMMetadataMalformedTest.cpp LCIDTableTest.cpp
  LIBS tomefold_chm)
