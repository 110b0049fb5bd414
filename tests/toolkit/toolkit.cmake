# The toolkit's shared helpers, image layer, converter object, text stamp and records.
set(toolkit_test_images ToolkitTestImages.cpp ToolkitTestImages.h)
set(toolkit_test_libs tomefold_toolkit Qt6::Gui PkgConfig::JPEG PkgConfig::OPENJP2 PkgConfig::WEBP PkgConfig::TIFF
    PkgConfig::EXIV2 PkgConfig::QPDF giflib::giflib)
tomefold_add_test(toolkit_helper_tests SANITIZE
  SOURCES ToolkitHelpersTest.cpp ${toolkit_test_images}
  LIBS ${toolkit_test_libs})
tomefold_add_test(toolkit_image_loading_tests SANITIZE
  SOURCES ImageLoadingTest.cpp SourceLifetimeTest.cpp PictureFidelityTest.cpp ${toolkit_test_images}
  LIBS ${toolkit_test_libs})
tomefold_add_test(toolkit_image_reader_robustness_tests SANITIZE
  SOURCES ImageReaderRobustnessTest.cpp HostileSourceTest.cpp ${toolkit_test_images}
  LIBS ${toolkit_test_libs} PkgConfig::ZLIB)
tomefold_add_test(toolkit_text_stamp_tests SANITIZE
  SOURCES TextStampTest.cpp
  LIBS tomefold_toolkit Qt6::Gui)
tomefold_add_test(toolkit_record_tests SANITIZE
  SOURCES ToolkitProgressTest.cpp
  LIBS tomefold_toolkit)
# The toolkit command's messages, through the command itself.
tomefold_add_test(toolkit_command_message_tests
  SOURCES ToolkitCommandMessagesTest.cpp pdfimages/PDFImageTestFiles.cpp
  LIBS tomefold_toolkit poppler::core PkgConfig::QPDF PkgConfig::OPENJP2 PkgConfig::TIFF)
if(TARGET toolkit_command_message_tests)
  add_dependencies(toolkit_command_message_tests toolkit)
  target_compile_definitions(toolkit_command_message_tests PRIVATE TOOLKIT_COMMAND="$<TARGET_FILE:toolkit>")
endif()
