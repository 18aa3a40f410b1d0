#pragma once

#include <optional>
#include <string>

namespace kelvane {

enum class MessageIcon { None, Information, Warning, Critical, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// Modal dialogs. Each call returns when the user has answered.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // An empty title shows the program's name.
    virtual MessageAnswer showMessage(
        const std::string& text, MessageIcon icon, MessageButtons buttons, const std::string& title)
        = 0;

    // A file to open or to save, or nothing when the user cancelled.
    // filter uses the "Name (*.ext)" form.
    virtual std::optional<std::string> chooseFileToOpen(const std::string& title, const std::string& filter) = 0;
    virtual std::optional<std::string> chooseFileToSave(
        const std::string& title, const std::string& filter, const std::string& suggested)
        = 0;
};

} // namespace kelvane
