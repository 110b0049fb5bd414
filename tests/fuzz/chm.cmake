# The CHM document's parsers, and whole CHM files through the container check, chmlib and the document.
tomefold_add_fuzzer(NAME chm_metadata SOURCES ${CMAKE_CURRENT_LIST_DIR}/CHMMetadataFuzzer.cpp
  LIBS tomefold_chm CORPUS chm-metadata)
tomefold_add_fuzzer(NAME chm_sitemap SOURCES ${CMAKE_CURRENT_LIST_DIR}/SitemapFuzzer.cpp
  LIBS tomefold_chm CORPUS chm-sitemap)
tomefold_add_fuzzer(NAME chm_directory SOURCES ${CMAKE_CURRENT_LIST_DIR}/CHMDirectoryFuzzer.cpp
  LIBS tomefold_chm CORPUS chm-directory)
tomefold_add_fuzzer(NAME chm_container_check SOURCES ${CMAKE_CURRENT_LIST_DIR}/CHMContainerCheckFuzzer.cpp
  LIBS tomefold_chm CORPUS chm-file)
tomefold_add_fuzzer(NAME chm_document SOURCES ${CMAKE_CURRENT_LIST_DIR}/CHMDocumentFuzzer.cpp
  LIBS tomefold_chm CORPUS chm-file)
tomefold_add_fuzzer(NAME chm_lzx_check SOURCES ${CMAKE_CURRENT_LIST_DIR}/LZXCheckFuzzer.cpp
  LIBS tomefold_chm CORPUS chm-lzx)
