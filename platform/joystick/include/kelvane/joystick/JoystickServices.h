#pragma once

#include <cstdint>
#include <string>

namespace kelvane::joystick {

// Results of the joystick services. The numbers are those of the multimedia
// joystick API the control was first written against, so a value a control
// reports keeps its documented meaning.
enum class JoyResult : std::uint32_t {
    Ok = 0,
    BadParameters = 165, // identifier outside 0 .. deviceCount() - 1
    CannotDo = 166, // the joystick is already captured by another listener
    Unplugged = 167, // no joystick holds this identifier at the moment
};

// What a joystick can do. Axis ranges are on the 0..65535 scale of Position.
struct Capabilities {
    std::uint16_t manufacturerId = 0; // USB vendor id, 0 when the driver does not know it
    std::uint16_t productId = 0; // USB product id
    std::string productName; // at most kMaxProductNameLength characters
    std::uint32_t xMin = 0;
    std::uint32_t xMax = 0;
    std::uint32_t yMin = 0;
    std::uint32_t yMax = 0;
    std::uint32_t zMin = 0;
    std::uint32_t zMax = 0;
    std::uint32_t buttonCount = 0;
    std::uint32_t periodMin = 0; // smallest polling period a capture can use, milliseconds
    std::uint32_t periodMax = 0; // largest polling period, milliseconds

    static constexpr std::size_t kMaxProductNameLength = 31;
};

inline constexpr std::uint32_t kAxisCentre = 32767;

// One reading of a joystick. Axes run 0..65535 with the centre near 32767;
// an axis the device lacks reads kAxisCentre. Bit n of buttons is button n + 1.
struct Position {
    std::uint32_t x = kAxisCentre;
    std::uint32_t y = kAxisCentre;
    std::uint32_t z = kAxisCentre;
    std::uint32_t buttons = 0;

    friend bool operator==(const Position&, const Position&) = default;
};

// Receives the notifications of one capture.
// Threading: called on the thread that owns the services (the UI thread), one
// notification at a time, in the order the polls found the changes. A
// listener may release its capture, or cause the services to be destroyed,
// from inside any of these calls; nothing further is then delivered to it.
class CaptureListener {
public:
    // Buttons that went down since the previous poll; bit n is button n + 1.
    virtual void buttonsPressed(std::uint32_t changed) = 0;
    // Buttons that went up since the previous poll, including every button
    // still held when the device was unplugged.
    virtual void buttonsReleased(std::uint32_t changed) = 0;
    // X or Y moved further than the threshold since the last move notified.
    // Movement of Z alone is never notified. A device unplugged with its stick
    // away from the centre is notified as moved back to the centre.
    virtual void moved(const Position& at) = 0;

protected:
    ~CaptureListener() = default;
};

// The joystick services the joystick control needs: a fixed set of
// identifiers, capabilities and position per identifier, a capture that polls
// at a period and notifies changes, and a per-identifier movement threshold.
// Every call is made on the owning (UI) thread.
class JoystickServices {
public:
    virtual ~JoystickServices() = default;

    // Number of identifiers the driver supports, whether or not a device is attached.
    virtual int deviceCount() const = 0;
    virtual JoyResult capabilities(int id, Capabilities& out) = 0;
    // Leaves out unchanged unless the result is Ok.
    virtual JoyResult position(int id, Position& out) = 0;

    // Starts polling id every periodMs milliseconds (clamped to the device's
    // period range) and notifying listener. With changesOnly false, moved()
    // is also called at every poll. A capture outlives the device: while no
    // device holds id nothing is notified, and when one is plugged in on id
    // the notifications resume by themselves.
    // Unplugged when no device holds id now; CannotDo when another listener
    // holds the capture of id. Capturing again with the same listener retimes it.
    virtual JoyResult setCapture(int id, int periodMs, bool changesOnly, CaptureListener& listener) = 0;
    // As setCapture, except that no device on id is no refusal: the capture is
    // taken all the same and notifies from the moment a device is plugged in
    // on id (buttons held then as pressed, a stick held away from the centre
    // as a move). Ok also while it waits.
    virtual JoyResult setWaitingCapture(int id, int periodMs, bool changesOnly, CaptureListener& listener) = 0;
    // Ends the capture of id, whoever holds it. Ok also when id was not captured.
    virtual JoyResult releaseCapture(int id) = 0;

    // The movement threshold of id, on the 0..65535 scale; 0 notifies every change.
    virtual JoyResult threshold(int id, std::uint32_t& out) = 0;
    virtual JoyResult setThreshold(int id, std::uint32_t threshold) = 0;
};

} // namespace kelvane::joystick
