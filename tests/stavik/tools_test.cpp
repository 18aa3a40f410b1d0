// The two programs as a user runs them: stavik-test --simulate from device to
// printed event, its saved state, and stavik-register's printed result and
// reasons, also with two of them at once.

#include "TempFolder.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

using stavik::testing::TempFolder;

namespace {

// Reads a running program's output line by line, waiting for each.
class Session {
public:
    Session(const QString& program, const QStringList& arguments, const std::filesystem::path& registry)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("STAVIK_REGISTRY", QString::fromStdString(registry.string()));
        process_.setProcessEnvironment(environment);
        process_.start(program, arguments);
    }

    ~Session()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }

    void send(const char* line) { process_.write(QByteArray(line) + '\n'); }

    // The next line printed, or "<nothing>" when none comes within five seconds.
    std::string nextLine()
    {
        while (!process_.canReadLine()) {
            if (!process_.waitForReadyRead(5000)) {
                return "<nothing>";
            }
        }
        return process_.readLine().trimmed().toStdString();
    }

    int finish()
    {
        process_.closeWriteChannel();
        process_.waitForFinished(10000);
        rest_ = process_.readAllStandardOutput().toStdString();
        return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
    }

    const std::string& rest() const { return rest_; }

private:
    QProcess process_;
    std::string rest_;
};

TEST(ToolsTest, TheTestContainerPrintsEveryEventOfASimulatedJoystick)
{
    TempFolder folder;
    // No registry entry: the container finds the module beside itself.
    Session tool(STAVIK_TEST_TOOL, {"--simulate", "--port", "1"}, folder / "empty.reg");

    tool.send("button 1 down");
    EXPECT_EQ(tool.nextLine(), "ButtonDown 1");
    tool.send("axis z 1000"); // Z alone says nothing; the X move then shows it
    tool.send("axis x 0");
    EXPECT_EQ(tool.nextLine(), "Move 0 32768 1000");
    tool.send("unplug");
    EXPECT_EQ(tool.nextLine(), "ButtonUp 1");
    EXPECT_EQ(tool.nextLine(), "Move 32767 32767 32767"); // the pushed stick lets go with the pad
    tool.send("button 2 down"); // while unplugged: nothing
    tool.send("plug");
    tool.send("button 3 down");
    EXPECT_EQ(tool.nextLine(), "ButtonDown 3");
    tool.send("quit");
    EXPECT_EQ(tool.finish(), 0);
    EXPECT_EQ(tool.rest(), "");
}

TEST(ToolsTest, RegisteringPrintsTheResultCodeAndASentence)
{
    TempFolder folder;
    const auto registry = folder / "components.reg";
    {
        Session tool(STAVIK_REGISTER_TOOL,
            {"--registry", QString::fromStdString(registry.string()), STAVIK_MODULE_PATH}, folder / "not-this-one.reg");
        EXPECT_EQ(tool.nextLine(), "0x00000000 The module was registered.");
        EXPECT_EQ(tool.finish(), 0);
    }
    EXPECT_TRUE(std::filesystem::exists(registry));
    EXPECT_FALSE(std::filesystem::exists(folder / "not-this-one.reg"));

    std::filesystem::create_directory(folder / "a-folder.reg");
    Session refused(STAVIK_REGISTER_TOOL, {STAVIK_MODULE_PATH}, folder / "a-folder.reg");
    EXPECT_EQ(refused.nextLine(), "0x80040200 The type library could not be registered, so no class was registered.");
    EXPECT_EQ(refused.finish(), 1);
}

