# toolkit: fills one entry point's record from command-line flags and runs it on a worker thread, printing
# the items, pages, files written, seconds and peak memory of the run.
add_executable(toolkit ${CMAKE_CURRENT_LIST_DIR}/toolkit.cpp ${CMAKE_CURRENT_LIST_DIR}/toolkit-commands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/toolkit-commands.h ${CMAKE_CURRENT_LIST_DIR}/toolkit-flags.cpp
  ${CMAKE_CURRENT_LIST_DIR}/toolkit-flags.h ${CMAKE_CURRENT_LIST_DIR}/toolkit-samples.cpp
  ${CMAKE_CURRENT_LIST_DIR}/toolkit-samples.h ${CMAKE_CURRENT_LIST_DIR}/toolkit-paths.cpp
  ${CMAKE_CURRENT_LIST_DIR}/toolkit-paths.h ${CMAKE_CURRENT_LIST_DIR}/toolkit-failures.cpp
  ${CMAKE_CURRENT_LIST_DIR}/toolkit-failures.h ${CMAKE_CURRENT_LIST_DIR}/toolkit-warnings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/toolkit-warnings.h)
target_link_libraries(toolkit PRIVATE tomefold_toolkit Qt6::Widgets)
tomefold_set_warnings(toolkit)
set_target_properties(toolkit PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
