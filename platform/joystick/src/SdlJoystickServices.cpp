#include "kelvane/joystick/SdlJoystickServices.h"

#include "kelvane/joystick/ChangeSignal.h"

#include <QMetaObject>
#include <QObject>

#include <SDL.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kelvane::joystick {
namespace {

using Clock = std::chrono::steady_clock;
using Nanoseconds = std::chrono::nanoseconds;

constexpr std::uint32_t kAxisMax = 65535;
constexpr int kAxisOffset = 32768; // SDL's -32768..32767 becomes 0..65535
constexpr int kMaxButtons = 32; // bits of Position::buttons
// A capture whose device is missing looks for it this often, for this long
// after a device file appeared (or always, where device files cannot be
// watched): SDL finds real devices plugged in only when its joystick state is
// updated, and the system may take a while to make a new device readable.
constexpr Nanoseconds kLookForDeviceEvery = std::chrono::milliseconds(50);
constexpr Nanoseconds kLookAfterArrival = std::chrono::seconds(3);
// An axis this close to the centre is at rest: a device unplugged with its
// stick further out is notified as moved back to the centre.
constexpr std::uint32_t kRestZone = 8192;

std::uint32_t readAxis(SDL_Joystick* joystick, int axis)
{
    if (axis >= SDL_JoystickNumAxes(joystick)) {
        return kAxisCentre;
    }
    return static_cast<std::uint32_t>(SDL_JoystickGetAxis(joystick, axis) + kAxisOffset);
}

// A D-pad on a pad without a stick plays the stick's part.
void readHatAsStick(SDL_Joystick* joystick, Position& at)
{
    const Uint8 hat = SDL_JoystickGetHat(joystick, 0);
    at.x = (hat & SDL_HAT_LEFT) != 0 ? 0 : (hat & SDL_HAT_RIGHT) != 0 ? kAxisMax : kAxisCentre;
    at.y = (hat & SDL_HAT_UP) != 0 ? 0 : (hat & SDL_HAT_DOWN) != 0 ? kAxisMax : kAxisCentre;
}

Position readPosition(SDL_Joystick* joystick)
{
    Position at;
    if (SDL_JoystickNumAxes(joystick) < 2 && SDL_JoystickNumHats(joystick) > 0) {
        readHatAsStick(joystick, at);
    } else {
        at.x = readAxis(joystick, 0);
        at.y = readAxis(joystick, 1);
    }
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

bool atRest(const Position& at)
{
    return distance(at.x, kAxisCentre) <= kRestZone && distance(at.y, kAxisCentre) <= kRestZone;
}

// Opens what becomes readable when the device's state changes: a second
// reader of its device file (each reader of an input device gets every event),
// or, for a joystick inside this process, the descriptor it hands out. -1 when
// there is none: the device is then polled at its capture period.
int openChangeSignal(SDL_Joystick* joystick)
{
    if (const char* path = SDL_JoystickPath(joystick)) {
        return open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    }
    int answer = -1;
    const ChangeSignalRequest request(&answer);
    if (SDL_JoystickSendEffect(joystick, &request, static_cast<int>(sizeof request)) != 0) {
        return -1;
    }
    return answer;
}

// Empties a readable change signal. False when the device behind it is gone.
bool drainChangeSignal(int fd)
{
    // Whole input events (24 bytes each) or an eventfd's 8-byte count.
    std::array<char, 24 * 32> buffer {};
    for (;;) {
        const ssize_t got = read(fd, buffer.data(), buffer.size());
        if (got > 0) {
            continue;
        }
        return got < 0 && (errno == EAGAIN || errno == EINTR);
    }
}

// Readable when a file appears or changes in the device folder, or the folder
// itself appears in its parent: where joysticks plugged in show up.
class DeviceArrivals {
public:
    explicit DeviceArrivals(std::string folder) :
        folder_(std::move(folder)), fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        if (fd_ < 0)
            return;
        const std::size_t slash = folder_.find_last_of('/');
        parentWatch_ = slash == std::string::npos
            ? -1
            : inotify_add_watch(
                fd_, folder_.substr(0, std::max<std::size_t>(slash, 1)).c_str(), IN_CREATE | IN_MOVED_TO | IN_ONLYDIR);
        watchFolder();
        if (folderWatch_ < 0 && parentWatch_ < 0) {
            close(fd_);
            fd_ = -1;
        }
    }
    ~DeviceArrivals()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    DeviceArrivals(const DeviceArrivals&) = delete;
    DeviceArrivals& operator=(const DeviceArrivals&) = delete;

    // -1 when nothing can be watched: then look for devices all the time.
    int fd() const { return fd_; }

    // Takes in what happened; true when a device may have appeared.
    bool drain()
    {
        alignas(inotify_event) std::array<char, 4096> buffer {};
        bool appeared = false;
        for (;;) {
            const ssize_t got = read(fd_, buffer.data(), buffer.size());
            if (got <= 0)
                break;
            appeared = true;
        }
        if (folderWatch_ < 0)
            watchFolder(); // the folder itself may be what appeared
        return appeared;
    }

private:
    void watchFolder() { folderWatch_ = inotify_add_watch(fd_, folder_.c_str(), IN_CREATE | IN_ATTRIB | IN_MOVED_TO); }

    std::string folder_;
    int fd_ = -1;
    int parentWatch_ = -1;
    int folderWatch_ = -1;
};

// One attached joystick, holding its identifier.
struct Slot {
    SDL_Joystick* handle = nullptr;
    SDL_JoystickID instance = -1;
    int changeFd = -1; // see openChangeSignal()

