#include "stavik/host/StavikControl.h"

#include "stavik/host/ModuleLibrary.h"

#include "stavik/Ref.h"

#include <cstring>

namespace stavik::host {
namespace {

// Reference counting shared by the host's own small objects.
class RefCounted {
protected:
    std::uint32_t addRef() { return ++references_; }
    template <typename Self> std::uint32_t release(Self* self)
    {
        const std::uint32_t left = --references_;
        if (left == 0) {
            delete self;
        }
        return left;
    }

private:
    std::uint32_t references_ = 1;
};

// The container's site for one control: answers the ambient properties.
class ControlSite final : public IDispatch, private RefCounted {
public:
    explicit ControlSite(bool userMode) : userMode_(userMode) { }

    void setUserMode(bool userMode) { userMode_ = userMode; }
    bool userMode() const { return userMode_; }

    HResult QueryInterface(const Guid& iid, void** object) override
    {
        return answerQuery(iid, object, {answers<IDispatch>(iid::Dispatch, this)});
    }
    std::uint32_t AddRef() override { return addRef(); }
    std::uint32_t Release() override { return release(this); }

    HResult GetIdOfName(const char*, DispId*) override { return result::UnknownName; }
    HResult Invoke(DispId id, InvokeKind kind, const Variant*, std::uint32_t, Variant* value) override
    {
        if (id != dispid::AmbientUserMode || kind != InvokeKind::PropertyGet) {
            return result::MemberNotFound;
        }
        if (value != nullptr) {
            *value = Variant::boolean(userMode_);
        }
        return result::Ok;
    }

private:
    ~ControlSite() = default;
    friend class RefCounted;
    bool userMode_;
};

// The container's event sink: answers the control's event interface and
// forwards each event to the connected handler.
class EventSink final : public IDispatch, private RefCounted {
public:
    void setTarget(ControlEvents* target) { target_ = target; }

    HResult QueryInterface(const Guid& iid, void** object) override
    {
        return answerQuery(
            iid, object, {answers<IDispatch>(iid::Dispatch, this), answers<IDispatch>(iid::DStavikEvents, this)});
    }
    std::uint32_t AddRef() override { return addRef(); }
    std::uint32_t Release() override { return release(this); }

    HResult GetIdOfName(const char*, DispId*) override { return result::UnknownName; }
    HResult Invoke(DispId id, InvokeKind kind, const Variant* args, std::uint32_t count, Variant*) override
    {
        if (kind != InvokeKind::Method || (count > 0 && args == nullptr)) {
            return result::MemberNotFound;
        }
        if (target_ == nullptr) {
            return result::Ok;
        }
        switch (static_cast<StavikEvent>(id)) {
        case StavikEvent::ButtonDown:
            if (count != 1) {
                return result::BadParamCount;
            }
            target_->buttonDown(args[0].number);
            return result::Ok;
        case StavikEvent::ButtonUp:
            if (count != 1) {
                return result::BadParamCount;
            }
            target_->buttonUp(args[0].number);
            return result::Ok;
        case StavikEvent::Move:
            if (count != 3) {
                return result::BadParamCount;
            }
            target_->move(args[0].number, args[1].number, args[2].number);
            return result::Ok;
        }
        return result::MemberNotFound;
    }

private:
    ~EventSink() = default;
    friend class RefCounted;
    ControlEvents* target_ = nullptr;
};

} // namespace

Variant toVariant(const PropertyValue& value)
{
    return std::visit(
        [](const auto& v) -> Variant {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::int16_t>) {
                return Variant::int16(v);
            } else if constexpr (std::is_same_v<T, std::int32_t>) {
                return Variant::int32(v);
            } else if constexpr (std::is_same_v<T, bool>) {
                return Variant::boolean(v);
            } else {
                return Variant::string(v.c_str());
            }
        },
        value);
}

PropertyValue fromVariant(const Variant& variant)
{
    switch (variant.type) {
    case VarType::Int16:
        return static_cast<std::int16_t>(variant.number);
    case VarType::Bool:
        return variant.number != 0;
    case VarType::String:
        return std::string(variant.text, strnlen(variant.text, Variant::kTextCapacity));
    case VarType::Int32:
    case VarType::Empty:
        break;
    }
    return variant.number;
}

