// The SDL joystick services on their own: identifiers that stay put, the
// capture's refusals, and notifications as a listener receives them.

#include "kelvane/joystick/SdlJoystickServices.h"
#include "kelvane/joystick/VirtualJoystick.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <dirent.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace kelvane::joystick;

namespace {

class RecordingListener final : public CaptureListener {
public:
    void buttonsPressed(std::uint32_t changed) override { log.push_back("pressed " + std::to_string(changed)); }
    void buttonsReleased(std::uint32_t changed) override { log.push_back("released " + std::to_string(changed)); }
    void moved(const Position& at) override
    {
        log.push_back("moved " + std::to_string(at.x) + " " + std::to_string(at.y) + " " + std::to_string(at.z));
    }
    std::vector<std::string> log;
};

VirtualJoystick::Description named(const char* name)
{
    VirtualJoystick::Description d;
    d.name = name;
    return d;
}

std::string productName(SdlJoystickServices& services, int id)
{
    Capabilities caps;
    return services.capabilities(id, caps) == JoyResult::Ok ? caps.productName : "<none>";
}

TEST(JoystickServicesTest, AJoystickKeepsItsIdentifierWhenAnEarlierOneIsUnplugged)
{
    VirtualJoystick first(named("First"));
    VirtualJoystick second(named("Second"));
    SdlJoystickServices services;
    EXPECT_EQ(productName(services, 0), "First");
    EXPECT_EQ(productName(services, 1), "Second");

    first.unplug();
    EXPECT_EQ(productName(services, 0), "<none>");
    EXPECT_EQ(productName(services, 1), "Second");
    Position at;
    EXPECT_EQ(services.position(0, at), JoyResult::Unplugged);

    VirtualJoystick third(named("Third")); // takes the lowest free identifier
    EXPECT_EQ(productName(services, 0), "Third");
    EXPECT_EQ(productName(services, 1), "Second");
}

TEST(JoystickServicesTest, CapturesAreRefusedForBadIdentifiersMissingDevicesAndOtherListeners)
{
    VirtualJoystick pad;
    SdlJoystickServices services;
    RecordingListener one;
    RecordingListener other;
    EXPECT_EQ(services.setCapture(16, 1, true, one), JoyResult::BadParameters);
    EXPECT_EQ(services.setCapture(-1, 1, true, one), JoyResult::BadParameters);
    EXPECT_EQ(services.setCapture(1, 1, true, one), JoyResult::Unplugged);
    EXPECT_EQ(services.setCapture(0, 0, true, one), JoyResult::Ok); // period 0 polls at the shortest period
    EXPECT_EQ(services.setCapture(0, 1, true, other), JoyResult::CannotDo);
    EXPECT_EQ(services.setCapture(0, 5, true, one), JoyResult::Ok);
    EXPECT_EQ(services.releaseCapture(0), JoyResult::Ok);
    EXPECT_EQ(services.setCapture(0, 1, true, other), JoyResult::Ok);
}

TEST(JoystickServicesTest, APollNotifiesPressesThenReleasesThenTheMove)
{
    VirtualJoystick pad;
    SdlJoystickServices services;
    RecordingListener listener;
    pad.setButton(2, true);
    ASSERT_EQ(services.setCapture(0, 1, true, listener), JoyResult::Ok);
    services.pollNow();
    EXPECT_TRUE(listener.log.empty()); // what is held at the start is no change

    pad.setButton(2, false);
    pad.setButton(1, true);
    pad.setButton(4, true);
    pad.setAxis(0, 100);
    pad.setAxis(2, 200);
    services.pollNow();
    pad.setAxis(2, 300); // Z alone
    services.pollNow();
    EXPECT_EQ(listener.log, (std::vector<std::string> {"pressed 9", "released 2", "moved 100 32768 200"}));
}

TEST(JoystickServicesTest, TheThresholdIsHeldPerIdentifierAndMeasuredFromTheLastMoveNotified)
{
    VirtualJoystick pad;
    SdlJoystickServices services;
    RecordingListener listener;
    ASSERT_EQ(services.setThreshold(0, 100), JoyResult::Ok);
    std::uint32_t threshold = 0;
    ASSERT_EQ(services.threshold(0, threshold), JoyResult::Ok);
    EXPECT_EQ(threshold, 100u);
    ASSERT_EQ(services.threshold(1, threshold), JoyResult::Ok);
    EXPECT_EQ(threshold, 0u);
    EXPECT_EQ(services.setThreshold(16, 1), JoyResult::BadParameters);

    ASSERT_EQ(services.setCapture(0, 1, true, listener), JoyResult::Ok);
    // Creeping by 60 at a time: each step is within the threshold, two together are not.
    pad.setAxis(1, 32768 + 60);
    services.pollNow();
    pad.setAxis(1, 32768 + 120);
    services.pollNow();
    pad.setAxis(1, 32768 + 180);
    services.pollNow();
    EXPECT_EQ(listener.log, (std::vector<std::string> {"moved 32768 32888 32768"}));
}

TEST(JoystickServicesTest, ADeviceWithoutAxesReadsCentredSoItNeverLooksPushed)
{
    VirtualJoystick::Description buttonsOnly = named("Buttons Only");
    buttonsOnly.axes = 0;
    VirtualJoystick mat(buttonsOnly);
    SdlJoystickServices services;
    Position at;
    ASSERT_EQ(services.position(0, at), JoyResult::Ok);
    EXPECT_EQ(at, (Position {kAxisCentre, kAxisCentre, kAxisCentre, 0}));
}

} // namespace

