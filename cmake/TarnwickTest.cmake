# tarnwick_add_test(): one test executable and its registration with CTest, with the settings
# every test shares.
#
#   tarnwick_add_test(<target>
#     SOURCES <file>...            the test's sources
#     [LIBS <target>...]           linked privately
#     [INCLUDES <dir>...]          private include folders
#     [GTEST [PREFIX <prefix>]]    GoogleTest: each test case registered on its own (ctest names
#                                  <prefix><Suite>.<Case>); without GTEST the executable is one
#                                  test named <target> (QtTest)
#     [GUI]                        runs on Qt's offscreen platform
#     [WEBENGINE]                  Qt WebEngine without its sandbox (which refuses to run as root)
#     [LABELS <label>...]          (a GTEST test: one label at most, and no WEBENGINE)
#     [TIMEOUT <seconds>])         default 300
#
# Every test's sources see TARNWICK_FIXTURES_DIR, the folder of the Jet sample files.
function(tarnwick_add_test target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "GTEST;GUI;WEBENGINE" "PREFIX;TIMEOUT"
                        "SOURCES;LIBS;INCLUDES;LABELS")
  if(NOT arg_SOURCES)
    message(FATAL_ERROR "tarnwick_add_test(${target}): no SOURCES")
  endif()
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT 300)
  endif()

  add_executable(${target} ${arg_SOURCES})
  target_link_libraries(${target} PRIVATE ${arg_LIBS})
  target_include_directories(${target} PRIVATE ${arg_INCLUDES})
  target_compile_definitions(${target} PRIVATE TARNWICK_FIXTURES_DIR="${TARNWICK_FIXTURES_DIR}")

  set(environment)
  if(arg_GUI OR arg_WEBENGINE)
    list(APPEND environment "QT_QPA_PLATFORM=offscreen")
  endif()
  if(arg_WEBENGINE)
    list(APPEND environment "QTWEBENGINE_DISABLE_SANDBOX=1"
                            "QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu --no-sandbox")
  endif()
  if(arg_GTEST)
    # gtest_discover_tests hands these properties on through a script that splits every list,
    # so each must be a single value.
    list(LENGTH arg_LABELS label_count)
    if(arg_WEBENGINE OR label_count GREATER 1)
      message(FATAL_ERROR "tarnwick_add_test(${target}): a GTEST test takes one label at most "
                          "and no WEBENGINE")
    endif()
    set(properties TIMEOUT ${arg_TIMEOUT})
    if(environment)
      list(APPEND properties ENVIRONMENT ${environment})
    endif()
    if(arg_LABELS)
      list(APPEND properties LABELS ${arg_LABELS})
    endif()
    gtest_discover_tests(${target} TEST_PREFIX "${arg_PREFIX}" DISCOVERY_TIMEOUT 60
                         PROPERTIES ${properties})
  else()
    add_test(NAME ${target} COMMAND ${target})
    set_tests_properties(${target} PROPERTIES TIMEOUT ${arg_TIMEOUT}
                         ENVIRONMENT "${environment}" LABELS "${arg_LABELS}")
  endif()
endfunction()
