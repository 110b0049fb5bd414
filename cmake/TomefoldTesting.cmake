# Test helpers: GoogleTest executables under ctest, and CHM fixtures compiled at build time.

set(TOMEFOLD_FIXTURE_DIR ${CMAKE_BINARY_DIR}/tests/data)

if(NOT TARGET sanitized_tests)
  # The sanitizer build makes only this target: the tests marked SANITIZE and what they need.
  add_custom_target(sanitized_tests)
endif()
if(NOT TARGET chm_fixtures)
  add_custom_target(chm_fixtures)
endif()

# tomefold_add_test(NAME SOURCES a.cpp ... LIBS lib ... [SANITIZE] [WEB])
#   SANITIZE: the test is also built and run under AddressSanitizer/UBSan; it must not start the web engine.
#   WEB: the test starts the web engine; it runs alone so that engine processes never compete.
function(tomefold_add_test name)
  cmake_parse_arguments(T "SANITIZE;WEB" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(TOMEFOLD_SANITIZE AND NOT T_SANITIZE)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE tomefold_test_support ${T_LIBS})
  tomefold_set_warnings(${name})
  add_dependencies(${name} chm_fixtures)
  add_test(NAME ${name} COMMAND ${name})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 900)
  endif()
  set(labels unit)
  if(T_SANITIZE)
    list(APPEND labels sanitize)
    add_dependencies(sanitized_tests ${name})
  endif()
  if(T_WEB)
    list(APPEND labels web)
    set_tests_properties(${name} PROPERTIES RUN_SERIAL ON)
  endif()
  set_tests_properties(${name} PROPERTIES
    LABELS "${labels}"
    TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QTWEBENGINE_DISABLE_SANDBOX=1;TOMEFOLD_FIXTURES=${TOMEFOLD_FIXTURE_DIR};TOMEFOLD_TEST_SOURCE_DATA=${PROJECT_SOURCE_DIR}/tests/data;ASAN_OPTIONS=detect_leaks=1:abort_on_error=1;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp")
endfunction()

# tomefold_add_chm_fixture(NAME): compiles tests/data/NAME/ (an .hhp project whose
# "Compiled file" is NAME.chm) into ${TOMEFOLD_FIXTURE_DIR}/NAME.chm with chmcmd.
function(tomefold_add_chm_fixture name)
  set(src ${PROJECT_SOURCE_DIR}/tests/data/${name})
  set(work ${CMAKE_BINARY_DIR}/tests/data/${name}.src)
  set(out ${TOMEFOLD_FIXTURE_DIR}/${name}.chm)
  file(GLOB_RECURSE inputs CONFIGURE_DEPENDS ${src}/*)
  file(GLOB projects ${src}/*.hhp)
  list(LENGTH projects count)
  if(NOT count EQUAL 1)
    message(FATAL_ERROR "CHM fixture ${name} needs exactly one .hhp project")
  endif()
  get_filename_component(project ${projects} NAME)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DSOURCE=${src} -DWORK=${work} -DPROJECT_FILE=${project}
            -DCHMCMD=${CHMCMD_EXECUTABLE} -DOUTPUT=${out} -DNAME=${name}
            -P ${PROJECT_SOURCE_DIR}/cmake/CompileChm.cmake
    DEPENDS ${inputs} ${PROJECT_SOURCE_DIR}/cmake/CompileChm.cmake
    COMMENT "Compiling CHM fixture ${name}"
    VERBATIM)
  add_custom_target(chm_fixture_${name} DEPENDS ${out})
  add_dependencies(chm_fixtures chm_fixture_${name})
endfunction()
