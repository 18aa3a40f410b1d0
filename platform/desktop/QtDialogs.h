#pragma once

#include "ports/Dialogs.h"

#include <QString>

namespace kelvane::views {

// Message boxes and file dialogs, each modal over the program's active window.
//
// A name typed in the save dialog without an extension gets the extension of
// the chosen filter when that filter names exactly one ("Dance Files (*.dnc)"
// gives "show.dnc"; "All Files (*)" leaves "show" as it is), before the
// dialog asks whether to replace an existing file.
class QtDialogs : public Dialogs {
public:
    MessageAnswer showMessage(
        const std::string& text, MessageIcon icon, MessageButtons buttons, const std::string& title) override;
    std::optional<std::string> chooseFileToOpen(const std::string& title, const std::string& filter) override;
    std::optional<std::string> chooseFileToSave(
        const std::string& title, const std::string& filter, const std::string& suggested) override;
};

// "dnc" for "Dance Files (*.dnc)"; empty for a filter of any other form.
QString extensionOf(const QString& nameFilter);

} // namespace kelvane::views
