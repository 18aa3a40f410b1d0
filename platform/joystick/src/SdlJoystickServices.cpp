#include "kelvane/joystick/SdlJoystickServices.h"

#include <QElapsedTimer>
#include <QTimer>

#include <SDL.h>

#include <algorithm>
#include <map>
#include <vector>

namespace kelvane::joystick {
namespace {

constexpr std::uint32_t kAxisMax = 65535;
constexpr int kAxisOffset = 32768; // SDL's -32768..32767 becomes 0..65535
constexpr int kMaxButtons = 32; // bits of Position::buttons

std::uint32_t readAxis(SDL_Joystick* joystick, int axis)
{
    if (axis >= SDL_JoystickNumAxes(joystick)) {
        return kAxisCentre;
    }
    return static_cast<std::uint32_t>(SDL_JoystickGetAxis(joystick, axis) + kAxisOffset);
}

Position readPosition(SDL_Joystick* joystick)
{
    Position at;
    at.x = readAxis(joystick, 0);
    at.y = readAxis(joystick, 1);
    at.z = readAxis(joystick, 2);
    const int buttons = std::min(SDL_JoystickNumButtons(joystick), kMaxButtons);
    for (int b = 0; b < buttons; ++b) {
        if (SDL_JoystickGetButton(joystick, b) != 0) {
            at.buttons |= 1u << b;
        }
    }
    return at;
}

std::uint32_t distance(std::uint32_t a, std::uint32_t b) { return a > b ? a - b : b - a; }

// One attached joystick, holding its identifier.
struct Slot {
    SDL_Joystick* handle = nullptr;
    SDL_JoystickID instance = -1;
};

struct Capture {
    CaptureListener* listener = nullptr;
    std::uint64_t serial = 0; // tells a capture from a later one on the same identifier
    std::int64_t periodNs = 0;
    std::int64_t nextDueNs = 0;
    bool changesOnly = true;
    bool devicePresent = false;
    SDL_JoystickID instance = -1; // device the readings below came from
    Position last; // reading of the previous poll
    Position moveReference; // reading at the last move notified
};

} // namespace

struct SdlJoystickServices::Impl {
    explicit Impl(int supportedDevices) :
        slotTable(static_cast<std::size_t>(supportedDevices)), thresholds(static_cast<std::size_t>(supportedDevices), 0)
    {
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        sdlReady = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, &timer, [this] { poll(false); });
        clock.start();
    }

    ~Impl()
    {
        *alive = false;
        timer.stop();
        for (Slot& slot : slotTable) {
            if (slot.handle != nullptr) {
                SDL_JoystickClose(slot.handle);
            }
        }
        if (sdlReady) {
            SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
        }
    }

    bool validId(int id) const { return id >= 0 && id < static_cast<int>(slotTable.size()); }

    // Brings the slotTable in line with the joysticks SDL sees now.
    void refreshDevices()
    {
        if (!sdlReady) {
            return;
        }
        SDL_JoystickUpdate();
        for (Slot& slot : slotTable) {
            if (slot.handle != nullptr && SDL_JoystickGetAttached(slot.handle) == SDL_FALSE) {
                SDL_JoystickClose(slot.handle);
                slot = Slot {};
            }
        }
        bool opened = false;
        const int count = SDL_NumJoysticks();
        for (int index = 0; index < count; ++index) {
            const SDL_JoystickID instance = SDL_JoystickGetDeviceInstanceID(index);
            if (instance < 0 || holdsInstance(instance)) {
                continue;
            }
            const auto freeSlot
                = std::find_if(slotTable.begin(), slotTable.end(), [](const Slot& s) { return s.handle == nullptr; });
            if (freeSlot == slotTable.end()) {
                break;
            }
            if (SDL_Joystick* handle = SDL_JoystickOpen(index)) {
                *freeSlot = Slot {handle, instance};
                opened = true;
            }
        }
        if (opened) {
            SDL_JoystickUpdate(); // a device opened just now reads its state only from the next update
        }
        // Device state is read directly; the queued copies of it are of no use to anyone.
        SDL_FlushEvents(SDL_JOYAXISMOTION, SDL_JOYBATTERYUPDATED);
    }

