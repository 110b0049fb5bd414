# Page-size presets and the preference files.
tomefold_add_test(preference_file_tests
  SOURCES presets/PreferenceFileTest.cpp
  LIBS tomefold_app_test_support Qt6::Widgets Qt6::Test)

tomefold_add_test(preset_dialog_tests
  SOURCES presets/PageSizePresetDialogTest.cpp presets/PresetRestartTest.cpp
  LIBS tomefold_app_test_support Qt6::Widgets Qt6::Test)
