tomefold_add_test(platform_threading_tests SANITIZE SOURCES PlatformThreadingTest.cpp LIBS tomefold_platform)
tomefold_add_test(pdf_document_tests SANITIZE
  SOURCES PdfDocumentTest.cpp
  LIBS tomefold_platform poppler::core PkgConfig::QPDF)
tomefold_add_test(offscreen_web_page_tests WEB
  SOURCES OffscreenWebPageTest.cpp
  LIBS tomefold_platform poppler::core Qt6::WebEngineCore Qt6::WebEngineWidgets)
# A commit that fails (the finished file cannot be renamed into place): its own program, since it
# replaces the C library's rename for the whole process.
tomefold_add_test(pdf_document_commit_tests SANITIZE
  SOURCES PdfDocumentCommitTest.cpp ../interpose/RefusedRename.cpp ../interpose/RefusedRename.h LIBS tomefold_platform)
# Documents opened with a password, turned and cropped through their page tree, outlines read back.
tomefold_add_test(pdf_document_source_tests SANITIZE
  SOURCES PdfDocumentSourceTest.cpp
  LIBS tomefold_platform poppler::core PkgConfig::QPDF)
tomefold_add_test(process_memory_tests SANITIZE SOURCES ProcessMemoryTest.cpp LIBS tomefold_platform)
