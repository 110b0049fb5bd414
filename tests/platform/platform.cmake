tomefold_add_test(platform_threading_tests SOURCES PlatformThreadingTest.cpp LIBS tomefold_platform)
tomefold_add_test(pdf_document_tests SANITIZE
  SOURCES PdfDocumentTest.cpp PdfSharedPagePartsTest.cpp PdfSpilledRecordsTest.cpp
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
# Opening a file with the desktop's program, judged by the hand-off (a private desktop of entries).
tomefold_add_test(desktop_opener_tests
  SOURCES DesktopOpenerTest.cpp
  LIBS tomefold_platform Qt6::Test)
tomefold_add_test(process_memory_tests SOURCES ProcessMemoryTest.cpp LIBS tomefold_platform)
tomefold_guard_hangs(offscreen_web_page_tests)