namespace {

// Runs the event loop until the listener has count notifications; false after two seconds.
bool deliveredByTheEventLoop(const RecordingListener& listener, std::size_t count)
{
    QElapsedTimer clock;
    clock.start();
    while (listener.log.size() < count && clock.elapsed() < 2000) {
        QEventLoop wait;
        QTimer::singleShot(1, &wait, &QEventLoop::quit);
        wait.exec();
    }
    return listener.log.size() >= count;
}

TEST(JoystickServicesThreadTest, NotificationsArriveThroughTheEventLoopInOrderAlsoInsideANestedLoop)
{
    VirtualJoystick pad;
    SdlJoystickServices services;
    // A listener whose first notification runs a nested loop (as a modal box
    // does) in which the pad is released and pushed.
    class NestingListener final : public CaptureListener {
    public:
        explicit NestingListener(VirtualJoystick& pad) : pad_(pad) { }
        void buttonsPressed(std::uint32_t changed) override
        {
            inner.log.push_back("pressed " + std::to_string(changed));
            pad_.setButton(1, false);
            pad_.setAxis(0, 0);
            EXPECT_TRUE(deliveredByTheEventLoop(inner, 3)) << "nothing came while the nested loop ran";
        }
        void buttonsReleased(std::uint32_t changed) override { inner.buttonsReleased(changed); }
        void moved(const Position& at) override { inner.moved(at); }
        RecordingListener inner;

    private:
        VirtualJoystick& pad_;
    } listener(pad);
    ASSERT_EQ(services.setCapture(0, 0, true, listener), JoyResult::Ok); // period 0: the smallest
    pad.setButton(1, true);
    ASSERT_TRUE(deliveredByTheEventLoop(listener.inner, 3));
    EXPECT_EQ(listener.inner.log, (std::vector<std::string> {"pressed 1", "released 1", "moved 0 32768 32768"}));
}

TEST(JoystickServicesThreadTest, AWaitingCaptureTakesTheDevicePluggedInLaterWithWhatItHolds)
{
    SdlJoystickServices services;
    RecordingListener listener;
    EXPECT_EQ(services.setCapture(0, 1, true, listener), JoyResult::Unplugged);
    ASSERT_EQ(services.setWaitingCapture(0, 1, true, listener), JoyResult::Ok);
    VirtualJoystick pad;
    pad.setButton(3, true);
    pad.setAxis(1, 0);
    ASSERT_TRUE(deliveredByTheEventLoop(listener, 2));
    EXPECT_EQ(listener.log, (std::vector<std::string> {"pressed 4", "moved 32768 0 32768"}));

    listener.log.clear();
    pad.unplug(); // held: button 3, the stick forward
    ASSERT_TRUE(deliveredByTheEventLoop(listener, 2));
    EXPECT_EQ(listener.log, (std::vector<std::string> {"released 4", "moved 32767 32767 32767"}));
}

TEST(JoystickServicesThreadTest, APadWithAHatAndNoStickReportsTheHatOnXAndY)
{
    VirtualJoystick::Description matOnly = named("Dance Mat");
    matOnly.axes = 0;
    matOnly.hats = 1;
    VirtualJoystick mat(matOnly);
    VirtualJoystick::Description withStick = named("Stick And Hat");
    withStick.hats = 1;
    VirtualJoystick stick(withStick);
    SdlJoystickServices services;
    mat.setHat(0, VirtualJoystick::kHatRight | VirtualJoystick::kHatUp);
    stick.setHat(0, VirtualJoystick::kHatLeft);
    services.pollNow();
    Position at;
    ASSERT_EQ(services.position(0, at), JoyResult::Ok);
    EXPECT_EQ(at, (Position {65535, 0, kAxisCentre, 0}));
    ASSERT_EQ(services.position(1, at), JoyResult::Ok);
    EXPECT_EQ(at.x, 32768u) << "a device with a stick keeps its stick";
}

// Times the poll thread has gone to sleep and been woken since it started.
long pollThreadWakes()
{
    DIR* tasks = opendir("/proc/self/task");
    if (!tasks)
        return -1;
    long wakes = -1;
    while (const dirent* task = readdir(tasks)) {
        const std::string folder = std::string("/proc/self/task/") + task->d_name;
        std::ifstream comm(folder + "/comm");
        std::string name;
        if (!std::getline(comm, name) || name != "joystick poll")
            continue;
        std::ifstream status(folder + "/status");
        for (std::string line; std::getline(status, line);)
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0)
                wakes = std::stol(line.substr(line.find(':') + 1));
    }
    closedir(tasks);
    return wakes;
}