    void close()
    {
        SDL_JoystickClose(handle);
        if (changeFd >= 0) {
            ::close(changeFd);
        }
        *this = Slot {};
    }
};

struct Capture {
    CaptureListener* listener = nullptr;
    std::uint64_t serial = 0; // tells a capture from a later one on the same identifier
    Nanoseconds period {0};
    Clock::time_point nextDue; // when polled on a grid of its period
    Clock::time_point lastPolled;
    bool signalled = false; // its device's change signal fired since it was last polled
    bool changesOnly = true;
    bool devicePresent = false;
    SDL_JoystickID instance = -1; // device the readings below came from
    Position last; // reading of the previous poll
    Position moveReference; // reading at the last move notified
};

struct Notification {
    enum class Kind { Pressed, Released, Moved };
    int id = 0;
    std::uint64_t serial = 0;
    Kind kind = Kind::Moved;
    std::uint32_t buttons = 0;
    Position at;
};

} // namespace

struct SdlJoystickServices::Impl {
    Impl(int supportedDevices, const char* deviceFolder) :
        slotTable(static_cast<std::size_t>(supportedDevices)),
        thresholds(static_cast<std::size_t>(supportedDevices), 0),
        arrivals(deviceFolder)
    {
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        sdlReady = wakeFd >= 0 && SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
        if (sdlReady) {
            SDL_AddEventWatch(&Impl::watchSdlEvent, this);
        }
    }

    ~Impl()
    {
        *alive = false;
        {
            const std::lock_guard<std::mutex> lock(wakeMutex);
            stopping = true;
        }
        wakePollThread();
        if (thread.joinable()) {
            thread.join();
        }
        if (sdlReady) {
            SDL_DelEventWatch(&Impl::watchSdlEvent, this);
        }
        for (Slot& slot : slotTable) {
            if (slot.handle != nullptr) {
                slot.close();
            }
        }
        if (sdlReady) {
            SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
        }
        if (wakeFd >= 0) {
            close(wakeFd);
        }
    }

    // Wakes the poll thread: the wake descriptor stays readable until the
    // thread, woken, drains it and reads the flags set before the call.
    void wakePollThread() const
    {
        const std::uint64_t one = 1;
        if (write(wakeFd, &one, sizeof one) < 0) {
            // Only a counter at its limit refuses, and that one is readable already.
        }
    }

