# Page-size presets and the preference files.
tomefold_add_test(preference_file_tests SANITIZE
  SOURCES presets/PreferenceFileTest.cpp ${CMAKE_CURRENT_SOURCE_DIR}/support/UserActions.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/support/AlertAnswerer.cpp
  LIBS tomefold_app Qt6::Widgets Qt6::Test)

tomefold_add_test(preset_dialog_tests SANITIZE
  SOURCES presets/PageSizePresetDialogTest.cpp presets/PresetRestartTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/support/AlertAnswerer.cpp ${CMAKE_CURRENT_SOURCE_DIR}/support/UserActions.cpp
  LIBS tomefold_app Qt6::Widgets Qt6::Test)
