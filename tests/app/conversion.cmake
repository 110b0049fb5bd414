# Options from the window and the single-file step.
tomefold_add_test(conversion_settings_tests SANITIZE
  SOURCES
    conversion/ConversionSettingsTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/support/AlertAnswerer.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/support/UserActions.cpp
  LIBS tomefold_app Qt6::Test)

tomefold_add_test(conversion_file_tests WEB
  SOURCES conversion/ConvertCHMFileTest.cpp batch/BatchTestFiles.cpp
  LIBS tomefold_app)
if(TARGET conversion_file_tests)
  target_include_directories(conversion_file_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
endif()
