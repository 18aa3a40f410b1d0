#include "StavikControlObject.h"

#include "AboutBox.h"
#include "ControlPicture.h"
#include "Resources.h"
#include "stavik/TypeLibrary.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace stavik {
namespace {

// A dispatch argument as a 32-bit integer: numbers, booleans and text that
// is a whole decimal number.
std::optional<std::int32_t> toInt32(const Variant& v)
{
    switch (v.type) {
    case VarType::Int16:
    case VarType::Int32:
    case VarType::Bool:
        return v.number;
    case VarType::String: {
        const char* end = v.text + std::strlen(v.text);
        std::int32_t n = 0;
        const auto [at, error] = std::from_chars(v.text, end, n);
        if (error == std::errc {} && at == end && at != v.text) {
            return n;
        }
        return std::nullopt;
    }
    case VarType::Empty:
        break;
    }
    return std::nullopt;
}

Variant boolean(bool b) { return Variant::boolean(b); }

} // namespace

StavikControlObject::StavikControlObject(
    ModuleLifetime& lifetime, std::shared_ptr<kelvane::joystick::JoystickServices> services) :
    count_(lifetime), control_(std::move(services), *this)
{
}

StavikControlObject::~StavikControlObject() = default;

HResult StavikControlObject::create(ModuleLifetime& lifetime,
    std::shared_ptr<kelvane::joystick::JoystickServices> services, const Guid& iid, void** object)
{
    const auto control = Ref<StavikControlObject>::adopt(new StavikControlObject(lifetime, std::move(services)));
    return control->QueryInterface(iid, object);
}

HResult StavikControlObject::QueryInterface(const Guid& iid, void** object)
{
    return answerQuery(iid, object,
        {answers<IDispatch>(iid::Dispatch, this), answers<IDispatch>(iid::DStavik, this),
            answers<IEventSource>(iid::EventSource, this), answers<IPersistState>(iid::PersistState, this),
            answers<IEmbeddedControl>(iid::EmbeddedControl, this),
            answers<ISpecifyPropertyPages>(iid::SpecifyPropertyPages, this),
            answers<IModifiedFlag>(iid::ModifiedFlag, this)});
}

std::uint32_t StavikControlObject::AddRef() { return ++references_; }

std::uint32_t StavikControlObject::Release()
{
    const std::uint32_t left = --references_;
    if (left == 0) {
        delete this;
    }
    return left;
}

HResult StavikControlObject::GetIdOfName(const char* name, DispId* id)
{
    if (name == nullptr || id == nullptr) {
        return result::Pointer;
    }
    const auto found = findMember(name);
    if (!found) {
        return result::UnknownName;
    }
    *id = *found;
    return result::Ok;
}

HResult StavikControlObject::Invoke(
    DispId id, InvokeKind kind, const Variant* arguments, std::uint32_t argumentCount, Variant* result)
{
    if (id == dispid::AboutBox) {
        if (kind != InvokeKind::Method) {
            return result::MemberNotFound;
        }
        showAboutBox();
        return result::Ok;
    }
    if (kind == InvokeKind::PropertyGet) {
        if (argumentCount != 0) {
            return result::BadParamCount;
        }
        Variant value;
        const HResult hr = getProperty(id, value);
        if (succeeded(hr) && result != nullptr) {
            *result = value;
        }
        return hr;
    }
    if (kind == InvokeKind::PropertyPut) {
        if (argumentCount != 1 || arguments == nullptr) {
            return result::BadParamCount;
        }
        return putProperty(id, arguments[0]);
    }
    return result::MemberNotFound;
}

