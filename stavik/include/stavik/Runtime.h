#pragma once

// The component runtime shared by the joystick control module and its hosts:
// result codes, identifiers, the dispatch value type and the interfaces an
// object and its container talk through. Everything here is plain data or an
// abstract class, so the binary interface does not depend on the library
// versions either side was built with.
//
// Object rules, as in every reference-counted component model:
// - QueryInterface hands out an interface with one reference added; asking any
//   interface of an object for iid::Unknown gives the same pointer (identity).
// - Every AddRef is matched by one Release; the object dies at zero.
// - All calls are made on the thread that created the object (the UI thread).

#include <cstdint>
#include <cstring>

namespace stavik {

using HResult = std::int32_t;
using DispId = std::int32_t;

// A 128-bit identifier of a class, interface or library.
struct Guid {
    std::uint32_t data1;
    std::uint16_t data2;
    std::uint16_t data3;
    std::uint8_t data4[8];

    friend constexpr bool operator==(const Guid&, const Guid&) = default;
};

namespace result {
inline constexpr HResult Ok = 0;
inline constexpr HResult False = 1;
inline constexpr HResult NotImplemented = static_cast<HResult>(0x80004001u);
inline constexpr HResult NoInterface = static_cast<HResult>(0x80004002u);
inline constexpr HResult Pointer = static_cast<HResult>(0x80004003u);
inline constexpr HResult Fail = static_cast<HResult>(0x80004005u);
inline constexpr HResult Unexpected = static_cast<HResult>(0x8000FFFFu);
inline constexpr HResult InvalidArgument = static_cast<HResult>(0x80070057u);
inline constexpr HResult NoAggregation = static_cast<HResult>(0x80040110u);
inline constexpr HResult ClassNotAvailable = static_cast<HResult>(0x80040111u);
inline constexpr HResult MemberNotFound = static_cast<HResult>(0x80020003u);
inline constexpr HResult TypeMismatch = static_cast<HResult>(0x80020005u);
inline constexpr HResult UnknownName = static_cast<HResult>(0x80020006u);
inline constexpr HResult BadParamCount = static_cast<HResult>(0x8002000Eu);
inline constexpr HResult StreamTooShort = static_cast<HResult>(0x8003001Eu); // a persisted state cut short
inline constexpr HResult StreamInvalid = static_cast<HResult>(0x80030103u); // a persisted state of another format
// Self-registration: the type library stage failed / a class stage failed.
inline constexpr HResult SelfRegTypeLib = static_cast<HResult>(0x80040200u);
inline constexpr HResult SelfRegClass = static_cast<HResult>(0x80040201u);
} // namespace result

constexpr bool failed(HResult hr) { return hr < 0; }

constexpr bool succeeded(HResult hr) { return hr >= 0; }

// The standard control errors a control reports through Invoke. They travel
// as error results of the control facility whose low word is the error number.
namespace control_error {
inline constexpr int SetNotSupportedAtRunTime = 382;
inline constexpr int SetNotSupported = 383;
inline constexpr int GetNotSupported = 394;
} // namespace control_error

inline constexpr std::uint32_t kControlFacilityBase = 0x800A0000u;

constexpr HResult controlError(int number)
{
    return static_cast<HResult>(kControlFacilityBase | static_cast<std::uint32_t>(number));
}

// The control error number carried by hr, or 0 when hr is not a control error.
constexpr int controlErrorNumber(HResult hr)
{
    const auto bits = static_cast<std::uint32_t>(hr);
    return (bits & 0xFFFF0000u) == kControlFacilityBase ? static_cast<int>(bits & 0xFFFFu) : 0;
}

// Dispatch numbers every control understands.
namespace dispid {
inline constexpr DispId Value = 0; // the default property
inline constexpr DispId Enabled = -514;
inline constexpr DispId AboutBox = -552;
inline constexpr DispId AmbientUserMode = -709; // asked of the container's site
} // namespace dispid

// A value passed through dispatch. Plain data: a string travels inside it, so
// no allocation crosses between module and host.
enum class VarType : std::uint16_t { Empty = 0, Int16 = 2, Int32 = 3, String = 8, Bool = 11 };

struct Variant {
    static constexpr std::size_t kTextCapacity = 64; // bytes, terminating zero included

    VarType type = VarType::Empty;
    std::int32_t number = 0; // Int16, Int32; Bool: non-zero is true
    char text[kTextCapacity] = {}; // String: zero-terminated, cut to fit

