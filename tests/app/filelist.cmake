# The file list: adding files and folders, the table model, its commands and their enabling.
tomefold_add_test(filelist_tests
  SOURCES
    filelist/FileListTestSupport.cpp
    filelist/IsCHMFileTest.cpp
    filelist/FileListAdditionTest.cpp
    filelist/FileListModelTest.cpp
    filelist/FileListControllerTest.cpp
    filelist/FileListAdderTest.cpp
    filelist/AddFilesAccessoryTest.cpp
  LIBS tomefold_app Qt6::Test)