    // Runs on whichever thread pushes an SDL event, with SDL's locks held:
    // it only notes a device change and wakes the poll thread.
    static int watchSdlEvent(void* self, SDL_Event* event)
    {
        if (event->type == SDL_JOYDEVICEADDED || event->type == SDL_JOYDEVICEREMOVED) {
            auto* impl = static_cast<Impl*>(self);
            {
                const std::lock_guard<std::mutex> lock(impl->wakeMutex);
                impl->devicesChanged = true;
            }
            impl->wakePollThread();
        }
        return 1;
    }

    // Deadlines lie on one grid per period from the services' start, so
    // captures with the same period are polled in the same wake.
    Clock::time_point gridPointAfter(Clock::time_point t, Nanoseconds period) const
    {
        return epoch + ((t - epoch) / period + 1) * period;
    }

    bool validId(int id) const { return id >= 0 && id < static_cast<int>(slotTable.size()); }

    // Takes in SDL's joystick changes; brings the slot table in line with the
    // joysticks SDL sees when one was added or removed. Caller holds mutex.
    void updateDevices()
    {
        if (sdlReady) {
            SDL_JoystickUpdate(); // also how SDL finds devices plugged in or out
        }
        bool changed = false;
        {
            // Taken even without SDL, or the poll thread would wake for it forever.
            const std::lock_guard<std::mutex> lock(wakeMutex);
            changed = devicesChanged;
            devicesChanged = false;
        }
        if (!sdlReady) {
            return;
        }
        if (changed) {
            rescanDevices();
        }
        // Device state is read directly; the queued copies of it are of no use to anyone.
        SDL_FlushEvents(SDL_JOYAXISMOTION, SDL_JOYBATTERYUPDATED);
    }

    void rescanDevices()
    {
        for (Slot& slot : slotTable) {
            if (slot.handle != nullptr && SDL_JoystickGetAttached(slot.handle) == SDL_FALSE) {
                slot.close();
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
                *freeSlot = Slot {handle, instance, openChangeSignal(handle)};
                opened = true;
            }
        }
        if (opened) {
            SDL_JoystickUpdate(); // a device opened just now reads its state only from the next update
        }
    }

    bool holdsInstance(SDL_JoystickID instance) const
    {
        return std::any_of(slotTable.begin(), slotTable.end(),
            [instance](const Slot& s) { return s.handle != nullptr && s.instance == instance; });
    }

    SDL_Joystick* device(int id) const { return slotTable[static_cast<std::size_t>(id)].handle; }

    // The open device behind identifier id, after taking in SDL's changes;
    // BadParameters or Unplugged say why there is none. Caller holds mutex.
    JoyResult connected(int id, SDL_Joystick*& handle)
    {
        if (!validId(id)) {
            return JoyResult::BadParameters;
        }
        updateDevices();
        handle = device(id);
        return handle == nullptr ? JoyResult::Unplugged : JoyResult::Ok;
    }

    JoyResult capture(int id, int periodMs, bool changesOnly, CaptureListener& listener, bool waitForDevice)
    {
        {
            const std::lock_guard<std::mutex> lock(mutex);
            SDL_Joystick* handle = nullptr;
            const JoyResult found = connected(id, handle);
            if (found == JoyResult::BadParameters || (found == JoyResult::Unplugged && !waitForDevice)) {
                return found;
            }
            const auto existing = captures.find(id);
            if (existing != captures.end() && existing->second.listener != &listener) {
                return JoyResult::CannotDo;
            }
            const auto period = std::chrono::milliseconds(
                std::clamp(static_cast<std::uint32_t>(std::max(periodMs, 0)), kPeriodMin, kPeriodMax));
            if (existing != captures.end()) {
                // Retimed: its readings and its queued notifications stay, so no change is lost.
                existing->second.period = period;
                existing->second.nextDue = gridPointAfter(Clock::now(), period);
                existing->second.changesOnly = changesOnly;
                startThreadAndRetimeLocked();
                return JoyResult::Ok;
            }
            Capture capture;
            capture.listener = &listener;
            capture.serial = nextSerial++;
            capture.period = period;
            capture.nextDue = gridPointAfter(Clock::now(), period);
            capture.changesOnly = changesOnly;
            if (handle != nullptr) {
                // What is held when the capture starts is no change.
                capture.devicePresent = true;
                capture.instance = slotTable[static_cast<std::size_t>(id)].instance;
                capture.last = readPosition(handle);
                capture.moveReference = capture.last;
            }
            captures[id] = capture;
            startThreadAndRetimeLocked();
        }
        return JoyResult::Ok;
    }

