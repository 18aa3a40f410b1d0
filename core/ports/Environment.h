#pragma once

#include <string>

namespace kelvane {

class Window;

enum class Pointer { Default = 0, Busy = 11 };

// The desktop around the program.
class Environment {
public:
    virtual ~Environment() = default;

    // The screen in pixels; one pixel is 15 twips.
    virtual int screenWidth() const = 0;
    virtual int screenHeight() const = 0;

    virtual void setPointer(Pointer pointer) = 0;

    // The folder of the program's read-only data (the help file), with a
    // trailing separator.
    virtual std::string programFolder() const = 0;

    // Shows the contents page of a help file.
    virtual void showHelp(const std::string& helpFile) = 0;

    // Shows a form and returns only once it is hidden again (a modal window).
    virtual void showModal(Window& window) = 0;

    // Ends the program: the event loop stops and nothing more runs.
    virtual void endProgram() = 0;
};

} // namespace kelvane
