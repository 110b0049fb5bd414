# Mixed lists to PDF: each kind of item, merged with outline entries or one PDF each, rotation,
# passwords, blank pages, cancel and items of the wrong kind.
tomefold_add_test(toolkit_file_list_tests SANITIZE
  SOURCES fileslist/FilesToPDFTest.cpp fileslist/FileListFixtures.cpp fileslist/FileListFixtures.h
          fileslist/FileListTestFolder.h ToolkitTestImages.cpp ToolkitTestImages.h
  LIBS tomefold_toolkit Qt6::Gui PkgConfig::JPEG PkgConfig::OPENJP2 PkgConfig::WEBP PkgConfig::TIFF PkgConfig::EXIV2
       PkgConfig::QPDF giflib::giflib)
tomefold_add_test(toolkit_file_list_web_tests WEB
  SOURCES fileslist/FileListHTMLTest.cpp fileslist/FileListFixtures.cpp fileslist/FileListFixtures.h
          fileslist/FileListTestFolder.h html/HTMLTestRun.cpp html/HTMLTestRun.h ToolkitTestImages.cpp
          ToolkitTestImages.h
  LIBS tomefold_toolkit Qt6::Gui PkgConfig::JPEG PkgConfig::OPENJP2 PkgConfig::WEBP PkgConfig::TIFF PkgConfig::EXIV2
       PkgConfig::QPDF giflib::giflib)
tomefold_guard_hangs(toolkit_file_list_web_tests)
