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

# kelvane_strict_core(target): the stricter set of the pad core (core/) and
# the joystick component (stavik/): kelvane_strict plus -Wconversion, so that
# every narrowing of a value (16-bit settings and flags, bytes of MIDI
# messages and persisted states) is written out where it happens. Every target of those folders uses it, new ones included.
function(kelvane_strict_core target)
  kelvane_strict(${target})
  target_compile_options(${target} PRIVATE -Wconversion)
endfunction()

# kelvane_test(name [X_SERVER] LABELS label... SOURCES file... LIBS target...):
# one GoogleTest program whose cases are each a CTest entry of their own
# (named program.Suite.Case), so a failure names its case. Qt runs offscreen and SDL
# without a sound card in every case, and when ctest lists the cases, so no
# test needs a display or device. With X_SERVER every case runs instead under
# an X server of its own (Xvfb through xvfb-run, a 1280x1024 screen) with Qt
# on it; without xvfb-run such a program is skipped. The cases of one program
# never run at the same time, even under ctest -j, as when the program ran them all.
include(GoogleTest)
find_program(KELVANE_ENV_PROGRAM env REQUIRED)
find_program(KELVANE_XVFB_RUN xvfb-run)
function(kelvane_test name)
  cmake_parse_arguments(T "X_SERVER" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  kelvane_strict(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  set(labels unit)
  if(T_LABELS)
    set(labels ${T_LABELS})
  endif()
  if(T_X_SERVER AND NOT KELVANE_XVFB_RUN)
    add_test(NAME ${name} COMMAND ${CMAKE_COMMAND} -E echo "xvfb-run is not installed: ${name} is skipped")
    set_tests_properties(${name} PROPERTIES LABELS "${labels}" SKIP_REGULAR_EXPRESSION "is skipped")
    return()
  endif()
  # The environment travels as a launcher that both the listing and every
  # case run through (a list-valued ENVIRONMENT does not survive discovery).
  set(environment QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy KELVANE_TEST=1)
  set(server)
  if(T_X_SERVER)
    # On X11, Qt also looks for the desktop's session bus; a test reaches none
    # (libdbus's failed attempt leaves an allocation LeakSanitizer reports).
    set(environment QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy KELVANE_TEST=1 DBUS_SESSION_BUS_ADDRESS=disabled:)
    set(server ${KELVANE_XVFB_RUN} -a -s "-screen 0 1280x1024x24")
  endif()
  set(launcher ${server} ${KELVANE_ENV_PROGRAM} ${environment})
  set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR "${launcher}")
  gtest_discover_tests(${name}
    TEST_PREFIX ${name}.
    TEST_LIST ${name}_CASES
    DISCOVERY_MODE PRE_TEST # listed when ctest runs: a build stopped mid-way cannot leave a stale list
    DISCOVERY_TIMEOUT 120
    PROPERTIES TIMEOUT 300 RESOURCE_LOCK ${name})
  # Labels may be a list, which discovery would split too: set them once the cases are known.
  set(properties_file ${CMAKE_CURRENT_BINARY_DIR}/${name}_properties.cmake)
  file(WRITE ${properties_file}
    "if(${name}_CASES)\n"
    "  set_tests_properties(\${${name}_CASES} PROPERTIES LABELS \"${labels}\")\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${properties_file})
endfunction()
