#pragma once

#include "ports/PreferencesStore.h"

#include <string>

namespace kelvane {

// A settings file of the program's own beside kelvane.dat: whole reads and
// writes as PreferencesStore gives them, and a way to keep a file that the
// program cannot use without writing over it.
class SettingsStore : public PreferencesStore {
public:
    // Renames the stored file to its name with ".bad" added, replacing an
    // older one of that name, so the next write starts afresh and the bytes
    // stay for the user to look at. Returns where they went, or an empty
    // text with `problem` saying why nothing moved.
    virtual std::string setAside(std::string& problem) = 0;
};

} // namespace kelvane