    // Caller holds mutex (which also keeps two callers from starting two threads).
    void startThreadAndRetimeLocked()
    {
        retimeLocked();
        if (!thread.joinable()) {
            thread = std::thread([this] { run(); });
        }
    }

    // The captures changed: the poll thread picks its next deadline again.
    void retimeLocked() { wakePollThread(); }

    // A capture whose device has a change signal is polled when the signal
    // fires, no sooner than one period after its previous poll, rather than
    // every period: a pad nobody touches costs nothing. A capture that is
    // notified of every poll, changed or not, keeps to its grid.
    bool signalDriven(int id, const Capture& capture) const
    {
        const Slot& slot = slotTable[static_cast<std::size_t>(id)];
        return capture.changesOnly && capture.devicePresent && slot.changeFd >= 0 && slot.instance == capture.instance;
    }

    Clock::time_point dueAt(int id, const Capture& capture) const
    {
        if (!capture.devicePresent) {
            // A device SDL already knows of wakes the thread through its event.
            const bool looking = arrivals.fd() < 0 || lookForDeviceAt < lookForDeviceUntil;
            return looking ? lookForDeviceAt : Clock::time_point::max();
        }
        if (signalDriven(id, capture)) {
            return capture.signalled ? capture.lastPolled + capture.period : Clock::time_point::max();
        }
        return capture.nextDue;
    }

    // What the poll thread sleeps on: the wake descriptor first, then the
    // device folder's watch (when there is one), then the change signals of
    // the captured devices that have not fired yet.
    struct WaitPlan {
        Clock::time_point deadline = Clock::time_point::max();
        std::vector<pollfd> fds;
        std::size_t signalsFrom = 1; // fds[signalsFrom + i] belongs to ids[i]
        std::vector<int> ids;
    };

    void planWait(WaitPlan& plan)
    {
        plan.deadline = Clock::time_point::max();
        plan.fds.assign(1, pollfd {wakeFd, POLLIN, 0});
        if (arrivals.fd() >= 0)
            plan.fds.push_back(pollfd {arrivals.fd(), POLLIN, 0});
        plan.signalsFrom = plan.fds.size();
        plan.ids.clear();
        if (wakeFd < 0) {
            // Nothing can wake the thread: it looks at the flags now and then.
            plan.deadline = Clock::now() + kLookForDeviceEvery;
        }
        const std::lock_guard<std::mutex> lock(mutex);
        for (const auto& [id, capture] : captures) {
            plan.deadline = std::min(plan.deadline, dueAt(id, capture));
            if (signalDriven(id, capture) && !capture.signalled) {
                plan.fds.push_back(pollfd {slotTable[static_cast<std::size_t>(id)].changeFd, POLLIN, 0});
                plan.ids.push_back(id);
            }
        }
    }

