#pragma once

// Identity of the joystick control: its classes, type library, interfaces,
// dispatch numbers and persisted form. Module and host must agree on all of it.

#include "stavik/Runtime.h"

namespace stavik {

namespace clsid {
inline constexpr Guid StavikControl {0xF6B70DC0, 0x165C, 0x4F04, {0x83, 0x40, 0x04, 0xFE, 0x99, 0x81, 0xBF, 0x85}};
inline constexpr Guid StavikPropertyPage {0x365EA384, 0x3B6C, 0x4D3F, {0x95, 0x7A, 0x1C, 0xDE, 0x3D, 0x1A, 0x4B, 0xD6}};
} // namespace clsid

// Type library StavikLib 2.0.
inline constexpr Guid kStavikLibId {0x2ED2AE52, 0xCB6E, 0x4703, {0x97, 0x5B, 0xB1, 0xC9, 0xDD, 0xAB, 0x42, 0x03}};
inline constexpr std::uint16_t kStavikLibMajor = 2;
inline constexpr std::uint16_t kStavikLibMinor = 0;

namespace iid {
// The control's dispatch interface, "_DStavik" in the type library.
inline constexpr Guid DStavik {0x90A15728, 0xAC9A, 0x4A4C, {0x9C, 0xFE, 0x6D, 0x55, 0x02, 0x19, 0x0A, 0x97}};
// The control's event interface, "_DStavikEvents"; a sink answers it with an IDispatch.
inline constexpr Guid DStavikEvents {0x6E7A26BB, 0xD59B, 0x41A9, {0xAE, 0x65, 0xBD, 0x46, 0xA4, 0x11, 0x94, 0xCF}};
} // namespace iid

inline constexpr const char* kStavikProgId = "Dorrit.StavikCtrl";
inline constexpr const char* kStavikPropertyPageProgId = "STAVIK.StavikPropPage.1";

// Misc status: set client site first, invisible at run time, activate when
// visible, inside-out, cannot link inside, recompose on resize.
inline constexpr std::uint32_t kStavikMiscStatus = 0x20591;

// Dispatch numbers of the properties of _DStavik.
enum class StavikProperty : DispId {
    Manufacturer = 1,
    Product = 2,
    ProductName = 3,
    XMin = 4,
    XMax = 5,
    YMin = 6,
    YMax = 7,
    ZMin = 8,
    ZMax = 9,
    Buttons = 10,
    PeriodMin = 11,
    PeriodMax = 12,
    XPos = 13,
    YPos = 14,
    ZPos = 15,
    Button1 = 16,
    Button2 = 17,
    Devices = 18,
    Button3 = 19,
    Button4 = 20,
    Port = 21,
    Threshold = 22,
    Period = 23,
    Joystick1Attached = 24,
    Joystick2Attached = 25,
    Version = 26,
};

constexpr DispId toDispId(StavikProperty p) { return static_cast<DispId>(p); }

// Dispatch numbers of the events of _DStavikEvents.
enum class StavikEvent : DispId {
    ButtonDown = 1, // Button: Int16, 1..4
    ButtonUp = 2, // Button: Int16, 1..4
    Move = 3, // X, Y, Z: Int32
};

// The persisted state is exactly this many bytes.
inline constexpr std::uint32_t kStavikStateSize = 29;

} // namespace stavik