HResult StavikControlObject::getProperty(DispId id, Variant& value) const
{
    const PropertyInfo* property = findProperty(id);
    if (property == nullptr) {
        return result::MemberNotFound;
    }
    if (property->access == Access::RunTimeRead && !userMode()) {
        return controlError(control_error::GetNotSupported);
    }
    const auto& caps = control_.capabilities();
    const auto int16 = [](std::uint32_t v) { return Variant::int16(static_cast<std::int16_t>(v)); };
    const auto int32 = [](std::uint32_t v) { return Variant::int32(static_cast<std::int32_t>(v)); };
    const auto button = [this](int n) {
        const auto at = control_.position();
        return boolean(at && (at->buttons & (1u << (n - 1))) != 0);
    };
    const auto axis = [this](std::uint32_t kelvane::joystick::Position::*member) {
        const auto at = control_.position();
        return Variant::int32(at ? static_cast<std::int32_t>((*at).*member) : 0);
    };
    using kelvane::joystick::Position;
    switch (static_cast<StavikProperty>(property->id)) {
    case StavikProperty::Manufacturer:
        value = int16(caps.manufacturerId);
        break;
    case StavikProperty::Product:
        value = int16(caps.productId);
        break;
    case StavikProperty::ProductName:
        value = Variant::string(caps.productName.c_str());
        break;
    case StavikProperty::XMin:
        value = int32(caps.xMin);
        break;
    case StavikProperty::XMax:
        value = int32(caps.xMax);
        break;
    case StavikProperty::YMin:
        value = int32(caps.yMin);
        break;
    case StavikProperty::YMax:
        value = int32(caps.yMax);
        break;
    case StavikProperty::ZMin:
        value = int32(caps.zMin);
        break;
    case StavikProperty::ZMax:
        value = int32(caps.zMax);
        break;
    case StavikProperty::Buttons:
        value = int16(caps.buttonCount);
        break;
    case StavikProperty::PeriodMin:
        value = int16(caps.periodMin);
        break;
    case StavikProperty::PeriodMax:
        value = int16(caps.periodMax);
        break;
    case StavikProperty::XPos:
        value = axis(&Position::x);
        break;
    case StavikProperty::YPos:
        value = axis(&Position::y);
        break;
    case StavikProperty::ZPos:
        value = axis(&Position::z);
        break;
    case StavikProperty::Button1:
        value = button(1);
        break;
    case StavikProperty::Button2:
        value = button(2);
        break;
    case StavikProperty::Button3:
        value = button(3);
        break;
    case StavikProperty::Button4:
        value = button(4);
        break;
    case StavikProperty::Devices:
        value = int16(static_cast<std::uint32_t>(control_.devices()));
        break;
    case StavikProperty::Port:
        value = Variant::int32(control_.port());
        break;
    case StavikProperty::Threshold:
        value = Variant::int32(control_.threshold());
        break;
    case StavikProperty::Period:
        value = Variant::int32(control_.period());
        break;
    case StavikProperty::Joystick1Attached:
        value = boolean(control_.joystickAttached(0));
        break;
    case StavikProperty::Joystick2Attached:
        value = boolean(control_.joystickAttached(1));
        break;
    case StavikProperty::Version:
        value = Variant::string(
            resources::formatVersion(resources::kVersionMajor, resources::kVersionMinor, resources::kVersionBuild)
                .c_str());
        break;
    default:
        if (property->id == dispid::Enabled) {
            value = boolean(control_.enabled());
            break;
        }
        return result::MemberNotFound;
    }
    return result::Ok;
}

HResult StavikControlObject::putProperty(DispId id, const Variant& value)
{
    const PropertyInfo* property = findProperty(id);
    if (property == nullptr) {
        return result::MemberNotFound;
    }
    if (property->access != Access::ReadWrite) {
        const bool versionAtRunTime = property->id == toDispId(StavikProperty::Version) && userMode();
        return controlError(
            versionAtRunTime ? control_error::SetNotSupportedAtRunTime : control_error::SetNotSupported);
    }
    const auto n = toInt32(value);
    if (!n) {
        return result::TypeMismatch;
    }
    if (property->id == dispid::Enabled) {
        control_.setEnabled(*n != 0);
        return result::Ok;
    }
    switch (static_cast<StavikProperty>(property->id)) {
    case StavikProperty::Port:
        control_.setPort(*n);
        break;
    case StavikProperty::Threshold:
        control_.setThreshold(*n);
        break;
    case StavikProperty::Period:
        control_.setPeriod(*n);
        break;
    default:
        return result::MemberNotFound;
    }
    return result::Ok;
}

bool StavikControlObject::userMode() const
{
    const auto ambient = query<IDispatch>(site_.get(), iid::Dispatch);
    if (!ambient) {
        return true;
    }
    Variant value;
    const HResult hr = ambient->Invoke(dispid::AmbientUserMode, InvokeKind::PropertyGet, nullptr, 0, &value);
    return failed(hr) || value.number != 0;
}

HResult StavikControlObject::Advise(IUnknown* sink, std::uint32_t* cookie)
{
    if (sink == nullptr || cookie == nullptr) {
        return result::Pointer;
    }
    auto events = query<IDispatch>(sink, iid::DStavikEvents);
    if (!events) {
        return result::NoInterface;
    }
    *cookie = nextCookie_++;
    connections_.push_back({*cookie, std::move(events)});
    return result::Ok;
}

HResult StavikControlObject::Unadvise(std::uint32_t cookie)
{
    for (auto it = connections_.begin(); it != connections_.end(); ++it) {
        if (it->cookie == cookie) {
            // The sink may answer its release by calling back in: let it go once the list is consistent.
            const Ref<IDispatch> sink = std::move(it->sink);
            connections_.erase(it);
            return result::Ok;
        }
    }
    return result::InvalidArgument;
}

void StavikControlObject::raise(StavikEvent event, const Variant* arguments, std::uint32_t count)
{
    // A sink may advise or unadvise from inside the event; each sink connected
    // when the event began hears it, if still connected by its turn. The copy
    // holds a reference on each, so none ends while it is being called.
    const std::vector<Connection> listeners = connections_;
    for (const Connection& c : listeners) {
        const bool stillConnected = std::any_of(
            connections_.begin(), connections_.end(), [&](const Connection& now) { return now.cookie == c.cookie; });
        if (stillConnected) {
            c.sink->Invoke(static_cast<DispId>(event), InvokeKind::Method, arguments, count, nullptr);
        }
    }
}

