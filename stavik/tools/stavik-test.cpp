// stavik-test: a container for the joystick control, to check a joystick,
// dance mat or foot pad. It creates the control through the component runtime,
// prints every event the control raises on standard output, one per line, and
// can show the control's properties, persisted state, property page and About box.
//
// The module is found in the registry (by ProgID or class identifier), else
// beside this program: in its folder or in ../lib (build tree and installed
// bin/ + lib/ layouts), as libstavik32.so.2 or libstavik32.so.
//
// Without a display it runs with Qt's offscreen platform.

#include "EventPrinter.h"
#include "SimulatedJoystick.h"

#include "stavik/GuidText.h"
#include "stavik/RegistryFile.h"
#include "stavik/TypeLibrary.h"
#include "stavik/host/ControlLocator.h"
#include "stavik/host/ModuleLibrary.h"
#include "stavik/host/PropertyFrame.h"
#include "stavik/host/StavikControl.h"

#include "kelvane/files/SafeWrite.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QSocketNotifier>
#include <QTimer>

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage
    = "usage: stavik-test [options]\n"
      "  --progid NAME       class to create (default Dorrit.StavikCtrl)\n"
      "  --clsid {GUID}      class to create, by identifier\n"
      "  --registry FILE     registry to look the class up in\n"
      "  --library FILE      module to load, skipping the look-up\n"
      "  --design            design mode (default: run mode)\n"
      "  --port N            joystick identifier to watch\n"
      "  --load FILE         load the persisted state (29 bytes) from FILE; the control is\n"
      "                      enabled as the state says\n"
      "  --save FILE         save the persisted state to FILE (with --load alone: the same bytes)\n"
      "  --enable            enable the control (run mode) whatever the loaded state says\n"
      "  --props             print the properties\n"
      "  --draw FILE         draw the control into a PNG (design mode)\n"
      "  --draw-size WxH     size to draw at (default 32x32)\n"
      "  --property-page     show the property page\n"
      "  --about             show the About box\n"
      "  --simulate          attach a virtual joystick on the port, driven from standard input:\n"
      "                      button N down|up, axis x|y|z VALUE (0..65535), unplug, plug, quit\n"
      "  --watch             keep printing events after one-shot actions\n"
      "Events print as \"ButtonDown 1\", \"ButtonUp 1\", \"Move X Y Z\". Type quit (or end the input) to stop.\n";

struct Options {
    std::string className = stavik::kStavikProgId;
    std::string registry;
    std::string library;
    bool design = false;
    std::optional<int> port;
    std::string load;
    std::string save;
    bool props = false;
    std::string draw;
    int drawWidth = 32;
    int drawHeight = 32;
    bool propertyPage = false;
    bool about = false;
    bool simulate = false;
    bool watch = false;
    bool enable = false;

    bool oneShot() const { return props || !save.empty() || !draw.empty() || propertyPage || about; }
};

bool parseInt(const std::string& text, int& value)
{
    const auto [at, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc {} && at == text.data() + text.size() && !text.empty();
}

std::optional<Options> parseOptions(int argc, char** argv)
{
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto next = [&]() -> std::optional<std::string> {
            if (i + 1 >= argc) {
                return std::nullopt;
            }
            return std::string(argv[++i]);
        };
        std::optional<std::string> value;
        if (arg == "--design") {
            o.design = true;
        } else if (arg == "--props") {
            o.props = true;
        } else if (arg == "--property-page") {
            o.propertyPage = true;
        } else if (arg == "--about") {
            o.about = true;
        } else if (arg == "--simulate") {
            o.simulate = true;
        } else if (arg == "--watch") {
            o.watch = true;
        } else if (arg == "--enable") {
            o.enable = true;
        } else if (arg == "--progid" || arg == "--clsid") {
            if (!(value = next())) {
                return std::nullopt;
            }
            o.className = *value;
        } else if (arg == "--registry") {
            if (!(value = next())) {
                return std::nullopt;
            }
            o.registry = *value;
        } else if (arg == "--library") {
            if (!(value = next())) {
                return std::nullopt;
            }
            o.library = *value;
        } else if (arg == "--port") {
            int port = 0;
            if (!(value = next()) || !parseInt(*value, port)) {
                return std::nullopt;
            }
            o.port = port;
        } else if (arg == "--load") {
            if (!(value = next())) {
                return std::nullopt;
            }
            o.load = *value;
        } else if (arg == "--save") {
            if (!(value = next())) {
                return std::nullopt;
            }
            o.save = *value;
        } else if (arg == "--draw") {
            if (!(value = next())) {
                return std::nullopt;
            }
            o.draw = *value;
        } else if (arg == "--draw-size") {
            const auto size = next();
            const auto x = size ? size->find('x') : std::string::npos;
            if (x == std::string::npos || !parseInt(size->substr(0, x), o.drawWidth)
                || !parseInt(size->substr(x + 1), o.drawHeight) || o.drawWidth <= 0 || o.drawHeight <= 0) {
                return std::nullopt;
            }
        } else {
            return std::nullopt;
        }
    }
    return o;
}