    bool holdsInstance(SDL_JoystickID instance) const
    {
        return std::any_of(slotTable.begin(), slotTable.end(),
            [instance](const Slot& s) { return s.handle != nullptr && s.instance == instance; });
    }

    SDL_Joystick* device(int id) const { return slotTable[static_cast<std::size_t>(id)].handle; }

    // The open device behind identifier id, after taking in any plugging since
    // the last look; BadParameters or Unplugged say why there is none.
    JoyResult connected(int id, SDL_Joystick*& handle)
    {
        if (!validId(id)) {
            return JoyResult::BadParameters;
        }
        refreshDevices();
        handle = device(id);
        return handle == nullptr ? JoyResult::Unplugged : JoyResult::Ok;
    }

    void retime()
    {
        if (captures.empty()) {
            timer.stop();
            return;
        }
        std::int64_t shortest = captures.begin()->second.periodNs;
        for (const auto& entry : captures) {
            shortest = std::min(shortest, entry.second.periodNs);
        }
        timer.setInterval(static_cast<int>(shortest / 1'000'000));
        if (!timer.isActive()) {
            timer.start();
        }
    }

    // One poll: every capture whose period has elapsed (or all of them).
    void poll(bool all)
    {
        const std::shared_ptr<bool> token = alive;
        refreshDevices();
        const std::int64_t now = clock.nsecsElapsed();
        // A timer tick may come a little early; half an interval of slack keeps
        // a capture whose period equals the interval from skipping a tick.
        const std::int64_t slack = static_cast<std::int64_t>(timer.interval()) * 500'000;
        std::vector<std::pair<int, std::uint64_t>> due;
        for (auto& [id, capture] : captures) {
            if (all || now + slack >= capture.nextDueNs) {
                capture.nextDueNs = now + capture.periodNs;
                due.emplace_back(id, capture.serial);
            }
        }
        for (const auto& [id, serial] : due) {
            if (!*token) {
                return; // a listener destroyed the services
            }
            pollCapture(id, serial, token);
        }
    }

    // The capture of id, if it is still the one with this serial.
    Capture* find(int id, std::uint64_t serial)
    {
        const auto it = captures.find(id);
        return it != captures.end() && it->second.serial == serial ? &it->second : nullptr;
    }

    void pollCapture(int id, std::uint64_t serial, const std::shared_ptr<bool>& token)
    {
        const auto stillCaptured = [&] { return *token && find(id, serial) != nullptr; };
        Capture* capture = find(id, serial);
        if (capture == nullptr) {
            return;
        }
        SDL_Joystick* handle = device(id);
        const bool sameDevice = handle != nullptr && capture->devicePresent
            && capture->instance == slotTable[static_cast<std::size_t>(id)].instance;
        if (capture->devicePresent && !sameDevice) {
            // Unplugged (or replaced within one period): nothing it held may stay down.
            const std::uint32_t held = capture->last.buttons;
            capture->devicePresent = false;
            capture->last = Position {};
            if (held != 0) {
                capture->listener->buttonsReleased(held);
                if (!stillCaptured()) {
                    return;
                }
                capture = find(id, serial);
                handle = device(id); // the listener may have refreshed the slotTable
            }
        }
        if (handle == nullptr) {
            return;
        }
        const Position now = readPosition(handle);
        if (!capture->devicePresent) {
            // Plugged in again: start from its axes as they are and no button held,
            // so buttons already down are notified as pressed.
            capture->devicePresent = true;
            capture->instance = slotTable[static_cast<std::size_t>(id)].instance;
            capture->last = now;
            capture->last.buttons = 0;
            capture->moveReference = now;
        }
        const std::uint32_t pressed = now.buttons & ~capture->last.buttons;
        const std::uint32_t released = capture->last.buttons & ~now.buttons;
        const std::uint32_t threshold = thresholds[static_cast<std::size_t>(id)];
        const bool movedFar = distance(now.x, capture->moveReference.x) > threshold
            || distance(now.y, capture->moveReference.y) > threshold;
        capture->last = now;
        if (movedFar) {
            capture->moveReference = now;
        }
        const bool notifyMove = movedFar || !capture->changesOnly;
        CaptureListener* listener = capture->listener;
        if (pressed != 0) {
            listener->buttonsPressed(pressed);
            if (!stillCaptured()) {
                return;
            }
        }
        if (released != 0) {
            listener->buttonsReleased(released);
            if (!stillCaptured()) {
                return;
            }
        }
        if (notifyMove) {
            listener->moved(now);
        }
    }