void runEventLoopFor(int milliseconds)
{
    QEventLoop wait;
    QTimer::singleShot(milliseconds, &wait, &QEventLoop::quit);
    wait.exec();
}

TEST(JoystickServicesThreadTest, PadsNobodyTouchesWakeNothingAndAPressWakesThePollAtOnce)
{
    VirtualJoystick first(named("Left Mat"));
    VirtualJoystick second(named("Right Mat"));
    SdlJoystickServices services;
    RecordingListener left;
    RecordingListener right;
    ASSERT_EQ(services.setCapture(0, 1, true, left), JoyResult::Ok);
    ASSERT_EQ(services.setCapture(1, 1, true, right), JoyResult::Ok);
    runEventLoopFor(20); // the thread starts and settles
    const long settled = pollThreadWakes();
    ASSERT_GE(settled, 0) << "no poll thread";
    runEventLoopFor(300); // 300 periods of 1 ms
    EXPECT_LT(pollThreadWakes() - settled, 10) << "idle pads kept the poll thread waking";

    second.setButton(2, true);
    ASSERT_TRUE(deliveredByTheEventLoop(right, 1));
    EXPECT_EQ(right.log, (std::vector<std::string> {"pressed 2"}));
    EXPECT_TRUE(left.log.empty());
}

TEST(JoystickServicesThreadTest, ACaptureWaitingForItsDeviceSleepsUntilADeviceFileAppears)
{
    // A device folder of the test's own, not there yet: its parent is watched.
    const std::string parent = "/tmp/kelvane-devices-" + std::to_string(getpid());
    const std::string folder = parent + "/input";
    std::filesystem::remove_all(parent);
    std::filesystem::create_directories(parent);
    {
        SdlJoystickServices services(SdlJoystickServices::kSupportedDevices, folder.c_str());
        RecordingListener listener;
        ASSERT_EQ(services.setWaitingCapture(0, 1, true, listener), JoyResult::Ok);
        runEventLoopFor(20);
        const long settled = pollThreadWakes();
        ASSERT_GE(settled, 0) << "no poll thread";
        runEventLoopFor(400);
        EXPECT_LT(pollThreadWakes() - settled, 3) << "a capture without its device kept the poll thread waking";

        // The folder appears, then a device file in it: the thread looks
        // for the device every 50 ms for a while, then sleeps again.
        std::filesystem::create_directories(folder);
        std::ofstream(folder + "/event7").put('x');
        const long beforeArrival = pollThreadWakes();
        runEventLoopFor(400);
        EXPECT_GE(pollThreadWakes() - beforeArrival, 4) << "the new device file was not looked at";

        VirtualJoystick pad; // SDL tells of a device it knows at once
        pad.setButton(1, true);
        ASSERT_TRUE(deliveredByTheEventLoop(listener, 1));
        EXPECT_EQ(listener.log.front(), "pressed 1");
    }
    std::filesystem::remove_all(parent);
}

