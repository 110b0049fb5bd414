tomefold_add_test(anchor_tests SANITIZE
  SOURCES AnchorTextTest.cpp AnchorPlacementTest.cpp ${CMAKE_CURRENT_SOURCE_DIR}/../platform/PdfTestFiles.cpp
  LIBS tomefold_export)
if(TARGET anchor_tests)
  target_include_directories(anchor_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/../platform)
endif()
tomefold_add_test(anchor_web_tests WEB SOURCES AnchorAccuracyTest.cpp AnchorWalkTest.cpp LIBS tomefold_export PkgConfig::QPDF)
