// The built module, loaded as a container loads it: registration, class
// objects, unloading, and a control hosted end to end on its real poll timer.

#include "EnvironmentGuard.h"
#include "StavikTestRig.h"
#include "TempFolder.h"

#include "stavik/GuidText.h"
#include "stavik/Ref.h"
#include "stavik/RegistryFile.h"
#include "stavik/host/ControlLocator.h"
#include "stavik/host/ModuleLibrary.h"

#include <QEventLoop>
#include <QTimer>

#include <fstream>
#include <iterator>

using namespace stavik;
using namespace stavik::testing;
using kelvane::joystick::VirtualJoystick;
using stavik::host::ModuleLibrary;
using stavik::host::PropertyValue;

namespace {

std::shared_ptr<ModuleLibrary> loadModule()
{
    std::string error;
    auto module = ModuleLibrary::open(STAVIK_MODULE_PATH, &error);
    EXPECT_TRUE(module) << error;
    return module;
}

class ModuleTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("STAVIK_REGISTRY", registryPath().c_str(), 1); }
    std::filesystem::path registryPath() const { return folder / "components.reg"; }

    EnvironmentGuard registryVariable {"STAVIK_REGISTRY"};
    TempFolder folder;
    std::shared_ptr<ModuleLibrary> module = loadModule();
};

TEST_F(ModuleTest, RegisteringWritesTheClassesAndUnregisteringLeavesNothingBehind)
{
    ASSERT_EQ(module->registerServer(), result::Ok);
    auto registry = RegistryFile::load(registryPath());
    ASSERT_TRUE(registry);
    const std::string control = "CLSID\\" + guidToString(clsid::StavikControl);
    const std::string page = "CLSID\\" + guidToString(clsid::StavikPropertyPage);
    const std::string library = "TypeLib\\" + guidToString(kStavikLibId) + "\\2.0";
    EXPECT_EQ(registry->value("Dorrit.StavikCtrl\\CLSID"), guidToString(clsid::StavikControl));
    EXPECT_EQ(registry->value(control), "Dorrit Stavik Control");
    EXPECT_EQ(registry->value(control + "\\ProgID"), "Dorrit.StavikCtrl");
    EXPECT_EQ(registry->value(control + "\\InprocServer32"), module->path().string());
    EXPECT_EQ(registry->value(control + "\\MiscStatus\\1"), std::to_string(0x20591));
    EXPECT_EQ(registry->value(control + "\\TypeLib"), guidToString(kStavikLibId));
    EXPECT_EQ(registry->value(control + "\\Version"), "2.0");
    EXPECT_TRUE(registry->hasKey(control + "\\Control"));
    EXPECT_EQ(registry->value(control + "\\ToolboxBitmap32"), module->path().string() + ", 1");
    EXPECT_EQ(registry->value(page), "Stavik Property Page");
    EXPECT_EQ(registry->value(page + "\\InprocServer32"), module->path().string());
    EXPECT_EQ(registry->value(library), "StavikLib");
    EXPECT_EQ(registry->value("Interface\\" + guidToString(iid::DStavik)), "_DStavik");
    EXPECT_EQ(registry->value("Interface\\" + guidToString(iid::DStavikEvents)), "_DStavikEvents");

    // A container finds the module by ProgID and by class identifier.
    const auto byName = host::locateClass(registryPath(), "Dorrit.StavikCtrl", {});
    ASSERT_TRUE(byName);
    EXPECT_EQ(byName->library, module->path());
    EXPECT_TRUE(byName->fromRegistry);
    const auto byId = host::locateClass(registryPath(), guidToString(clsid::StavikControl), {});
    ASSERT_TRUE(byId);
    EXPECT_EQ(byId->classId, clsid::StavikControl);

    ASSERT_EQ(module->unregisterServer(), result::Ok);
    registry = RegistryFile::load(registryPath());
    ASSERT_TRUE(registry);
    EXPECT_TRUE(registry->empty()) << registry->text();
    EXPECT_FALSE(host::locateClass(registryPath(), "Dorrit.StavikCtrl", {}));
}

