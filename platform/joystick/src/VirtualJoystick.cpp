#include "kelvane/joystick/VirtualJoystick.h"

#include "kelvane/joystick/ChangeSignal.h"

#include <SDL.h>

#include <fcntl.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>

namespace kelvane::joystick {
namespace {
constexpr int kAxisOffset = 32768; // 0..65535 becomes SDL's -32768..32767
} // namespace

struct VirtualJoystick::Impl {
    Description description;
    bool sdlReady = false;
    SDL_Joystick* handle = nullptr; // our own handle, used to set the values
    SDL_JoystickID instance = -1;
    // Readable after every change, as a real device's file is; handed out
    // through the device's effect channel (see ChangeSignal.h).
    int changeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);

    void signalChange() const
    {
        const std::uint64_t one = 1;
        if (changeFd >= 0 && write(changeFd, &one, sizeof one) < 0) {
            // A counter at its limit is readable already.
        }
    }

    // SDL calls this with its joystick lock held, which unplugging also
    // takes: the descriptor copied here is still open.
    static int answerEffect(void* self, const void* data, int size)
    {
        const ChangeSignalRequest* request = ChangeSignalRequest::from(data, size);
        const int changeFd = static_cast<Impl*>(self)->changeFd;
        if (request == nullptr || changeFd < 0) {
            return SDL_Unsupported();
        }
        *request->answer = fcntl(changeFd, F_DUPFD_CLOEXEC, 0);
        return *request->answer >= 0 ? 0 : -1;
    }

    int deviceIndex() const
    {
        const int count = SDL_NumJoysticks();
        for (int index = 0; index < count; ++index) {
            if (SDL_JoystickGetDeviceInstanceID(index) == instance) {
                return index;
            }
        }
        return -1;
    }
};

VirtualJoystick::VirtualJoystick() : VirtualJoystick(Description {}) { }

VirtualJoystick::VirtualJoystick(Description description) : impl_(std::make_unique<Impl>())
{
    impl_->description = std::move(description);
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    impl_->sdlReady = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
    plug();
}

VirtualJoystick::~VirtualJoystick()
{
    unplug();
    if (impl_->sdlReady) {
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    }
    if (impl_->changeFd >= 0) {
        close(impl_->changeFd);
    }
}

void VirtualJoystick::plug()
{
    if (!impl_->sdlReady || plugged()) {
        return;
    }
    SDL_VirtualJoystickDesc desc;
    SDL_zero(desc);
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = static_cast<Uint16>(std::clamp(impl_->description.axes, 0, 16));
    desc.nbuttons = static_cast<Uint16>(std::clamp(impl_->description.buttons, 0, 32));
    desc.nhats = static_cast<Uint16>(std::clamp(impl_->description.hats, 0, 4));
    desc.vendor_id = impl_->description.vendorId;
    desc.product_id = impl_->description.productId;
    desc.name = impl_->description.name.c_str();
    desc.userdata = impl_.get();
    if (impl_->description.announcesChanges) {
        desc.SendEffect = &Impl::answerEffect;
    }
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    if (index < 0) {
        return;
    }
    impl_->instance = SDL_JoystickGetDeviceInstanceID(index);
    impl_->handle = SDL_JoystickOpen(index);
}

void VirtualJoystick::unplug()
{
    if (!plugged()) {
        return;
    }
    const int index = impl_->deviceIndex();
    SDL_JoystickClose(impl_->handle);
    impl_->handle = nullptr;
    if (index >= 0) {
        SDL_JoystickDetachVirtual(index);
    }
    impl_->instance = -1;
}

bool VirtualJoystick::plugged() const { return impl_->handle != nullptr; }

void VirtualJoystick::setButton(int button, bool down)
{
    if (plugged() && button >= 1 && button <= impl_->description.buttons) {
        SDL_JoystickSetVirtualButton(impl_->handle, button - 1, down ? 1 : 0);
        impl_->signalChange();
    }
}

void VirtualJoystick::setAxis(int axis, std::uint32_t value)
{
    if (plugged() && axis >= 0 && axis < impl_->description.axes) {
        const auto sdlValue = static_cast<int>(std::min<std::uint32_t>(value, 65535)) - kAxisOffset;
        SDL_JoystickSetVirtualAxis(impl_->handle, axis, static_cast<Sint16>(sdlValue));
        impl_->signalChange();
    }
}

void VirtualJoystick::setHat(int hat, std::uint8_t directions)
{
    if (plugged() && hat >= 0 && hat < impl_->description.hats) {
        SDL_JoystickSetVirtualHat(impl_->handle, hat, directions);
        impl_->signalChange();
    }
}

int VirtualJoystick::connectedCount() { return SDL_NumJoysticks(); }

} // namespace kelvane::joystick
