# Shared build settings: one INTERFACE target carries the language level and warnings, and
# helpers create the per-folder static libraries, executables and test binaries.

add_library(nivra_options INTERFACE)
target_compile_features(nivra_options INTERFACE cxx_std_20)
target_compile_options(nivra_options INTERFACE -Wall -Wextra)
if(NIVRA_WERROR)
  target_compile_options(nivra_options INTERFACE -Werror)
endif()
target_include_directories(nivra_options INTERFACE ${PROJECT_SOURCE_DIR})

# nivra_library(NAME SOURCES... [LINK libs...]): a static library of one subsystem folder.
function(nivra_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINK" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_link_libraries(${name} PUBLIC nivra_options ${ARG_LINK})
endfunction()

# nivra_executable(NAME SOURCES... [LINK libs...]): a program carrying the version block.
function(nivra_executable name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINK" ${ARGN})
  add_executable(${name} ${ARG_SOURCES} $<TARGET_OBJECTS:nivra_version_block>)
  target_link_libraries(${name} PRIVATE nivra_options ${ARG_LINK})
endfunction()

# nivra_test(NAME LABEL SOURCES... [LINK libs...] [QT]): one GoogleTest binary, cases
# discovered. QT gives it a main() that creates the QApplication first (offscreen).
function(nivra_test name label)
  cmake_parse_arguments(ARG "QT" "" "SOURCES;LINK;ENV" ${ARGN})
  add_executable(${name} ${ARG_SOURCES} $<TARGET_OBJECTS:nivra_version_block>)
  if(ARG_QT)
    target_link_libraries(${name} PRIVATE nivra_test_qt_main)
  else()
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  target_link_libraries(${name} PRIVATE nivra_options nivra_test_support ${ARG_LINK}
                        GTest::gtest GTest::gmock)
  # Cases are listed by name only: every parameterised suite names its cases, so CTest needs
  # no "# GetParam() = …" beside them.
  # The environment is set by running the binary through env(1): gtest_discover_tests passes
  # only the first entry of a list-valued ENVIRONMENT property on to the cases.
  set_property(TARGET ${name} PROPERTY CROSSCOMPILING_EMULATOR
               /usr/bin/env QT_QPA_PLATFORM=offscreen ${ARG_ENV})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES
                       PROPERTIES LABELS ${label} TIMEOUT 120)
endfunction()
