# kelvane_strict(target): the warning set every target of ours builds with.
# Warnings are errors unless KELVANE_WERROR is switched off for a local experiment.
# (-Wnull-dereference stays off: GCC 12 raises it inside libstdc++ streams at -O2.)
function(kelvane_strict target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                                           -Wold-style-cast -Wcast-align -Woverloaded-virtual
                                           -Wformat=2 -Wimplicit-fallthrough)
  if(KELVANE_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# kelvane_test(name LABELS label... SOURCES file... LIBS target...):
# one GoogleTest program registered with CTest. Qt runs offscreen and SDL
# without a sound card in every test, so no test needs a display or device.
function(kelvane_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  kelvane_strict(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  add_test(NAME ${name} COMMAND ${name})
  set(labels unit)
  if(T_LABELS)
    set(labels ${T_LABELS})
  endif()
  set_tests_properties(${name} PROPERTIES
    LABELS "${labels}"
    TIMEOUT 300
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;SDL_AUDIODRIVER=dummy;KELVANE_TEST=1")
endfunction()