    std::shared_ptr<bool> alive = std::make_shared<bool>(true);
    bool sdlReady = false;
    std::vector<Slot> slotTable;
    std::vector<std::uint32_t> thresholds;
    std::map<int, Capture> captures;
    std::uint64_t nextSerial = 1;
    QTimer timer;
    QElapsedTimer clock;
};

SdlJoystickServices::SdlJoystickServices(int supportedDevices) :
    impl_(std::make_unique<Impl>(std::clamp(supportedDevices, 1, kSupportedDevices)))
{
}

SdlJoystickServices::~SdlJoystickServices() = default;

int SdlJoystickServices::deviceCount() const { return static_cast<int>(impl_->slotTable.size()); }

JoyResult SdlJoystickServices::capabilities(int id, Capabilities& out)
{
    SDL_Joystick* handle = nullptr;
    if (const JoyResult found = impl_->connected(id, handle); found != JoyResult::Ok) {
        return found;
    }
    Capabilities caps;
    caps.manufacturerId = SDL_JoystickGetVendor(handle);
    caps.productId = SDL_JoystickGetProduct(handle);
    if (const char* name = SDL_JoystickName(handle)) {
        caps.productName = std::string(name).substr(0, Capabilities::kMaxProductNameLength);
    }
    caps.xMax = caps.yMax = caps.zMax = kAxisMax;
    caps.buttonCount = static_cast<std::uint32_t>(std::max(SDL_JoystickNumButtons(handle), 0));
    caps.periodMin = kPeriodMin;
    caps.periodMax = kPeriodMax;
    out = caps;
    return JoyResult::Ok;
}

JoyResult SdlJoystickServices::position(int id, Position& out)
{
    SDL_Joystick* handle = nullptr;
    if (const JoyResult found = impl_->connected(id, handle); found != JoyResult::Ok) {
        return found;
    }
    out = readPosition(handle);
    return JoyResult::Ok;
}

JoyResult SdlJoystickServices::setCapture(int id, int periodMs, bool changesOnly, CaptureListener& listener)
{
    SDL_Joystick* handle = nullptr;
    if (const JoyResult found = impl_->connected(id, handle); found != JoyResult::Ok) {
        return found;
    }
    const auto existing = impl_->captures.find(id);
    if (existing != impl_->captures.end() && existing->second.listener != &listener) {
        return JoyResult::CannotDo;
    }
    const auto period = static_cast<std::int64_t>(
        std::clamp(static_cast<std::uint32_t>(std::max(periodMs, 0)), kPeriodMin, kPeriodMax));
    Capture capture;
    capture.listener = &listener;
    capture.serial = impl_->nextSerial++;
    capture.periodNs = period * 1'000'000;
    capture.nextDueNs = impl_->clock.nsecsElapsed() + capture.periodNs;
    capture.changesOnly = changesOnly;
    capture.devicePresent = true;
    capture.instance = impl_->slotTable[static_cast<std::size_t>(id)].instance;
    capture.last = readPosition(handle);
    capture.moveReference = capture.last;
    impl_->captures[id] = capture;
    impl_->retime();
    return JoyResult::Ok;
}

JoyResult SdlJoystickServices::releaseCapture(int id)
{
    if (!impl_->validId(id)) {
        return JoyResult::BadParameters;
    }
    impl_->captures.erase(id);
    impl_->retime();
    return JoyResult::Ok;
}

JoyResult SdlJoystickServices::threshold(int id, std::uint32_t& out)
{
    if (!impl_->validId(id)) {
        return JoyResult::BadParameters;
    }
    out = impl_->thresholds[static_cast<std::size_t>(id)];
    return JoyResult::Ok;
}

JoyResult SdlJoystickServices::setThreshold(int id, std::uint32_t threshold)
{
    if (!impl_->validId(id)) {
        return JoyResult::BadParameters;
    }
    impl_->thresholds[static_cast<std::size_t>(id)] = threshold;
    return JoyResult::Ok;
}

void SdlJoystickServices::pollNow() { impl_->poll(true); }

} // namespace kelvane::joystick