void StavikControlObject::notificationBegins() { AddRef(); }

void StavikControlObject::notificationEnds() { Release(); }

void StavikControlObject::buttonDown(std::int16_t button)
{
    const Variant argument = Variant::int16(button);
    raise(StavikEvent::ButtonDown, &argument, 1);
}

void StavikControlObject::buttonUp(std::int16_t button)
{
    const Variant argument = Variant::int16(button);
    raise(StavikEvent::ButtonUp, &argument, 1);
}

void StavikControlObject::move(std::int32_t x, std::int32_t y, std::int32_t z)
{
    const Variant arguments[3] = {Variant::int32(x), Variant::int32(y), Variant::int32(z)};
    raise(StavikEvent::Move, arguments, 3);
}

HResult StavikControlObject::InitNew()
{
    extentWidth_ = PersistedState::kDefaultExtent;
    extentHeight_ = PersistedState::kDefaultExtent;
    control_.initNew(userMode());
    return result::Ok;
}

HResult StavikControlObject::Load(const std::uint8_t* bytes, std::uint32_t size)
{
    if (bytes == nullptr && size != 0) {
        return result::Pointer;
    }
    PersistedState state;
    const HResult hr = decodeState({bytes, size}, state);
    if (failed(hr)) {
        return hr;
    }
    extentWidth_ = state.extentWidth;
    extentHeight_ = state.extentHeight;
    control_.load(state, userMode());
    return result::Ok;
}

HResult StavikControlObject::Save(std::uint8_t* buffer, std::uint32_t capacity, std::uint32_t* written, bool clearDirty)
{
    if (buffer == nullptr || written == nullptr) {
        return result::Pointer;
    }
    if (capacity < PersistedState::kSize) {
        return result::InvalidArgument;
    }
    PersistedState state = control_.persisted();
    state.extentWidth = extentWidth_;
    state.extentHeight = extentHeight_;
    const auto bytes = encodeState(state);
    std::memcpy(buffer, bytes.data(), bytes.size());
    *written = static_cast<std::uint32_t>(bytes.size());
    if (clearDirty) {
        control_.clearModified();
    }
    return result::Ok;
}

HResult StavikControlObject::IsDirty() { return control_.modified() ? result::Ok : result::False; }

HResult StavikControlObject::GetSizeMax(std::uint32_t* size)
{
    if (size == nullptr) {
        return result::Pointer;
    }
    *size = PersistedState::kSize;
    return result::Ok;
}

HResult StavikControlObject::SetClientSite(IUnknown* site)
{
    site_ = Ref<IUnknown>::retain(site);
    return result::Ok;
}

HResult StavikControlObject::OnAmbientPropertyChange(DispId)
{
    // Ambient properties are read from the site whenever they matter.
    return result::Ok;
}

HResult StavikControlObject::GetMiscStatus(std::uint32_t* status)
{
    if (status == nullptr) {
        return result::Pointer;
    }
    *status = kStavikMiscStatus;
    return result::Ok;
}

HResult StavikControlObject::GetExtent(std::int32_t* width, std::int32_t* height)
{
    if (width == nullptr || height == nullptr) {
        return result::Pointer;
    }
    *width = extentWidth_;
    *height = extentHeight_;
    return result::Ok;
}

HResult StavikControlObject::SetExtent(std::int32_t width, std::int32_t height)
{
    if (width <= 0 || height <= 0) {
        return result::InvalidArgument;
    }
    if (width != extentWidth_ || height != extentHeight_) {
        extentWidth_ = width;
        extentHeight_ = height;
        control_.markModified();
    }
    return result::Ok;
}

HResult StavikControlObject::Draw(std::uint32_t* pixels, std::int32_t width, std::int32_t height, std::int32_t stride)
{
    if (pixels == nullptr) {
        return result::Pointer;
    }
    if (width <= 0 || height <= 0 || stride < width) {
        return result::InvalidArgument;
    }
    if (userMode()) {
        return result::False; // invisible at run time: nothing to draw
    }
    stretchBitmap(*resources::bitmap(resources::kControlBitmap), pixels, width, height, stride);
    return result::Ok;
}

HResult StavikControlObject::GetPages(Guid* pages, std::uint32_t capacity, std::uint32_t* count)
{
    if (count == nullptr) {
        return result::Pointer;
    }
    *count = 1;
    if (pages != nullptr && capacity >= 1) {
        pages[0] = clsid::StavikPropertyPage;
    }
    return result::Ok;
}

HResult StavikControlObject::SetModified()
{
    control_.markModified();
    return result::Ok;
}

} // namespace stavik