    // Sleeps until the plan's deadline, a change signal or a wake.
    void waitFor(WaitPlan& plan) const
    {
        timespec timeout {};
        timespec* limit = nullptr;
        if (plan.deadline != Clock::time_point::max()) {
            const auto left = std::max(plan.deadline - Clock::now(), Nanoseconds(0));
            const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
            timeout.tv_sec = static_cast<time_t>(seconds.count());
            timeout.tv_nsec = static_cast<long>((left - seconds).count());
            limit = &timeout;
        }
        if (ppoll(plan.fds.data(), plan.fds.size(), limit, nullptr) > 0 && plan.fds[0].revents != 0) {
            drainChangeSignal(wakeFd);
        }
    }

    // A device file appeared: look for devices a while. Caller holds mutex.
    void takeArrivals(const WaitPlan& plan)
    {
        if (plan.signalsFrom < 2 || plan.fds[1].revents == 0 || !arrivals.drain()) {
            return;
        }
        const Clock::time_point now = Clock::now();
        lookForDeviceAt = now;
        lookForDeviceUntil = now + kLookAfterArrival;
    }

    // Marks the captures whose device signalled a change. A device whose file
    // has gone (unplugged) is polled at its period from now on, until SDL
    // reports it removed. Caller holds mutex.
    void takeSignals(const WaitPlan& plan)
    {
        for (std::size_t i = 0; i < plan.ids.size(); ++i) {
            const pollfd& signal = plan.fds[plan.signalsFrom + i];
            Slot& slot = slotTable[static_cast<std::size_t>(plan.ids[i])];
            if (signal.revents == 0 || slot.changeFd != signal.fd) {
                continue;
            }
            const auto capture = captures.find(plan.ids[i]);
            if ((signal.revents & POLLIN) == 0 || !drainChangeSignal(slot.changeFd)) {
                close(slot.changeFd);
                slot.changeFd = -1;
                if (capture != captures.end()) {
                    capture->second.nextDue = Clock::now();
                }
                continue;
            }
            if (capture != captures.end()) {
                capture->second.signalled = true;
            }
        }
    }

    // The poll thread: sleeps until a capture is due, polls those due, and
    // queues their notifications to the owning thread.
    void run()
    {
        // Wake at the deadline itself rather than up to 50 us after it.
        prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
        prctl(PR_SET_NAME, "joystick poll", 0UL, 0UL, 0UL);
        // SDL keeps per-thread state (the last error message, set for
        // instance when a virtual device has no file) that only its own
        // threads free as they end.
        struct SdlThreadState {
            ~SdlThreadState() { SDL_TLSCleanup(); }
        } const freedAtTheEnd;
        WaitPlan plan;
        for (;;) {
            // Not under wakeMutex: the owning thread takes mutex, then wakeMutex.
            planWait(plan);
            waitFor(plan);
            bool devicesMoved = false;
            {
                const std::lock_guard<std::mutex> lock(wakeMutex);
                if (stopping) {
                    return;
                }
                devicesMoved = devicesChanged;
            }
            std::size_t queued = 0;
            {
                const std::lock_guard<std::mutex> lock(mutex);
                takeArrivals(plan);
                takeSignals(plan);
                queued = pollDue(devicesMoved);
            }
            for (std::size_t i = 0; i < queued; ++i) {
                QMetaObject::invokeMethod(
                    &deliveryContext, [this] { deliverNext(); }, Qt::QueuedConnection);
            }
        }
    }