std::string describeError(stavik::HResult hr)
{
    char text[64];
    if (const int number = stavik::controlErrorNumber(hr)) {
        std::snprintf(text, sizeof text, "error %d", number);
    } else {
        std::snprintf(text, sizeof text, "failed 0x%08X", static_cast<unsigned>(hr));
    }
    return text;
}

void printProperties(stavik::host::StavikControl& control)
{
    for (const auto& property : stavik::kStavikProperties) {
        stavik::host::PropertyValue value;
        const std::string name(property.name);
        const stavik::HResult hr = control.get(property.id, value);
        if (stavik::succeeded(hr)) {
            std::printf("%s = %s\n", name.c_str(), stavik::host::toText(value).c_str());
        } else {
            std::printf("%s: %s\n", name.c_str(), describeError(hr).c_str());
        }
    }
    std::fflush(stdout);
}

bool readFile(const std::string& path, std::vector<std::uint8_t>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

// Saves through the program's one file writer: the file on disk is the old
// one or the new one, whole. Answers why not, or nothing.
std::optional<std::string> writeFile(const std::string& path, std::span<const std::uint8_t> bytes)
{
    const kelvane::files::WriteResult result = kelvane::files::writeFileSafely(path, bytes);
    if (result.ok()) {
        return std::nullopt;
    }
    return result.message();
}

// Reads standard input line by line without blocking the event loop and
// hands the lines out at a steady pace, so that each command is seen by at
// least one poll of the control before the next one changes the joystick.
class CommandFeed {
public:
    CommandFeed(int paceMs, std::function<bool(const std::string&)> handle) :
        handle_(std::move(handle)), notifier_(STDIN_FILENO, QSocketNotifier::Read)
    {
        QObject::connect(&notifier_, &QSocketNotifier::activated, &notifier_, [this] { readInput(); });
        pace_.setInterval(paceMs);
        QObject::connect(&pace_, &QTimer::timeout, &pace_, [this] { step(); });
        pace_.start();
    }

private:
    void readInput()
    {
        char buffer[4096];
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got <= 0) {
            notifier_.setEnabled(false);
            ended_ = true;
            if (!partial_.empty()) {
                lines_.push_back(partial_);
                partial_.clear();
            }
            return;
        }
        partial_.append(buffer, static_cast<std::size_t>(got));
        std::size_t newline;
        while ((newline = partial_.find('\n')) != std::string::npos) {
            lines_.push_back(partial_.substr(0, newline));
            partial_.erase(0, newline + 1);
        }
    }

    void step()
    {
        if (!lines_.empty()) {
            const std::string line = lines_.front();
            lines_.pop_front();
            if (!handle_(line)) {
                QApplication::quit();
            }
        } else if (ended_) {
            QApplication::quit(); // a pace after the last command, so its events are out
        }
    }

    std::function<bool(const std::string&)> handle_;
    QSocketNotifier notifier_;
    QTimer pace_;
    std::deque<std::string> lines_;
    std::string partial_;
    bool ended_ = false;
};

