#pragma once

#include <string>

namespace kelvane::views {

// Where the program's companions lie, found from the folder of the running
// program (QCoreApplication::applicationDirPath()) and never from a folder
// fixed at build time, so that a build tree and an installation under any
// prefix both work, and an installation still works when moved as a whole:
//
//   build tree    build/bin/kelvane         the help file beside it, build/lib/libstavik32.so.2
//   installation  PREFIX/bin/kelvane        PREFIX/share/kelvane/ (help file),
//                                           PREFIX/lib/kelvane/libstavik32.so.2,
//                                           PREFIX/share/sounds/sf2/ (soundfonts, before the system's)
//
// cmake/KelvaneInstall.cmake installs into these folders; the joystick module
// is looked up by stavik::host::librariesBeside.

// PREFIX/share/kelvane/ for a program in PREFIX/bin, with a trailing "/".
std::string installedDataFolder(const std::string& programFolder);

// PREFIX/share/ for a program in PREFIX/bin, with a trailing "/".
std::string installedShareFolder(const std::string& programFolder);

} // namespace kelvane::views