    // Polls the captures that are due (all of them when everyDevice), after
    // taking in SDL's changes. Returns how many notifications it queued.
    // Caller holds mutex.
    std::size_t pollDue(bool everyDevice)
    {
        const std::size_t before = queue.size();
        const Clock::time_point checkedAt = Clock::now();
        const bool anyDue = std::any_of(captures.begin(), captures.end(),
            [&](const auto& entry) { return dueAt(entry.first, entry.second) <= checkedAt; });
        if (!anyDue && !everyDevice) {
            return 0;
        }
        updateDevices();
        const Clock::time_point now = Clock::now();
        for (auto& [id, capture] : captures) {
            // A device that has signalled is read along with any other poll,
            // even within its period: changes on different pads then reach
            // the listeners in the order the pads are numbered, as when they
            // were all read on one grid.
            const bool due = dueAt(id, capture) <= checkedAt || capture.signalled;
            if (due && !signalDriven(id, capture)) {
                // The next deadline keeps to the capture's own grid; a poll
                // that came late does not pull the later ones with it.
                capture.nextDue += capture.period;
                if (capture.nextDue <= now) {
                    capture.nextDue = gridPointAfter(now, capture.period);
                }
            }
            if (due || everyDevice || !capture.devicePresent) {
                pollCapture(id, capture);
                capture.lastPolled = now;
                capture.signalled = false;
            }
        }
        if (now >= lookForDeviceAt) {
            lookForDeviceAt = now + kLookForDeviceEvery;
        }
        return queue.size() - before;
    }

    void notify(int id, const Capture& capture, Notification::Kind kind, std::uint32_t buttons, const Position& at)
    {
        queue.push_back(Notification {id, capture.serial, kind, buttons, at});
    }

    // Compares one capture's device with its previous reading and queues what
    // changed: presses, then releases, then the move. Caller holds mutex.
    void pollCapture(int id, Capture& capture)
    {
        SDL_Joystick* handle = device(id);
        const bool sameDevice = handle != nullptr && capture.devicePresent
            && capture.instance == slotTable[static_cast<std::size_t>(id)].instance;
        if (capture.devicePresent && !sameDevice) {
            // Unplugged (or replaced within one period): nothing it held may stay down.
            capture.devicePresent = false;
            if (capture.last.buttons != 0) {
                notify(id, capture, Notification::Kind::Released, capture.last.buttons, capture.last);
            }
            if (!atRest(capture.moveReference)) {
                const Position centred {kAxisCentre, kAxisCentre, kAxisCentre, 0};
                notify(id, capture, Notification::Kind::Moved, 0, centred);
                capture.moveReference = centred;
            }
            capture.last = Position {};
        }
        if (handle == nullptr) {
            return;
        }
        const Position now = readPosition(handle);
        if (!capture.devicePresent) {
            // Plugged in: buttons already down are pressed, a stick already
            // pushed has moved.
            capture.devicePresent = true;
            capture.instance = slotTable[static_cast<std::size_t>(id)].instance;
            capture.last = now;
            capture.last.buttons = 0;
            capture.moveReference = atRest(now) ? now : Position {};
        }
        const std::uint32_t pressed = now.buttons & ~capture.last.buttons;
        const std::uint32_t released = capture.last.buttons & ~now.buttons;
        const std::uint32_t threshold = thresholds[static_cast<std::size_t>(id)];
        const bool movedFar = distance(now.x, capture.moveReference.x) > threshold
            || distance(now.y, capture.moveReference.y) > threshold;
        capture.last = now;
        if (movedFar) {
            capture.moveReference = now;
        }
        if (pressed != 0) {
            notify(id, capture, Notification::Kind::Pressed, pressed, now);
        }
        if (released != 0) {
            notify(id, capture, Notification::Kind::Released, released, now);
        }
        if (movedFar || !capture.changesOnly) {
            notify(id, capture, Notification::Kind::Moved, 0, now);
        }
    }

    // On the owning thread: hands the oldest queued notification to its
    // listener, if its capture is still the one that queued it. Returns false
    // when the queue was empty or the services are gone.
    bool deliverNext()
    {
        Notification next;
        CaptureListener* listener = nullptr;
        {
            const std::lock_guard<std::mutex> lock(mutex);
            if (queue.empty()) {
                return false;
            }
            next = queue.front();
            queue.pop_front();
            const auto it = captures.find(next.id);
            if (it != captures.end() && it->second.serial == next.serial) {
                listener = it->second.listener;
            }
        }
        if (listener == nullptr) {
            return true; // released since: its notifications go unsaid
        }
        const std::shared_ptr<bool> token = alive;
        switch (next.kind) {
        case Notification::Kind::Pressed:
            listener->buttonsPressed(next.buttons);
            break;
        case Notification::Kind::Released:
            listener->buttonsReleased(next.buttons);
            break;
        case Notification::Kind::Moved:
            listener->moved(next.at);
            break;
        }
        return *token;
    }