constexpr int kMinimumPaceMs = 10;

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const auto options = parseOptions(argc, argv);
    if (!options) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const Options& o = *options;

    std::unique_ptr<SimulatedJoystick> simulated;
    if (o.simulate) {
        simulated = std::make_unique<SimulatedJoystick>(o.port.value_or(0));
        if (simulated->port() != o.port.value_or(0)) {
            std::fprintf(stderr,
                "stavik-test: identifier %d is held by a connected device; "
                "the simulated joystick is on identifier %d\n",
                o.port.value_or(0), simulated->port());
        }
    }

    // Find and load the module.
    std::filesystem::path libraryPath;
    stavik::Guid classId = stavik::clsid::StavikControl;
    if (!o.library.empty()) {
        libraryPath = std::filesystem::absolute(o.library);
        if (const auto id = stavik::guidFromString(o.className)) {
            classId = *id;
        }
    } else {
        const auto registry = o.registry.empty()
            ? stavik::defaultRegistryPath([](const char* name) -> const char* { return std::getenv(name); })
            : std::filesystem::path(o.registry);
        std::string why;
        const auto location = stavik::host::locateClass(
            registry, o.className, stavik::host::librariesBeside(stavik::host::programDirectory()), &why);
        if (!location) {
            std::fprintf(stderr, "stavik-test: cannot find %s: %s\n", o.className.c_str(), why.c_str());
            return 1;
        }
        libraryPath = location->library;
        classId = location->classId;
        std::fprintf(stderr, "stavik-test: %s from %s (%s)\n", o.className.c_str(), libraryPath.c_str(),
            location->fromRegistry ? "registry" : "beside the program");
    }
    std::string error;
    const auto module = stavik::host::ModuleLibrary::open(libraryPath, &error);
    if (!module) {
        std::fprintf(stderr, "stavik-test: %s\n", error.c_str());
        return 1;
    }
    stavik::HResult hr = stavik::result::Ok;
    auto control = stavik::host::StavikControl::create(module, classId, !o.design, &hr);
    if (!control) {
        std::fprintf(stderr, "stavik-test: cannot create the control: %s\n", describeError(hr).c_str());
        return 1;
    }

    // Initialise, from a saved state or new.
    if (!o.load.empty()) {
        std::vector<std::uint8_t> state;
        if (!readFile(o.load, state)) {
            std::fprintf(stderr, "stavik-test: cannot read %s\n", o.load.c_str());
            return 1;
        }
        hr = control->load(state);
        if (stavik::failed(hr)) {
            std::fprintf(stderr, "stavik-test: %s is not a saved control state (%s)\n", o.load.c_str(),
                describeError(hr).c_str());
            return 1;
        }
    } else {
        control->initNew();
    }

    EventPrinter printer(stdout);
    control->connect(printer);
    // A new control is enabled; a loaded one as its state says, unless --enable.
    stavik::host::PropertyValue enabled {false};
    const bool wasEnabled
        = stavik::succeeded(control->get(stavik::dispid::Enabled, enabled)) && std::get<bool>(enabled);
    if (o.port || o.simulate) {
        const int port = simulated ? simulated->port() : *o.port;
        control->put("Port", stavik::host::PropertyValue {port});
        if (!o.design && wasEnabled) {
            // A capture stays on the joystick it started on; restart it on the new one.
            control->setEnabled(false);
            control->setEnabled(true);
        }
    }
    if (!o.design && o.enable && !wasEnabled) {
        control->setEnabled(true);
    }

    if (o.props) {
        printProperties(*control);
    }
    if (!o.save.empty()) {
        std::vector<std::uint8_t> state;
        hr = control->save(state);
        if (stavik::failed(hr)) {
            std::fprintf(stderr, "stavik-test: cannot save to %s\n", o.save.c_str());
            return 1;
        }
        if (const auto why = writeFile(o.save, state)) {
            std::fprintf(stderr, "stavik-test: cannot save to %s: %s\n", o.save.c_str(), why->c_str());
            return 1;
        }
    }
    if (!o.draw.empty()) {
        std::vector<std::uint32_t> pixels;
        hr = control->draw(o.drawWidth, o.drawHeight, pixels);
        if (hr != stavik::result::Ok) {
            std::fprintf(stderr, "stavik-test: the control draws itself in design mode only (--design)\n");
            return 1;
        }
        const QImage image(reinterpret_cast<const uchar*>(pixels.data()), o.drawWidth, o.drawHeight, o.drawWidth * 4,
            QImage::Format_ARGB32);
        QByteArray png;
        QBuffer encoded(&png);
        if (!encoded.open(QIODevice::WriteOnly) || !image.save(&encoded, "PNG")) {
            std::fprintf(stderr, "stavik-test: cannot write %s\n", o.draw.c_str());
            return 1;
        }
        const auto* data = reinterpret_cast<const std::uint8_t*>(png.constData());
        if (const auto why = writeFile(o.draw, {data, static_cast<std::size_t>(png.size())})) {
            std::fprintf(stderr, "stavik-test: cannot write %s: %s\n", o.draw.c_str(), why->c_str());
            return 1;
        }
    }
    if (o.propertyPage) {
        stavik::host::showPropertyFrame(*control, "Stavik Control Properties");
    }
    if (o.about) {
        control->aboutBox();
    }
    if (o.oneShot() && !o.watch && !o.simulate) {
        return 0;
    }

    stavik::host::PropertyValue period;
    const int periodMs
        = stavik::succeeded(control->get("Period", period)) ? std::stoi(stavik::host::toText(period)) : 1;
    const int pace = std::max(kMinimumPaceMs, 2 * periodMs);
    CommandFeed feed(pace, [&](const std::string& line) {
        if (!simulated) {
            return line.find("quit") == std::string::npos;
        }
        std::string message;
        const auto outcome = simulated->apply(line, message);
        if (outcome == SimulatedJoystick::Outcome::Refused) {
            std::fprintf(stderr, "stavik-test: %s: %s\n", line.c_str(), message.c_str());
        }
        return outcome != SimulatedJoystick::Outcome::Quit;
    });
    const int status = app.exec();
    control->setEnabled(false);
    return status;
}
