# Warnings for the project's own targets; errors when TOMEFOLD_WERROR is on (CI). The set is GCC's:
# the clang build (sanitizers and fuzzing) leaves warnings to the GCC build, which CI also makes.
function(tomefold_set_warnings target)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -Wshadow=local)
  elseif(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    return()
  endif()
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wnon-virtual-dtor -Wcast-qual -Wformat=2
    -Wimplicit-fallthrough)
  if(TOMEFOLD_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

if(TOMEFOLD_FUZZ AND NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "TOMEFOLD_FUZZ needs clang (libFuzzer)")
endif()
if(TOMEFOLD_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(TOMEFOLD_FUZZ)
  # Coverage for libFuzzer in every object; only the fuzz programs link the fuzzer's own main.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# A library of one subsystem folder: every source file in the folder, and its headers reachable as "folder/File.h".
function(tomefold_add_library target)
  cmake_parse_arguments(L "" "" "LIBS;EXCLUDE;EXCLUDE_DIRS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  foreach(excluded ${L_EXCLUDE})
    list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${excluded})
  endforeach()
  # Sub-folders that are libraries of their own.
  foreach(excluded ${L_EXCLUDE_DIRS})
    list(FILTER sources EXCLUDE REGEX "^${CMAKE_CURRENT_SOURCE_DIR}/${excluded}/")
  endforeach()
  set(compiled ${sources})
  list(FILTER compiled INCLUDE REGEX "\\.(cpp|qrc)$")
  if(NOT compiled)
    # A subsystem whose code has not been written yet.
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} INTERFACE ${L_LIBS})
    return()
  endif()
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${target} PUBLIC ${L_LIBS})
  tomefold_set_warnings(${target})
endfunction()
