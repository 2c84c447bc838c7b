# Shared build helpers: one static library per source folder (the grid's four
# folders make one), one test binary per library, all sources picked up from
# their folders.

set(TALLOWFINCH_WARNINGS -Wall -Wextra -Wno-unused-parameter)

# The sources of a target: every .cpp, .h and .qrc of the given folders
# (relative to the current one; "." when none are given).
function(tf_sources out)
  set(folders ${ARGN})
  if(NOT folders)
    set(folders .)
  endif()
  set(sources)
  foreach(folder ${folders})
    file(GLOB found CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp
         ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.h ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.qrc)
    list(APPEND sources ${found})
  endforeach()
  set(${out} ${sources} PARENT_SCOPE)
endfunction()

# tf_library(<target> [FOLDERS <folders...>] DEPS <targets...>)
# Builds every .cpp/.h of the current folder (or of the folders named, which
# then make one library: a class may take members from several of them) into
# a static library. While the folders hold no .cpp yet, the target is an
# interface library carrying the include path and DEPS, so targets that link
# it configure and build all the same.
function(tf_library target)
  cmake_parse_arguments(ARG "" "" "DEPS;FOLDERS" ${ARGN})
  tf_sources(sources ${ARG_FOLDERS})
  set(compiled ${sources})
  list(FILTER compiled INCLUDE REGEX "[.]cpp$")
  if(NOT compiled)
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE ${ARG_DEPS})
    return()
  endif()
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${target} PRIVATE ${TALLOWFINCH_WARNINGS})
  target_link_libraries(${target} PUBLIC ${ARG_DEPS})
endfunction()

# tf_test(<target> [FOLDERS <folders...>] DEPS <targets...>)
# Builds every test .cpp of the current folder (or of the folders named) into
# one GoogleTest binary linked with the shared test main, and registers its
# tests with CTest. No binary is made while the folders hold no .cpp yet.
function(tf_test target)
  cmake_parse_arguments(ARG "LEAK_CHECK" "TIMEOUT" "DEPS;LABELS;FOLDERS" ${ARGN})
  tf_sources(sources ${ARG_FOLDERS})
  set(compiled ${sources})
  list(FILTER compiled INCLUDE REGEX "[.]cpp$")
  if(NOT compiled)
    return()
  endif()
  add_executable(${target} ${sources})
  target_compile_options(${target} PRIVATE ${TALLOWFINCH_WARNINGS})
  target_link_libraries(${target} PRIVATE tf_testmain ${ARG_DEPS})
  # LEAK_CHECK: every test process of the binary ends with a LeakSanitizer
  # check of the whole heap (the runtime intercepts malloc and free, so
  # uninstrumented libraries are covered too). Not combined with the address
  # sanitizer of the debug preset, which checks leaks itself.
  if(ARG_LEAK_CHECK AND NOT CMAKE_CXX_FLAGS MATCHES "sanitize")
    target_link_options(${target} PRIVATE -fsanitize=leak)
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  set(props TIMEOUT ${ARG_TIMEOUT} ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  if(ARG_LABELS)
    list(APPEND props LABELS "${ARG_LABELS}")
  endif()
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST PROPERTIES ${props})
endfunction()