TEST(JoystickServicesThreadTest, ADeviceThatDoesNotSayWhenItChangesIsPolledEveryPeriod)
{
    VirtualJoystick::Description silent = named("Old Pad");
    silent.announcesChanges = false;
    VirtualJoystick pad(silent);
    SdlJoystickServices services;
    RecordingListener listener;
    ASSERT_EQ(services.setCapture(0, 1, true, listener), JoyResult::Ok);
    runEventLoopFor(20);
    const long settled = pollThreadWakes();
    runEventLoopFor(100);
    EXPECT_GT(pollThreadWakes() - settled, 20) << "polled every 1 ms period";

    pad.setButton(1, true);
    pad.setAxis(0, 0);
    ASSERT_TRUE(deliveredByTheEventLoop(listener, 2));
    EXPECT_EQ(listener.log, (std::vector<std::string> {"pressed 1", "moved 0 32768 32768"}));
}

TEST(JoystickServicesThreadTest, ChangesOnTwoPadsArriveInPadOrderWhenOneIsHeldBackByItsPeriod)
{
    VirtualJoystick first(named("Left Mat"));
    VirtualJoystick second(named("Right Mat"));
    SdlJoystickServices services;
    // One log for both pads, so the order between them shows.
    class SharedLog final : public CaptureListener {
    public:
        SharedLog(std::vector<std::string>& log, std::string pad) : log_(log), pad_(std::move(pad)) { }
        void buttonsPressed(std::uint32_t changed) override
        {
            log_.push_back(pad_ + " pressed " + std::to_string(changed));
        }
        void buttonsReleased(std::uint32_t changed) override
        {
            log_.push_back(pad_ + " released " + std::to_string(changed));
        }
        void moved(const Position&) override { }

    private:
        std::vector<std::string>& log_;
        std::string pad_;
    };
    RecordingListener both;
    SharedLog left(both.log, "left");
    SharedLog right(both.log, "right");
    ASSERT_EQ(services.setCapture(0, 50, true, left), JoyResult::Ok);
    ASSERT_EQ(services.setCapture(1, 50, true, right), JoyResult::Ok);
    first.setButton(1, true);
    ASSERT_TRUE(deliveredByTheEventLoop(both, 1));
    // The left pad was just read: its release waits for its 50 ms period,
    // while the right pad, not read for longer, could be read at once.
    first.setButton(1, false);
    second.setButton(1, true);
    ASSERT_TRUE(deliveredByTheEventLoop(both, 3));
    EXPECT_EQ(both.log, (std::vector<std::string> {"left pressed 1", "left released 1", "right pressed 1"}));
}

} // namespace