TEST_F(ModuleTest, ARegistryThatCannotTakeTheTypeLibraryRegistersNoClass)
{
    const std::string unreadable = "[CLSID\\{Someone-Else}]\nthis line is not a value\n";
    std::ofstream(registryPath()) << unreadable;
    EXPECT_EQ(module->registerServer(), result::SelfRegTypeLib);
    EXPECT_EQ(static_cast<std::uint32_t>(module->registerServer()), 0x80040200u);
    std::ifstream in(registryPath());
    const std::string after((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(after, unreadable);

    // A registry whose folder cannot exist (its parent is a file) takes nothing either.
    std::ofstream(folder / "plain-file") << "x";
    setenv("STAVIK_REGISTRY", (folder / "plain-file" / "components.reg").c_str(), 1);
    EXPECT_EQ(module->registerServer(), result::SelfRegTypeLib);
    EXPECT_EQ(module->unregisterServer(), result::SelfRegTypeLib);
}

TEST_F(ModuleTest, TheModuleCanUnloadOnlyWithNoObjectsAndNoLocks)
{
    ASSERT_EQ(module->canUnloadNow(), result::Ok);
    IClassFactory* factory = nullptr;
    ASSERT_EQ(module->getClassObject(clsid::StavikControl, iid::ClassFactory, reinterpret_cast<void**>(&factory)),
        result::Ok);
    void* nothing = nullptr;
    EXPECT_EQ(module->getClassObject(iid::Dispatch, iid::ClassFactory, &nothing), result::ClassNotAvailable);
    EXPECT_EQ(
        factory->CreateInstance(reinterpret_cast<IUnknown*>(factory), iid::Unknown, &nothing), result::NoAggregation);

    IUnknown* control = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, iid::Unknown, reinterpret_cast<void**>(&control)), result::Ok);
    IUnknown* page = nullptr;
    ASSERT_EQ(
        module->createInstance(clsid::StavikPropertyPage, iid::Unknown, reinterpret_cast<void**>(&page)), result::Ok);
    EXPECT_EQ(module->canUnloadNow(), result::False);
    ASSERT_EQ(factory->LockServer(true), result::Ok);
    control->Release();
    page->Release();
    EXPECT_EQ(module->canUnloadNow(), result::False);
    ASSERT_EQ(factory->LockServer(false), result::Ok);
    factory->Release();
    EXPECT_EQ(module->canUnloadNow(), result::Ok);
}

TEST_F(ModuleTest, AnUnlockWithoutALockIsRefusedAndNeverLetsALockedModuleUnload)
{
    Ref<IClassFactory> control;
    ASSERT_EQ(module->getClassObject(clsid::StavikControl, iid::ClassFactory, control.receive()), result::Ok);
    Ref<IClassFactory> page;
    ASSERT_EQ(module->getClassObject(clsid::StavikPropertyPage, iid::ClassFactory, page.receive()), result::Ok);

    EXPECT_EQ(control->LockServer(false), result::Unexpected); // stray: nothing to take back
    EXPECT_EQ(module->canUnloadNow(), result::Ok);
    ASSERT_EQ(control->LockServer(true), result::Ok);
    EXPECT_EQ(module->canUnloadNow(), result::False); // the stray unlock did not eat this lock

    // Locks pair up across the module's class objects, and a live object keeps it loaded too.
    ASSERT_EQ(page->LockServer(true), result::Ok);
    Ref<IUnknown> object;
    ASSERT_EQ(control->CreateInstance(nullptr, iid::Unknown, object.receive()), result::Ok);
    EXPECT_EQ(page->LockServer(false), result::Ok);
    EXPECT_EQ(control->LockServer(false), result::Ok);
    EXPECT_EQ(page->LockServer(false), result::Unexpected);
    EXPECT_EQ(module->canUnloadNow(), result::False);
    object.reset();
    EXPECT_EQ(module->canUnloadNow(), result::Ok);
}