std::string contents(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(ToolsTest, RefusalsPrintTheUnchangedSentenceAndThenTheReason)
{
    TempFolder folder;
    const auto registry = folder / "components.reg";
    std::ofstream(registry) << "[Key]\n@ = unquoted\n";
    Session tool(STAVIK_REGISTER_TOOL, {STAVIK_MODULE_PATH}, registry);
    EXPECT_EQ(tool.nextLine(), "0x80040200 The type library could not be registered, so no class was registered.");
    EXPECT_EQ(tool.nextLine(), "Reason: " + registry.string() + ": line 2: malformed value");
    EXPECT_EQ(tool.finish(), 1);
    EXPECT_EQ(contents(registry), "[Key]\n@ = unquoted\n");
}

// Persisted state of a disabled control on Port 1, Threshold 7, Period 20.
const std::vector<char> kDisabledState {0x00, 0x00, 0x02, 0x00, 0x4F, 0x03, 0x00, 0x00, 0x4F, 0x03, 0x00, 0x00, 0x40,
    0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x07, 0x00, 0x00, 0x00, 0x14, 0x00, 0x00, 0x00};

TEST(ToolsTest, LoadingAndSavingWritesBackWhatWasLoadedUnlessEnablingIsAsked)
{
    TempFolder folder;
    const auto loaded = folder / "loaded.bin";
    std::ofstream(loaded, std::ios::binary)
        .write(kDisabledState.data(), static_cast<std::streamsize>(kDisabledState.size()));
    const std::string expected(kDisabledState.begin(), kDisabledState.end());
    for (const bool design : {false, true}) {
        QStringList arguments {"--load", QString::fromStdString(loaded.string()), "--save",
            QString::fromStdString((folder / "saved.bin").string())};
        if (design) {
            arguments << "--design";
        }
        Session tool(STAVIK_TEST_TOOL, arguments, folder / "empty.reg");
        EXPECT_EQ(tool.finish(), 0);
        EXPECT_EQ(contents(folder / "saved.bin"), expected) << (design ? "design" : "run");
    }

    Session enabling(STAVIK_TEST_TOOL,
        {"--load", QString::fromStdString(loaded.string()), "--enable", "--save",
            QString::fromStdString((folder / "enabled.bin").string())},
        folder / "empty.reg");
    EXPECT_EQ(enabling.finish(), 0);
    std::string enabled = expected;
    enabled[16] = 0x01;
    EXPECT_EQ(contents(folder / "enabled.bin"), enabled);
}

// The saved state goes through the program's one file writer: a read-only
// file is refused, the tool says it could not save, and the file stays.
TEST(ToolsTest, SavingOverAReadOnlyStateIsRefusedAndKeepsIt)
{
    TempFolder folder;
    const auto loaded = folder / "loaded.bin";
    std::ofstream(loaded, std::ios::binary)
        .write(kDisabledState.data(), static_cast<std::streamsize>(kDisabledState.size()));
    const auto kept = folder / "kept.bin";
    std::ofstream(kept) << "kept";
    std::filesystem::permissions(kept, std::filesystem::perms::owner_read);
    Session tool(STAVIK_TEST_TOOL,
        {"--load", QString::fromStdString(loaded.string()), "--save", QString::fromStdString(kept.string())},
        folder / "empty.reg");
    EXPECT_EQ(tool.finish(), 1);
    EXPECT_EQ(contents(kept), "kept");
}

// Two registrations at once, ten rounds each, next to a person's own
// entries: the file stays whole and nothing of either is lost.
TEST(ToolsTest, TwoRegistrationsAtOnceLoseNothing)
{
    TempFolder folder;
    const auto registry = folder / "components.reg";
    const std::string own = "# mine\n[Lights.Desk]\n@ = \"Desk\"\n";
    std::ofstream(registry) << own;
    constexpr int kRounds = 10;
    const QString script = QString("for i in $(seq %1); do \"$0\" \"$1\" >/dev/null || exit 1; done").arg(kRounds);
    std::vector<std::unique_ptr<Session>> runs;
    for (int i = 0; i < 2; ++i) {
        runs.push_back(std::make_unique<Session>(
            "/bin/sh", QStringList {"-c", script, STAVIK_REGISTER_TOOL, STAVIK_MODULE_PATH}, registry));
    }
    for (auto& run : runs) {
        EXPECT_EQ(run->finish(), 0);
    }
    const std::string after = contents(registry);
    EXPECT_NE(after.find("\n# mine\n[Lights.Desk]\n@ = \"Desk\"\n"), std::string::npos) << after;
    EXPECT_NE(after.find("[Dorrit.StavikCtrl\\CLSID]"), std::string::npos) << after;
    EXPECT_NE(after.find("[TypeLib\\"), std::string::npos) << after;
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        ++files;
    }
    EXPECT_EQ(files, 1u); // no temporary file left behind

    Session unregister(STAVIK_REGISTER_TOOL, {"--unregister", STAVIK_MODULE_PATH}, registry);
    EXPECT_EQ(unregister.finish(), 0);
    EXPECT_EQ(contents(registry), own);
}

} // namespace
