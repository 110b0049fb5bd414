# The main window: its commands, start-up choices, closing, and a batch's hold on the window
# (with a stand-in for the CHM export); then whole batches on compiled CHM files.
set(TOMEFOLD_WINDOW_TEST_SUPPORT
  ${CMAKE_CURRENT_SOURCE_DIR}/support/AlertAnswerer.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/support/UserActions.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/batch/BatchTestFiles.cpp)

tomefold_add_test(window_tests SANITIZE
  SOURCES window/WindowTest.cpp ${TOMEFOLD_WINDOW_TEST_SUPPORT}
  LIBS tomefold_app Qt6::Test)
if(TARGET window_tests)
  target_include_directories(window_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
endif()

tomefold_add_test(window_batch_tests WEB
  SOURCES window/WindowBatchTest.cpp ${TOMEFOLD_WINDOW_TEST_SUPPORT}
  LIBS tomefold_app Qt6::Test)
if(TARGET window_batch_tests)
  target_include_directories(window_batch_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  # One test installs the build into a folder of its own and looks for the manual there.
  target_compile_definitions(window_batch_tests PRIVATE TOMEFOLD_TEST_CMAKE="${CMAKE_COMMAND}"
    TOMEFOLD_TEST_BUILD_DIR="${CMAKE_BINARY_DIR}")
  add_dependencies(window_batch_tests tomefold user_manual)
endif()
