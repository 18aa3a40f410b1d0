#pragma once

// The type library StavikLib 2.0: the control's members, their dispatch
// numbers, types and access rules, and the library's identity. Dispatch,
// name look-up and registration all read these tables.

#include "stavik/StavikIds.h"

#include <array>
#include <optional>
#include <string_view>

namespace stavik {

enum class Access {
    RunTimeRead, // read only, and only while the container is in user (run) mode
    ReadWrite,
    ReadOnly, // read in any mode, never written
};

struct PropertyInfo {
    DispId id;
    std::string_view name;
    VarType type;
    Access access;
};

inline constexpr std::array<PropertyInfo, 27> kStavikProperties {{
    {toDispId(StavikProperty::Manufacturer), "Manufacturer", VarType::Int16, Access::RunTimeRead},
    {toDispId(StavikProperty::Product), "Product", VarType::Int16, Access::RunTimeRead},
    {toDispId(StavikProperty::ProductName), "ProductName", VarType::String, Access::RunTimeRead},
    {toDispId(StavikProperty::XMin), "XMin", VarType::Int32, Access::RunTimeRead},
    {toDispId(StavikProperty::XMax), "XMax", VarType::Int32, Access::RunTimeRead},
    {toDispId(StavikProperty::YMin), "YMin", VarType::Int32, Access::RunTimeRead},
    {toDispId(StavikProperty::YMax), "YMax", VarType::Int32, Access::RunTimeRead},
    {toDispId(StavikProperty::ZMin), "ZMin", VarType::Int32, Access::RunTimeRead},
    {toDispId(StavikProperty::ZMax), "ZMax", VarType::Int32, Access::RunTimeRead},
    {toDispId(StavikProperty::Buttons), "Buttons", VarType::Int16, Access::RunTimeRead},
    {toDispId(StavikProperty::PeriodMin), "PeriodMin", VarType::Int16, Access::RunTimeRead},
    {toDispId(StavikProperty::PeriodMax), "PeriodMax", VarType::Int16, Access::RunTimeRead},
    {toDispId(StavikProperty::XPos), "XPos", VarType::Int32, Access::RunTimeRead},
    {toDispId(StavikProperty::YPos), "YPos", VarType::Int32, Access::RunTimeRead},
    {toDispId(StavikProperty::ZPos), "ZPos", VarType::Int32, Access::RunTimeRead},
    {toDispId(StavikProperty::Button1), "Button1", VarType::Bool, Access::RunTimeRead},
    {toDispId(StavikProperty::Button2), "Button2", VarType::Bool, Access::RunTimeRead},
    {toDispId(StavikProperty::Devices), "Devices", VarType::Int16, Access::RunTimeRead},
    {toDispId(StavikProperty::Button3), "Button3", VarType::Bool, Access::RunTimeRead},
    {toDispId(StavikProperty::Button4), "Button4", VarType::Bool, Access::RunTimeRead},
    {toDispId(StavikProperty::Port), "Port", VarType::Int32, Access::ReadWrite},
    {toDispId(StavikProperty::Threshold), "Threshold", VarType::Int32, Access::ReadWrite},
    {toDispId(StavikProperty::Period), "Period", VarType::Int32, Access::ReadWrite},
    {toDispId(StavikProperty::Joystick1Attached), "Joystick1Attached", VarType::Bool, Access::RunTimeRead},
    {toDispId(StavikProperty::Joystick2Attached), "Joystick2Attached", VarType::Bool, Access::RunTimeRead},
    {toDispId(StavikProperty::Version), "Version", VarType::String, Access::ReadOnly},
    {dispid::Enabled, "Enabled", VarType::Bool, Access::ReadWrite},
}};

struct MethodInfo {
    DispId id;
    std::string_view name;
};

inline constexpr std::array<MethodInfo, 1> kStavikMethods {{{dispid::AboutBox, "AboutBox"}}};

struct EventInfo {
    DispId id;
    std::string_view name;
    std::array<std::string_view, 3> arguments; // names; empty past the last
    VarType argumentType;
};

inline constexpr std::array<EventInfo, 3> kStavikEvents {{
    {static_cast<DispId>(StavikEvent::ButtonDown), "ButtonDown", {"Button", "", ""}, VarType::Int16},
    {static_cast<DispId>(StavikEvent::ButtonUp), "ButtonUp", {"Button", "", ""}, VarType::Int16},
    {static_cast<DispId>(StavikEvent::Move), "Move", {"X", "Y", "Z"}, VarType::Int32},
}};

struct InterfaceInfo {
    Guid id;
    std::string_view name;
};

struct TypeLibraryInfo {
    Guid id;
    std::string_view name;
    std::string_view description;
    std::uint16_t major;
    std::uint16_t minor;
    std::array<InterfaceInfo, 2> interfaces;
    Guid classId;
    std::string_view className;
};

inline constexpr TypeLibraryInfo kStavikLib {
    kStavikLibId,
    "StavikLib",
    "Stavik joystick control module",
    kStavikLibMajor,
    kStavikLibMinor,
    {{{iid::DStavik, "_DStavik"}, {iid::DStavikEvents, "_DStavikEvents"}}},
    clsid::StavikControl,
    "Stavik",
};

// The property with this dispatch number; dispid::Value is Port, the default property.
const PropertyInfo* findProperty(DispId id);
// The dispatch number of a property or method, by name, ignoring case.
std::optional<DispId> findMember(std::string_view name);

} // namespace stavik