    std::shared_ptr<bool> alive = std::make_shared<bool>(true);
    bool sdlReady = false;

    // Guards the devices, captures, thresholds and the queue, which the poll
    // thread and the owning thread share. Never held while a listener runs.
    std::mutex mutex;
    std::vector<Slot> slotTable;
    std::vector<std::uint32_t> thresholds;
    std::map<int, Capture> captures;
    std::uint64_t nextSerial = 1;
    std::deque<Notification> queue;
    const Clock::time_point epoch = Clock::now();
    Clock::time_point lookForDeviceAt = epoch;
    Clock::time_point lookForDeviceUntil = epoch; // see kLookAfterArrival
    DeviceArrivals arrivals;

    // Readable when the poll thread has something to look at again.
    const int wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    // Guards the flags that wake the poll thread. Taken by SDL's event watch,
    // so it is never held while calling SDL.
    std::mutex wakeMutex;
    bool stopping = false;
    bool devicesChanged = true;

    QObject deliveryContext; // lives on the owning thread; its queued calls die with it
    std::thread thread;
};

SdlJoystickServices::SdlJoystickServices(int supportedDevices, const char* deviceFolder) :
    impl_(std::make_unique<Impl>(std::clamp(supportedDevices, 1, kSupportedDevices), deviceFolder))
{
}

SdlJoystickServices::~SdlJoystickServices() = default;

int SdlJoystickServices::deviceCount() const { return static_cast<int>(impl_->slotTable.size()); }

JoyResult SdlJoystickServices::capabilities(int id, Capabilities& out)
{
    const std::lock_guard<std::mutex> lock(impl_->mutex);
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
    const std::lock_guard<std::mutex> lock(impl_->mutex);
    SDL_Joystick* handle = nullptr;
    if (const JoyResult found = impl_->connected(id, handle); found != JoyResult::Ok) {
        return found;
    }
    out = readPosition(handle);
    return JoyResult::Ok;
}

JoyResult SdlJoystickServices::setCapture(int id, int periodMs, bool changesOnly, CaptureListener& listener)
{
    return impl_->capture(id, periodMs, changesOnly, listener, false);
}

JoyResult SdlJoystickServices::setWaitingCapture(int id, int periodMs, bool changesOnly, CaptureListener& listener)
{
    return impl_->capture(id, periodMs, changesOnly, listener, true);
}

JoyResult SdlJoystickServices::releaseCapture(int id)
{
    if (!impl_->validId(id)) {
        return JoyResult::BadParameters;
    }
    const std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->captures.erase(id);
    impl_->retimeLocked();
    return JoyResult::Ok;
}

JoyResult SdlJoystickServices::threshold(int id, std::uint32_t& out)
{
    if (!impl_->validId(id)) {
        return JoyResult::BadParameters;
    }
    const std::lock_guard<std::mutex> lock(impl_->mutex);
    out = impl_->thresholds[static_cast<std::size_t>(id)];
    return JoyResult::Ok;
}

JoyResult SdlJoystickServices::setThreshold(int id, std::uint32_t threshold)
{
    if (!impl_->validId(id)) {
        return JoyResult::BadParameters;
    }
    const std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->thresholds[static_cast<std::size_t>(id)] = threshold;
    return JoyResult::Ok;
}

void SdlJoystickServices::pollNow()
{
    {
        const std::lock_guard<std::mutex> lock(impl_->mutex);
        impl_->pollDue(true);
    }
    Impl& impl = *impl_;
    // A listener may end the services; deliverNext says so.
    while (impl.deliverNext()) { }
}

} // namespace kelvane::joystick