std::string toText(const PropertyValue& value)
{
    return std::visit(
        [](const auto& v) -> std::string {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, bool>) {
                return v ? "True" : "False";
            } else if constexpr (std::is_same_v<T, std::string>) {
                return v;
            } else {
                return std::to_string(v);
            }
        },
        value);
}

// Members end in reverse order: the control lets go of its site before the site ends.
struct StavikControl::Impl {
    std::shared_ptr<ModuleLibrary> module;
    Ref<ControlSite> site;
    Ref<IUnknown> object;
    Ref<IDispatch> dispatch;
    Ref<EventSink> sink;
    std::uint32_t cookie = 0;

    ~Impl()
    {
        if (sink) {
            sink->setTarget(nullptr);
            if (cookie != 0) {
                if (Ref<IEventSource> source {query<IEventSource>(object.get(), iid::EventSource)}) {
                    source->Unadvise(cookie);
                }
            }
            sink.reset();
        }
        if (Ref<IEmbeddedControl> embedded {query<IEmbeddedControl>(object.get(), iid::EmbeddedControl)}) {
            embedded->SetClientSite(nullptr);
        }
    }
};

StavikControl::StavikControl(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) { }

StavikControl::~StavikControl() = default;

namespace {

// Gives impl's object its site; the control asks for it before its properties are loaded.
HResult siteObject(StavikControl::Impl& impl, bool userMode);

} // namespace

std::unique_ptr<StavikControl> StavikControl::create(
    std::shared_ptr<ModuleLibrary> module, const Guid& clsid, bool userMode, HResult* error)
{
    if (!module) {
        if (error != nullptr) {
            *error = result::Pointer;
        }
        return nullptr;
    }
    Ref<IUnknown> object;
    const HResult hr = module->createInstance(clsid, iid::Unknown, object.receive());
    if (failed(hr)) {
        if (error != nullptr) {
            *error = hr;
        }
        return nullptr;
    }
    auto control = adopt(object.get(), userMode, error);
    if (control) {
        control->impl_->module = std::move(module);
    }
    return control;
}

std::unique_ptr<StavikControl> StavikControl::adopt(IUnknown* object, bool userMode, HResult* error)
{
    auto impl = std::make_unique<Impl>();
    HResult hr = result::Pointer;
    if (object != nullptr) {
        impl->object = Ref<IUnknown>::retain(object);
        hr = siteObject(*impl, userMode);
    }
    if (error != nullptr) {
        *error = hr;
    }
    if (failed(hr)) {
        return nullptr;
    }
    return std::unique_ptr<StavikControl>(new StavikControl(std::move(impl)));
}

namespace {

HResult siteObject(StavikControl::Impl& impl, bool userMode)
{
    impl.dispatch = query<IDispatch>(impl.object.get(), iid::Dispatch);
    if (!impl.dispatch) {
        return result::NoInterface;
    }
    impl.site = Ref<ControlSite>::adopt(new ControlSite(userMode));
    Ref<IEmbeddedControl> embedded {query<IEmbeddedControl>(impl.object.get(), iid::EmbeddedControl)};
    if (!embedded) {
        return result::NoInterface;
    }
    return embedded->SetClientSite(static_cast<IDispatch*>(impl.site.get()));
}

} // namespace

HResult StavikControl::initNew()
{
    Ref<IPersistState> persist {query<IPersistState>(impl_->object.get(), iid::PersistState)};
    return persist ? persist->InitNew() : result::NoInterface;
}

HResult StavikControl::load(std::span<const std::uint8_t> state)
{
    Ref<IPersistState> persist {query<IPersistState>(impl_->object.get(), iid::PersistState)};
    return persist ? persist->Load(state.data(), static_cast<std::uint32_t>(state.size())) : result::NoInterface;
}

HResult StavikControl::save(std::vector<std::uint8_t>& state, bool clearDirty)
{
    Ref<IPersistState> persist {query<IPersistState>(impl_->object.get(), iid::PersistState)};
    if (!persist) {
        return result::NoInterface;
    }
    std::uint32_t size = 0;
    HResult hr = persist->GetSizeMax(&size);
    if (failed(hr)) {
        return hr;
    }
    state.assign(size, 0);
    std::uint32_t written = 0;
    hr = persist->Save(state.data(), size, &written, clearDirty);
    state.resize(succeeded(hr) ? written : 0);
    return hr;
}

bool StavikControl::isDirty()
{
    Ref<IPersistState> persist {query<IPersistState>(impl_->object.get(), iid::PersistState)};
    return persist && persist->IsDirty() == result::Ok;
}