std::string contents(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST_F(ModuleTest, RegisteringAndUnregisteringKeepAPersonsCommentsEntriesAndPermissions)
{
    const std::string handWritten = "# Components for the studio machine.\n"
                                    "\n"
                                    "# Keep: the lighting desk's own control.\n"
                                    "[Lights.Desk]\n"
                                    "@ = \"Desk\"\n";
    std::ofstream(registryPath()) << handWritten;
    std::filesystem::permissions(
        registryPath(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    ASSERT_EQ(module->registerServer(), result::Ok) << module->errorText();
    EXPECT_EQ(module->errorText(), "");
    const std::string registered = contents(registryPath());
    EXPECT_EQ(registered.rfind(handWritten.substr(0, handWritten.find("# Keep")), 0), 0u) << registered;
    EXPECT_NE(registered.find("# Keep: the lighting desk's own control.\n[Lights.Desk]\n"), std::string::npos);
    ASSERT_EQ(module->registerServer(), result::Ok); // again: the same file
    EXPECT_EQ(contents(registryPath()), registered);

    ASSERT_EQ(module->unregisterServer(), result::Ok);
    EXPECT_EQ(contents(registryPath()), handWritten);
    EXPECT_EQ(std::filesystem::status(registryPath()).permissions() & std::filesystem::perms::mask,
        std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST_F(ModuleTest, ARegistryThatCannotBeWrittenIsLeftUntouchedAndTheModuleSaysWhy)
{
    const std::string before = "[Lights.Desk]\n@ = \"Desk\"\n";
    std::ofstream(registryPath()) << before;
    std::filesystem::permissions(registryPath(), std::filesystem::perms::owner_read);
    EXPECT_EQ(module->registerServer(), result::SelfRegTypeLib);
    EXPECT_EQ(
        module->errorText(), "cannot write " + registryPath().string() + ": permission denied (the file is read-only)");
    EXPECT_EQ(module->unregisterServer(), result::SelfRegTypeLib);
    EXPECT_EQ(contents(registryPath()), before);

    std::filesystem::permissions(
        registryPath(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    std::ofstream(registryPath(), std::ios::app) << "not a value\n";
    EXPECT_EQ(module->registerServer(), result::SelfRegTypeLib);
    EXPECT_EQ(module->errorText(),
        registryPath().string() + ": line 3: malformed line (neither a key, a value nor a comment)");

    setenv("STAVIK_REGISTRY", folder.path().c_str(), 1);
    EXPECT_EQ(module->registerServer(), result::SelfRegTypeLib);
    EXPECT_EQ(module->errorText(), folder.path().string() + " is a folder, not a registry file");

    setenv("STAVIK_REGISTRY", (folder / "elsewhere.reg").c_str(), 1);
    ASSERT_EQ(module->registerServer(), result::Ok);
    EXPECT_EQ(module->errorText(), ""); // a success clears the last reason
}

// Records events and ends a waiting event loop once enough have come.
class WaitingEvents : public RecordingEvents {
public:
    void buttonDown(int button) override
    {
        RecordingEvents::buttonDown(button);
        arrived();
    }
    void buttonUp(int button) override
    {
        RecordingEvents::buttonUp(button);
        arrived();
    }
    void move(int x, int y, int z) override
    {
        RecordingEvents::move(x, y, z);
        arrived();
    }

    // Runs the event loop until count events are recorded, for at most five seconds.
    bool waitFor(std::size_t count)
    {
        if (log.size() < count) {
            QEventLoop loop;
            wanted_ = count;
            loop_ = &loop;
            QTimer::singleShot(5000, &loop, &QEventLoop::quit);
            loop.exec();
            loop_ = nullptr;
        }
        return log.size() >= count;
    }

private:
    void arrived()
    {
        if (loop_ != nullptr && log.size() >= wanted_) {
            loop_->quit();
        }
    }
    QEventLoop* loop_ = nullptr;
    std::size_t wanted_ = 0;
};

TEST_F(ModuleTest, AHostedControlReportsAJoystickThroughItsOwnPollTimer)
{
    VirtualJoystick first(pad("Foot Pad"));
    auto control = host::StavikControl::create(module, clsid::StavikControl, /*userMode*/ true);
    ASSERT_TRUE(control);
    // Stavik1 as the main window stores it: Port 0, Threshold 0, Period 0, Enabled.
    const std::vector<std::uint8_t> stavik1 {0x00, 0x00, 0x02, 0x00, 0x4F, 0x03, 0x00, 0x00, 0x4F, 0x03, 0x00, 0x00,
        0x40, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    ASSERT_EQ(control->load(stavik1), result::Ok);
    WaitingEvents events;
    ASSERT_EQ(control->connect(events), result::Ok);
    ASSERT_EQ(control->setEnabled(true), result::Ok);

    PropertyValue name;
    ASSERT_EQ(control->get(toDispId(StavikProperty::ProductName), name), result::Ok);
    EXPECT_EQ(name, PropertyValue {std::string("Foot Pad")});

    first.setButton(1, true);
    ASSERT_TRUE(events.waitFor(1));
    first.setButton(1, false);
    ASSERT_TRUE(events.waitFor(2));
    EXPECT_EQ(events.log, (Lines {"ButtonDown 1", "ButtonUp 1"}));

    control->setEnabled(false);
    control.reset();
    EXPECT_EQ(module->canUnloadNow(), result::Ok);
}

} // namespace
