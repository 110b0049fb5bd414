# The PDF core's settings file and CMap readers, built from their own sources (not the whole export).
set(pdfcore_sources ${PROJECT_SOURCE_DIR}/src/export/pdfcore)
tomefold_add_fuzzer(NAME pdfcore_settings
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/CoreSettingsFuzzer.cpp ${pdfcore_sources}/CoreSettingsReader.cpp
          ${pdfcore_sources}/CoreSettings.cpp ${pdfcore_sources}/SettingsFileLookup.cpp
  LIBS poppler::core CORPUS pdfcore-settings)
tomefold_add_fuzzer(NAME pdfcore_cmap
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/CMapFuzzer.cpp ${pdfcore_sources}/CIDToUnicodeMap.cpp
          ${pdfcore_sources}/CMapTokenizer.cpp ${pdfcore_sources}/SettingsFileLookup.cpp
  LIBS poppler::core CORPUS pdfcore-cmap)
