# The toolkit's entry points: refused records, the in-memory road, resolutions, and the converter's
# clean-up on every exit.
tomefold_add_test(toolkit_entry_point_tests SANITIZE
  SOURCES entry/EntryPointsTest.cpp ToolkitTestImages.cpp ToolkitTestImages.h fileslist/FileListFixtures.cpp
          fileslist/FileListFixtures.h
  LIBS tomefold_toolkit Qt6::Gui PkgConfig::JPEG PkgConfig::OPENJP2 PkgConfig::WEBP PkgConfig::TIFF PkgConfig::EXIV2
       PkgConfig::QPDF giflib::giflib)
