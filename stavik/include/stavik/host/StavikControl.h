#pragma once

// The host side of the joystick control: what a container does with one
// instance. Typical use, on the UI thread of a Qt application:
//
//   auto module = ModuleLibrary::open(location.library);
//   auto stavik1 = StavikControl::create(module, clsid::StavikControl, /*userMode*/ true);
//   stavik1->load(persistedBytes);      // or initNew()
//   stavik1->connect(myEvents);          // ButtonDown / ButtonUp / Move
//   stavik1->setEnabled(true);
//   ...
//   stavik1->setEnabled(false);          // releases the joystick
//   stavik1.reset();                     // disconnects and releases the control

#include "stavik/Runtime.h"
#include "stavik/StavikIds.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace stavik::host {

class ModuleLibrary;

// A property's value as the host sees it.
using PropertyValue = std::variant<std::int16_t, std::int32_t, bool, std::string>;

Variant toVariant(const PropertyValue& value);
// Empty variants read as Int32 0.
PropertyValue fromVariant(const Variant& variant);
// "1", "-1" / "0" for booleans as True / False, text as it is.
std::string toText(const PropertyValue& value);

// Receives the control's events. Called on the UI thread while the control
// polls; a handler may change the control's properties, disconnect, or
// destroy the StavikControl it came from.
class ControlEvents {
public:
    virtual void buttonDown(int button) = 0;
    virtual void buttonUp(int button) = 0;
    virtual void move(int x, int y, int z) = 0;

protected:
    ~ControlEvents() = default;
};

class StavikControl {
public:
    // Creates an instance of clsid through module's class object and gives it
    // a site whose user-mode ambient property is userMode. The control is not
    // initialised yet: call load() or initNew() next. Nothing (and the reason
    // in error) when the module cannot make it.
    static std::unique_ptr<StavikControl> create(
        std::shared_ptr<ModuleLibrary> module, const Guid& clsid, bool userMode, HResult* error = nullptr);
    // Hosts a control object made some other way (a control linked into the
    // program, say); takes a reference of its own on object.
    static std::unique_ptr<StavikControl> adopt(IUnknown* object, bool userMode, HResult* error = nullptr);
    ~StavikControl(); // disconnects the events, takes the site away and releases the control
    StavikControl(const StavikControl&) = delete;
    StavikControl& operator=(const StavikControl&) = delete;

    HResult initNew();
    // The persisted state (29 bytes); starts the capture in user mode when it says Enabled.
    HResult load(std::span<const std::uint8_t> state);
    HResult save(std::vector<std::uint8_t>& state, bool clearDirty = true);
    bool isDirty();

    // Changes the container's user mode (true = run, false = design) and tells the control.
    void setUserMode(bool userMode);
    bool userMode() const;

    // One event handler at a time; connecting another replaces it.
    HResult connect(ControlEvents& events);
    void disconnect();

    HResult get(std::string_view name, PropertyValue& value);
    HResult get(DispId id, PropertyValue& value);
    HResult put(std::string_view name, const PropertyValue& value);
    HResult put(DispId id, const PropertyValue& value);
    HResult setEnabled(bool enabled);
    // Shows the control's About box (modal).
    HResult aboutBox();
    // The control drawn over width x height ARGB pixels (design mode only: the
    // control is invisible at run time and then draws nothing, result False).
    HResult draw(int width, int height, std::vector<std::uint32_t>& pixels);
    // HIMETRIC extent.
    HResult extent(std::int32_t& width, std::int32_t& height);
    std::vector<Guid> propertyPages();

    // The control object itself (for property frames). Not AddRef'ed.
    IUnknown* object() const;
    // The module the control came from; null for an adopted control.
    const std::shared_ptr<ModuleLibrary>& module() const;

    struct Impl; // public only so the host's helpers can name it

private:
    explicit StavikControl(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

} // namespace stavik::host
