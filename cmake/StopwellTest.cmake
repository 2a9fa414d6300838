# stopwell_add_test(<name> SOURCES <files...> [LIBS <libs...>])
# One line registers a QtTest executable with CTest, linked against the real
# libraries, headless and with a fixed locale.
function(stopwell_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE stopwell_testsupport ${ARG_LIBS} Qt6::Test)
  stopwell_warnings(${name})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=en_US.UTF-8;LC_ALL=C.UTF-8;TZ=UTC"
    TIMEOUT 300)
endfunction()
