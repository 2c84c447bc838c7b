# Shared build helpers: one static library per source folder (the grid's four
# folders make one), one test binary per library, all sources picked up from
# their folders.

set(TALLOWFINCH_WARNINGS -Wall -Wextra -Wno-unused-parameter)

# Run-time options of the sanitizer builds (the debug preset) for processes
# that are not test binaries (those build them in, see tf_test): LeakSanitizer
# reads the suppressions of libraries we do not build (tests/sanitizers/
# lsan.supp, each entry with its reason); for the browser engine, see
# tests/sanitizers/EngineSanitizerOptions.cpp.
set(TALLOWFINCH_SANITIZER_ENV
    "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/sanitizers/lsan.supp"
    "UBSAN_OPTIONS=print_stacktrace=1")
set(TALLOWFINCH_ENGINE_SANITIZER_ENV "ASAN_OPTIONS=new_delete_type_mismatch=0")

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
  # The fuzz build compiles only what its targets link (fuzz/UnusedSources.cmake).
  if(TALLOWFINCH_BUILD_FUZZ AND TALLOWFINCH_FUZZ_UNUSED_SOURCES)
    list(REMOVE_ITEM sources ${TALLOWFINCH_FUZZ_UNUSED_SOURCES})
  endif()
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
  # GoogleTest's assertions are statements of their own made of an if and
  # an else; one under a bare if is sound, and GCC's warning about it is noise.
  target_compile_options(${target} PRIVATE ${TALLOWFINCH_WARNINGS}
                         $<$<CXX_COMPILER_ID:GNU>:-Wno-dangling-else>)
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
  if(CMAKE_CXX_FLAGS MATCHES "sanitize=[^ ]*address")
    # Sanitizer builds run several times slower.
    math(EXPR ARG_TIMEOUT "${ARG_TIMEOUT} * 3")
    # Their run-time options are built in: the test registration cannot hand
    # several variables to each test.
    set(options ${PROJECT_SOURCE_DIR}/tests/sanitizers/SanitizerOptions.cpp)
    # Binaries that drive the browser engine, directly or through the program
    # they start, also get the engine's options.
    set(engine OFF)
    foreach(dep tf_testengine tf_webview2 tf_browser tf_app)
      if(dep IN_LIST ARG_DEPS)
        set(engine ON)
      endif()
    endforeach()
    if(engine OR "desktop" IN_LIST ARG_LABELS)
      list(APPEND options ${PROJECT_SOURCE_DIR}/tests/sanitizers/EngineSanitizerOptions.cpp)
    endif()
    target_sources(${target} PRIVATE ${options})
    set_source_files_properties(${options} TARGET_DIRECTORY ${target} PROPERTIES COMPILE_DEFINITIONS
      "TF_LSAN_SUPPRESSIONS=\"${PROJECT_SOURCE_DIR}/tests/sanitizers/lsan.supp\"")
  endif()
  set(props TIMEOUT ${ARG_TIMEOUT} ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  if(ARG_LABELS)
    list(APPEND props LABELS "${ARG_LABELS}")
  endif()
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST PROPERTIES ${props})
endfunction()
