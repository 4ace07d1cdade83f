# kestrava_library(<name> SOURCES ... [DEPS ...])
#   One static library per source folder; the folder's parent (src/) is the include root,
#   so code includes "platform/files/file.h", "storage/isam.h" and so on.
function(kestrava_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# kestrava_test(<name> LABEL <folder> SOURCES ... [DEPS ...])
#   A GoogleTest suite; every case becomes a ctest test labelled by its folder and run
#   headless (QT_QPA_PLATFORM=offscreen) in its own scratch directory.
function(kestrava_test name)
  cmake_parse_arguments(ARG "" "LABEL;TIMEOUT" "SOURCES;DEPS" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE KESTRAVA_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  set(env
      "QT_QPA_PLATFORM=offscreen"
      "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:halt_on_error=1"
      "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0"
      "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
      "KESTRAVA_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES LABELS ${ARG_LABEL} TIMEOUT ${ARG_TIMEOUT})
  # gtest_discover_tests hands property values on word by word, which splits a list such as the
  # environment (only its first variable would arrive); set it once the tests are discovered.
  set(env_file "${CMAKE_CURRENT_BINARY_DIR}/${name}_environment.cmake")
  file(WRITE "${env_file}"
    "foreach(test IN LISTS ${name}_TESTS)\n"
    "  set_tests_properties(\"\${test}\" PROPERTIES ENVIRONMENT [==[${env}]==])\n"
    "endforeach()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${env_file}")
endfunction()
