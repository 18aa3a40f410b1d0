# Install rules: what `cmake --install` and the package put under the prefix.
#
# The program finds its companions relative to its own folder
# (platform/desktop/InstallLayout.h, stavik::host::librariesBeside), so the
# folders below are fixed rather than GNUInstallDirs choices: a Debian prefix
# would otherwise move the module to lib/<multiarch>/ where the program does
# not look. The module is private to Kelvane (only dlopen'ed, never linked
# against), so it lives in lib/kelvane/, outside the linker's search path.
set(KELVANE_INSTALL_BINDIR bin)
set(KELVANE_INSTALL_MODULEDIR lib/kelvane)
set(KELVANE_INSTALL_DATADIR share/kelvane)

install(TARGETS kelvane stavik-register stavik-test RUNTIME DESTINATION ${KELVANE_INSTALL_BINDIR})
# libstavik32.so.2.0.4 with its links libstavik32.so.2 (the soname) and
# libstavik32.so (the name users pass to stavik-register).
install(TARGETS stavik32 LIBRARY DESTINATION ${KELVANE_INSTALL_MODULEDIR})
install(FILES "${PROJECT_SOURCE_DIR}/data/Kelvane Version 2.HLP" DESTINATION ${KELVANE_INSTALL_DATADIR})

# Desktop integration: menu entry, file type of performance files, software
# centre metadata, and the icon in the hicolor theme.
install(FILES "${PROJECT_SOURCE_DIR}/data/kelvane.desktop" DESTINATION share/applications)
install(FILES "${PROJECT_SOURCE_DIR}/data/kelvane-mime.xml" DESTINATION share/mime/packages RENAME kelvane.xml)
install(FILES "${PROJECT_SOURCE_DIR}/data/org.kelvane.kelvane.metainfo.xml" DESTINATION share/metainfo)
install(FILES "${PROJECT_SOURCE_DIR}/data/kelvane.svg" DESTINATION share/icons/hicolor/scalable/apps)

# The PNG sizes are drawn from the SVG at build time, so the SVG is the only
# picture kept in the repository.
find_program(KELVANE_RSVG_CONVERT rsvg-convert REQUIRED)
set(KELVANE_ICON_SIZES 16 22 24 32 48 64 128 256)
set(icon_outputs)
foreach(size IN LISTS KELVANE_ICON_SIZES)
  set(png "${PROJECT_BINARY_DIR}/icons/${size}x${size}/kelvane.png")
  add_custom_command(OUTPUT "${png}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${PROJECT_BINARY_DIR}/icons/${size}x${size}"
    COMMAND ${KELVANE_RSVG_CONVERT} --width=${size} --height=${size} --output=${png}
            "${PROJECT_SOURCE_DIR}/data/kelvane.svg"
    DEPENDS "${PROJECT_SOURCE_DIR}/data/kelvane.svg"
    COMMENT "Drawing the ${size}x${size} icon")
  list(APPEND icon_outputs "${png}")
  install(FILES "${png}" DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()

# The package's documents: the copyright statement and the changelog, which
# Debian keeps compressed (gzip -n: no time stamp, so rebuilds are identical).
find_program(KELVANE_GZIP gzip REQUIRED)
set(changelog_gz "${PROJECT_BINARY_DIR}/doc/changelog.gz")
add_custom_command(OUTPUT "${changelog_gz}"
  COMMAND ${CMAKE_COMMAND} -E make_directory "${PROJECT_BINARY_DIR}/doc"
  COMMAND ${KELVANE_GZIP} -9 -n -c "${PROJECT_SOURCE_DIR}/data/changelog" > "${changelog_gz}"
  DEPENDS "${PROJECT_SOURCE_DIR}/data/changelog"
  COMMENT "Compressing the changelog")
install(FILES "${PROJECT_SOURCE_DIR}/data/copyright" "${changelog_gz}" DESTINATION share/doc/kelvane)

# Manual pages of the program and the tools, compressed the same way.
set(man_outputs)
foreach(page kelvane stavik-register stavik-test)
  set(man_gz "${PROJECT_BINARY_DIR}/man/${page}.1.gz")
  add_custom_command(OUTPUT "${man_gz}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${PROJECT_BINARY_DIR}/man"
    COMMAND ${KELVANE_GZIP} -9 -n -c "${PROJECT_SOURCE_DIR}/data/man/${page}.1" > "${man_gz}"
    DEPENDS "${PROJECT_SOURCE_DIR}/data/man/${page}.1"
    COMMENT "Compressing the manual page of ${page}")
  list(APPEND man_outputs "${man_gz}")
endforeach()
install(FILES ${man_outputs} DESTINATION share/man/man1)

add_custom_target(kelvane_desktop_files ALL DEPENDS ${icon_outputs} "${changelog_gz}" ${man_outputs})
