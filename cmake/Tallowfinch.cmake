# Shared build helpers: one static library per source folder, one test binary
# per library, all sources picked up from their folder.

set(TALLOWFINCH_WARNINGS -Wall -Wextra -Wno-unused-parameter)

# tf_library(<target> DEPS <targets...>)
# Builds every .cpp/.h of the current folder into a static library.
function(tf_library target)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
       ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${target} PRIVATE ${TALLOWFINCH_WARNINGS})
  target_link_libraries(${target} PUBLIC ${ARG_DEPS})
endfunction()

# tf_test(<target> DEPS <targets...>)
# Builds every test .cpp of the current folder into one GoogleTest binary
# linked with the shared test main, and registers its tests with CTest.
function(tf_test target)
  cmake_parse_arguments(ARG "LEAK_CHECK" "TIMEOUT" "DEPS;LABELS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp
       ${CMAKE_CURRENT_SOURCE_DIR}/*.h ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
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
