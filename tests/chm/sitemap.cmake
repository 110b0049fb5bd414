# Sitemap parsing, contents trees, page lists and topic path matching, on in-memory sitemaps.
tomefold_add_test(chm_sitemap_tests SANITIZE
  SOURCES CHMTableOfContentTest.cpp PageListTest.cpp LinkItemTest.cpp TopicPathTest.cpp
  LIBS tomefold_chm)