    static constexpr Variant int16(std::int16_t v) { return Variant {VarType::Int16, v, {}}; }
    static constexpr Variant int32(std::int32_t v) { return Variant {VarType::Int32, v, {}}; }
    static constexpr Variant boolean(bool v) { return Variant {VarType::Bool, v ? 1 : 0, {}}; }
    static Variant string(const char* s)
    {
        Variant v {VarType::String, 0, {}};
        std::strncpy(v.text, s, kTextCapacity - 1);
        return v;
    }
};

enum class InvokeKind : std::uint32_t { Method = 1, PropertyGet = 2, PropertyPut = 4 };

class IUnknown {
public:
    virtual HResult QueryInterface(const Guid& iid, void** object) = 0;
    virtual std::uint32_t AddRef() = 0;
    virtual std::uint32_t Release() = 0;

protected:
    ~IUnknown() = default;
};

// Access to members by dispatch number. Also the form of an event interface:
// the source calls Invoke(eventNumber, InvokeKind::Method, arguments) on the sink.
class IDispatch : public IUnknown {
public:
    // The dispatch number of the member called name, ignoring case.
    virtual HResult GetIdOfName(const char* name, DispId* id) = 0;
    // arguments: argumentCount values, first argument first. result may be null.
    virtual HResult Invoke(
        DispId id, InvokeKind kind, const Variant* arguments, std::uint32_t argumentCount, Variant* result)
        = 0;

protected:
    ~IDispatch() = default;
};

class IClassFactory : public IUnknown {
public:
    // outer must be null: the module's objects cannot be aggregated.
    virtual HResult CreateInstance(IUnknown* outer, const Guid& iid, void** object) = 0;
    // While locked, the module reports that it cannot be unloaded. Each
    // LockServer(false) takes back one earlier LockServer(true) of the module;
    // one without a lock left to take back is refused with Unexpected.
    virtual HResult LockServer(bool lock) = 0;

protected:
    ~IClassFactory() = default;
};

// An object's outgoing events. Advise asks sink for the object's event
// interface and keeps that reference until Unadvise or the object's end.
class IEventSource : public IUnknown {
public:
    virtual HResult Advise(IUnknown* sink, std::uint32_t* cookie) = 0;
    virtual HResult Unadvise(std::uint32_t cookie) = 0;

protected:
    ~IEventSource() = default;
};

// Persistence of an object's properties to a byte stream.
// Exactly one of InitNew or Load is called, once, after the client site is set.
class IPersistState : public IUnknown {
public:
    virtual HResult InitNew() = 0;
    virtual HResult Load(const std::uint8_t* bytes, std::uint32_t size) = 0;
    // Writes the state into buffer; written receives the byte count.
    virtual HResult Save(std::uint8_t* buffer, std::uint32_t capacity, std::uint32_t* written, bool clearDirty) = 0;
    // Ok when modified since the last save that cleared the flag, False otherwise.
    virtual HResult IsDirty() = 0;
    virtual HResult GetSizeMax(std::uint32_t* size) = 0;

protected:
    ~IPersistState() = default;
};

// The container's side of embedding a control.
class IEmbeddedControl : public IUnknown {
public:
    // site: the container's object for this control, or null to let go of it.
    // Ambient properties are read through the site's IDispatch.
    virtual HResult SetClientSite(IUnknown* site) = 0;
    // The container changed an ambient property (dispid::AmbientUserMode, ...).
    virtual HResult OnAmbientPropertyChange(DispId id) = 0;
    virtual HResult GetMiscStatus(std::uint32_t* status) = 0;
    // Extent in HIMETRIC (hundredths of a millimetre).
    virtual HResult GetExtent(std::int32_t* width, std::int32_t* height) = 0;
    virtual HResult SetExtent(std::int32_t width, std::int32_t height) = 0;
    // Draws the control over a width x height rectangle of 32-bit ARGB pixels;
    // stride is the distance between rows, in pixels.
    virtual HResult Draw(std::uint32_t* pixels, std::int32_t width, std::int32_t height, std::int32_t stride) = 0;

protected:
    ~IEmbeddedControl() = default;
};

class ISpecifyPropertyPages : public IUnknown {
public:
    // Writes up to capacity page class identifiers; count receives how many pages there are.
    virtual HResult GetPages(Guid* pages, std::uint32_t capacity, std::uint32_t* count) = 0;

protected:
    ~ISpecifyPropertyPages() = default;
};

// A property page, shown by a property frame for a set of objects.
// Order: SetObjects, Activate, any number of Apply, Deactivate, SetObjects(0).
class IPropertyPage : public IUnknown {
public:
    virtual HResult SetObjects(std::uint32_t count, IUnknown* const* objects) = 0;
    // parentWidget: the frame's toolkit widget (a QWidget* for Qt containers);
    // pageWidget receives the page's widget, a child of parentWidget, owned by the page.
    virtual HResult Activate(void* parentWidget, void** pageWidget) = 0;
    virtual HResult Deactivate() = 0;
    virtual HResult GetTitle(char* buffer, std::uint32_t capacity) = 0;
    virtual HResult IsPageDirty() = 0;
    // Ok when written to the objects; Fail when the page refused its values
    // (it has told the user and kept the focus on the offending field).
    virtual HResult Apply() = 0;

protected:
    ~IPropertyPage() = default;
};

namespace iid {
inline constexpr Guid Unknown {0x0A269570, 0x2BEE, 0x4920, {0xB0, 0xF8, 0x9A, 0x43, 0xA2, 0xA0, 0x70, 0xB6}};
inline constexpr Guid ClassFactory {0xD622416B, 0x39CA, 0x4822, {0x85, 0xF0, 0xBE, 0x1E, 0x7A, 0x80, 0x2B, 0x0B}};
inline constexpr Guid Dispatch {0x654A8587, 0x67CB, 0x4DF3, {0xB8, 0x62, 0x33, 0xCA, 0x98, 0x48, 0x09, 0x7F}};
inline constexpr Guid EventSource {0x5F36FD0D, 0x3A29, 0x4003, {0xA2, 0xA2, 0x52, 0x75, 0x61, 0x50, 0xA4, 0x6E}};
inline constexpr Guid PersistState {0xD8234630, 0xE02F, 0x4824, {0xAA, 0x85, 0x1F, 0x40, 0x19, 0x5C, 0x48, 0x62}};
inline constexpr Guid EmbeddedControl {0x54643A34, 0x7C14, 0x4BD4, {0xA1, 0x58, 0x4F, 0x2E, 0xC8, 0xFA, 0x2F, 0xBB}};
inline constexpr Guid SpecifyPropertyPages {
    0x95348C01, 0x9A18, 0x4891, {0x98, 0x1E, 0x18, 0x7A, 0x3E, 0xA5, 0xE9, 0xAC}};
inline constexpr Guid PropertyPage {0xB9CE4F27, 0x000F, 0x4C86, {0xAA, 0x51, 0x22, 0xC5, 0x70, 0x42, 0x0F, 0xE6}};
} // namespace iid

} // namespace stavik
