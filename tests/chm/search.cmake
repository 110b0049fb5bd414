# Full-text and index search of the reader's sidebar: hits, ranking, the index build over a fixture.
tomefold_add_test(chm_search_tests SANITIZE
  SOURCES SearchResultTest.cpp SearchIndexTest.cpp
  LIBS tomefold_chm)
