// The two programs as a user runs them: stavik-test --simulate from device to
// printed event, and stavik-register's printed result.

#include "TempFolder.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

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

} // namespace
