# The application's preference files and the store lookup's answer, built from their own sources.
set(app_sources ${PROJECT_SOURCE_DIR}/src/app)
tomefold_add_fuzzer(NAME preference_plist
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/PreferencePlistFuzzer.cpp ${app_sources}/presets/PlistVariant.cpp
  LIBS Qt6::Core PkgConfig::PLIST CORPUS preference-plist)
tomefold_add_fuzzer(NAME json_scan
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/JSONValueScanFuzzer.cpp ${app_sources}/rating/JSONValueScan.cpp
  LIBS Qt6::Core CORPUS json-scan)
