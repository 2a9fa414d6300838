# The locales every test runs under: what the program stores must not depend
# on them, so each test is registered once per locale.
set(STOPWELL_TEST_LOCALES C en_US en_GB de_DE fr_FR ja_JP CACHE STRING "Locales the tests run under")

# stopwell_add_test(<name> SOURCES <files...> LIBS <libs...> [LOCALES <locales...>])
# One line registers a QtTest executable with CTest, linked against the layer
# it tests, headless, once for every locale.
function(stopwell_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LOCALES" ${ARGN})
  if(NOT ARG_LOCALES)
    set(ARG_LOCALES ${STOPWELL_TEST_LOCALES})
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Test)
  stopwell_warnings(${name})
  foreach(locale ${ARG_LOCALES})
    if(locale STREQUAL "C")
      set(lang C.UTF-8)
    else()
      set(lang ${locale}.UTF-8)
    endif()
    add_test(NAME ${name}[${locale}] COMMAND ${name})
    set_tests_properties(${name}[${locale}] PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=${lang};LC_ALL=${lang};LANGUAGE=;TZ=UTC"
      TIMEOUT 600)
  endforeach()
endfunction()
