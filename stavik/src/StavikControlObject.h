#pragma once

#include "JoystickControl.h"
#include "ModifiedFlag.h"
#include "ModuleLifetime.h"

#include "stavik/Ref.h"

#include "stavik/StavikIds.h"

#include <memory>
#include <vector>

namespace stavik {

// The joystick control as a component object: dispatch with the control
// access rules, the event connection, persistence, embedding and its
// property page. Behaviour lives in JoystickControl.
//
// Lifetime: reference counted; created with one reference. Everything runs on
// the UI thread. While handling a joystick notification the object holds a
// reference on itself, so a sink may release the container's last reference
// from inside an event.
class StavikControlObject final : public IDispatch,
                                  public IEventSource,
                                  public IPersistState,
                                  public IEmbeddedControl,
                                  public ISpecifyPropertyPages,
                                  public IModifiedFlag,
                                  private ControlEventTarget {
public:
    StavikControlObject(ModuleLifetime& lifetime, std::shared_ptr<kelvane::joystick::JoystickServices> services);

    // Creates a control and answers iid; the usual class-factory contract.
    static HResult create(ModuleLifetime& lifetime, std::shared_ptr<kelvane::joystick::JoystickServices> services,
        const Guid& iid, void** object);

    HResult QueryInterface(const Guid& iid, void** object) override;
    std::uint32_t AddRef() override;
    std::uint32_t Release() override;

    HResult GetIdOfName(const char* name, DispId* id) override;
    HResult Invoke(
        DispId id, InvokeKind kind, const Variant* arguments, std::uint32_t argumentCount, Variant* result) override;

    HResult Advise(IUnknown* sink, std::uint32_t* cookie) override;
    HResult Unadvise(std::uint32_t cookie) override;

    HResult InitNew() override;
    HResult Load(const std::uint8_t* bytes, std::uint32_t size) override;
    HResult Save(std::uint8_t* buffer, std::uint32_t capacity, std::uint32_t* written, bool clearDirty) override;
    HResult IsDirty() override;
    HResult GetSizeMax(std::uint32_t* size) override;

    HResult SetClientSite(IUnknown* site) override;
    HResult OnAmbientPropertyChange(DispId id) override;
    HResult GetMiscStatus(std::uint32_t* status) override;
    HResult GetExtent(std::int32_t* width, std::int32_t* height) override;
    HResult SetExtent(std::int32_t width, std::int32_t height) override;
    HResult Draw(std::uint32_t* pixels, std::int32_t width, std::int32_t height, std::int32_t stride) override;

    HResult GetPages(Guid* pages, std::uint32_t capacity, std::uint32_t* count) override;

    HResult SetModified() override;

private:
    ~StavikControlObject();

    // The container's user-mode ambient property; run mode when it cannot be asked.
    bool userMode() const;
    HResult getProperty(DispId id, Variant& value) const;
    HResult putProperty(DispId id, const Variant& value);
    void raise(StavikEvent event, const Variant* arguments, std::uint32_t count);

    void notificationBegins() override;
    void notificationEnds() override;
    void buttonDown(std::int16_t button) override;
    void buttonUp(std::int16_t button) override;
    void move(std::int32_t x, std::int32_t y, std::int32_t z) override;

    struct Connection {
        std::uint32_t cookie;
        Ref<IDispatch> sink;
    };

    ModuleObjectCount count_;
    std::uint32_t references_ = 1;
    JoystickControl control_;
    Ref<IUnknown> site_;
    std::vector<Connection> connections_;
    std::uint32_t nextCookie_ = 1;
    std::int32_t extentWidth_ = PersistedState::kDefaultExtent;
    std::int32_t extentHeight_ = PersistedState::kDefaultExtent;
};

} // namespace stavik