void StavikControl::setUserMode(bool userMode)
{
    impl_->site->setUserMode(userMode);
    if (Ref<IEmbeddedControl> embedded {query<IEmbeddedControl>(impl_->object.get(), iid::EmbeddedControl)}) {
        embedded->OnAmbientPropertyChange(dispid::AmbientUserMode);
    }
}

bool StavikControl::userMode() const { return impl_->site->userMode(); }

HResult StavikControl::connect(ControlEvents& events)
{
    if (impl_->sink) {
        impl_->sink->setTarget(&events);
        return result::Ok;
    }
    Ref<IEventSource> source {query<IEventSource>(impl_->object.get(), iid::EventSource)};
    if (!source) {
        return result::NoInterface;
    }
    auto sink = Ref<EventSink>::adopt(new EventSink);
    sink->setTarget(&events);
    const HResult hr = source->Advise(static_cast<IDispatch*>(sink.get()), &impl_->cookie);
    if (failed(hr)) {
        return hr;
    }
    impl_->sink = std::move(sink);
    return result::Ok;
}

void StavikControl::disconnect()
{
    if (!impl_->sink) {
        return;
    }
    impl_->sink->setTarget(nullptr);
    if (Ref<IEventSource> source {query<IEventSource>(impl_->object.get(), iid::EventSource)}) {
        source->Unadvise(impl_->cookie);
    }
    impl_->cookie = 0;
    impl_->sink.reset();
}

HResult StavikControl::get(std::string_view name, PropertyValue& value)
{
    DispId id = 0;
    const std::string text(name);
    const HResult hr = impl_->dispatch->GetIdOfName(text.c_str(), &id);
    return failed(hr) ? hr : get(id, value);
}

HResult StavikControl::get(DispId id, PropertyValue& value)
{
    Variant read;
    const HResult hr = impl_->dispatch->Invoke(id, InvokeKind::PropertyGet, nullptr, 0, &read);
    if (succeeded(hr)) {
        value = fromVariant(read);
    }
    return hr;
}

HResult StavikControl::put(std::string_view name, const PropertyValue& value)
{
    DispId id = 0;
    const std::string text(name);
    const HResult hr = impl_->dispatch->GetIdOfName(text.c_str(), &id);
    return failed(hr) ? hr : put(id, value);
}

HResult StavikControl::put(DispId id, const PropertyValue& value)
{
    const Variant argument = toVariant(value);
    return impl_->dispatch->Invoke(id, InvokeKind::PropertyPut, &argument, 1, nullptr);
}

HResult StavikControl::setEnabled(bool enabled) { return put(dispid::Enabled, PropertyValue {enabled}); }

HResult StavikControl::aboutBox()
{
    return impl_->dispatch->Invoke(dispid::AboutBox, InvokeKind::Method, nullptr, 0, nullptr);
}

HResult StavikControl::draw(int width, int height, std::vector<std::uint32_t>& pixels)
{
    Ref<IEmbeddedControl> embedded {query<IEmbeddedControl>(impl_->object.get(), iid::EmbeddedControl)};
    if (!embedded) {
        return result::NoInterface;
    }
    if (width <= 0 || height <= 0) {
        return result::InvalidArgument;
    }
    pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    return embedded->Draw(pixels.data(), width, height, width);
}

HResult StavikControl::extent(std::int32_t& width, std::int32_t& height)
{
    Ref<IEmbeddedControl> embedded {query<IEmbeddedControl>(impl_->object.get(), iid::EmbeddedControl)};
    return embedded ? embedded->GetExtent(&width, &height) : result::NoInterface;
}

std::vector<Guid> StavikControl::propertyPages()
{
    Ref<ISpecifyPropertyPages> specify {query<ISpecifyPropertyPages>(impl_->object.get(), iid::SpecifyPropertyPages)};
    std::uint32_t count = 0;
    if (!specify || failed(specify->GetPages(nullptr, 0, &count))) {
        return {};
    }
    std::vector<Guid> pages(count);
    if (failed(specify->GetPages(pages.data(), count, &count))) {
        return {};
    }
    pages.resize(count);
    return pages;
}

IUnknown* StavikControl::object() const { return impl_->object.get(); }

const std::shared_ptr<ModuleLibrary>& StavikControl::module() const { return impl_->module; }

} // namespace stavik::host
