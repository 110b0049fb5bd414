# Test helpers: GoogleTest executables under ctest, and CHM fixtures compiled at build time.

set(TOMEFOLD_FIXTURE_DIR ${CMAKE_BINARY_DIR}/tests/data)

if(NOT TARGET sanitized_tests)
  # The sanitizer build makes only this target: the tests marked SANITIZE and what they need.
  add_custom_target(sanitized_tests)
endif()
if(NOT TARGET chm_fixtures)
  add_custom_target(chm_fixtures)
endif()

# How many of ctest's job slots a test that starts the web engine takes: the engine runs a render
# process per page besides the test, so several such tests share the machine without starving.
# How long one test case of a program marked SANITIZE may run before its hang guard ends the
# program: far above what any takes, with room for the sanitizers' slowdown on a loaded machine.
if(TOMEFOLD_SANITIZE)
  set(TOMEFOLD_TEST_HANG_SECONDS 300)
else()
  set(TOMEFOLD_TEST_HANG_SECONDS 120)
endif()

set(TOMEFOLD_WEB_TEST_PROCESSORS 2 CACHE STRING "ctest job slots each web-engine test takes")

# In the sanitizer build the code under test keeps its light optimisation, which the fuzz runs
# need; the tests' own code needs none, and without it compiles a third faster. The sanitizers
# still watch it.
function(tomefold_compile_test_code target)
  if(TOMEFOLD_SANITIZE)
    target_compile_options(${target} PRIVATE -O0)
  endif()
endfunction()

# tomefold_add_test(NAME SOURCES a.cpp ... LIBS lib ... [SANITIZE] [WEB] [SERIAL] [TIMEOUT s])
#   SANITIZE: the code under test parses untrusted bytes; the test is also built and run under
#     AddressSanitizer/UBSan. It must not start the web engine.
#   WEB: the test starts the web engine; it takes TOMEFOLD_WEB_TEST_PROCESSORS job slots and runs
#     beside other tests, since each engine keeps its profile off the record.
#   SERIAL: the test uses something of the machine that others use too; it runs alone.
function(tomefold_add_test name)
  cmake_parse_arguments(T "SANITIZE;WEB;SERIAL" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(TOMEFOLD_SANITIZE AND NOT T_SANITIZE)
    return()
  endif()
  if(TOMEFOLD_SANITIZED_TESTS_APART AND T_SANITIZE AND NOT TOMEFOLD_SANITIZE)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE tomefold_test_support ${T_LIBS})
  tomefold_set_warnings(${name})
  tomefold_compile_test_code(${name})
  add_dependencies(${name} chm_fixtures)
  add_test(NAME ${name} COMMAND ${name})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 900)
  endif()
  set(labels unit)
  set(environment "")
  if(T_SANITIZE)
    list(APPEND labels sanitize)
    add_dependencies(sanitized_tests ${name})
    # Decoding untrusted bytes can loop forever on a mistake: each test case gets a hang guard.
    set(environment "TOMEFOLD_TEST_HANG_SECONDS=${TOMEFOLD_TEST_HANG_SECONDS};")
  endif()
  if(T_WEB)
    list(APPEND labels web)
    set_tests_properties(${name} PROPERTIES PROCESSORS ${TOMEFOLD_WEB_TEST_PROCESSORS})
  endif()
  if(T_SERIAL)
    set_tests_properties(${name} PROPERTIES RUN_SERIAL ON)
  endif()
  set_tests_properties(${name} PROPERTIES
    LABELS "${labels}"
    TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "${environment}QT_QPA_PLATFORM=offscreen;QTWEBENGINE_DISABLE_SANDBOX=1;TOMEFOLD_FIXTURES=${TOMEFOLD_FIXTURE_DIR};TOMEFOLD_TEST_SOURCE_DATA=${PROJECT_SOURCE_DIR}/tests/data;ASAN_OPTIONS=detect_leaks=1:abort_on_error=1;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp")
endfunction()

# tomefold_guard_hangs(NAME [SECONDS]): a test program that decodes untrusted bytes but is not built
# under the sanitizers (it starts the web engine, or Poppler's drawing, or another program) gets the
# hang guard of each test case the SANITIZE ones have, so that a decoder that loops fails within
# minutes with the case's name instead of at ctest's time-out. SECONDS raises the limit for cases
# that wait on another program's own time limit.
function(tomefold_guard_hangs name)
  if(NOT TEST ${name})
    return()
  endif()
  set(seconds ${TOMEFOLD_TEST_HANG_SECONDS})
  if(ARGC GREATER 1)
    set(seconds ${ARGV1})
  endif()
  set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT "TOMEFOLD_TEST_HANG_SECONDS=${seconds}")
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
