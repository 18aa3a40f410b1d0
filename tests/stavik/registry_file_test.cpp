// The registry file: text form, look-up without case, subtree removal,
// refusing to overwrite a file it cannot understand, editing that keeps what a
// person wrote, saving that keeps the file's owner and mode, and the lock.

#include "../files/DiskTestKit.h"
#include "TempFolder.h"

#include "stavik/GuidText.h"
#include "stavik/RegistryFile.h"
#include "stavik/StavikIds.h"
#include "stavik/host/ControlLocator.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <map>
#include <string>

using namespace stavik;
using stavik::testing::TempFolder;

namespace {

TEST(RegistryFileTest, ValuesSurviveSavingAndLoadingAndAreFoundWithoutRegardToCase)
{
    TempFolder folder;
    auto registry = RegistryFile::load(folder / "sub" / "components.reg");
    ASSERT_TRUE(registry);
    registry->setValue("CLSID\\{ABC}\\InprocServer32", {}, "/opt/a \"quoted\" \\path");
    registry->setValue("CLSID\\{ABC}\\InprocServer32", "ThreadingModel", "Apartment");
    registry->createKey("CLSID\\{ABC}\\Control");
    ASSERT_TRUE(registry->save());

    const auto again = RegistryFile::load(folder / "sub" / "components.reg");
    ASSERT_TRUE(again);
    EXPECT_EQ(again->value("clsid\\{abc}\\inprocserver32"), "/opt/a \"quoted\" \\path");
    EXPECT_EQ(again->value("CLSID\\{ABC}\\InprocServer32", "threadingmodel"), "Apartment");
    EXPECT_TRUE(again->hasKey("CLSID\\{ABC}\\Control"));
    EXPECT_FALSE(again->hasKey("CLSID\\{ABC}\\Insertable"));
    EXPECT_EQ(again->text(), registry->text());
}

TEST(RegistryFileTest, RemovingAKeyTakesItsSubkeysButNotKeysThatMerelyShareItsStart)
{
    auto registry = RegistryFile::parse("[A\\B]\n@ = \"1\"\n[a\\b\\C]\n@ = \"2\"\n[A\\BC]\n@ = \"3\"\n[A]\n");
    ASSERT_TRUE(registry);
    registry->removeTree("A\\B");
    EXPECT_EQ(registry->keys(), (std::vector<std::string> {"A", "A\\BC"}));
}

TEST(RegistryFileTest, AFileItCannotParseIsRefusedNotReplaced)
{
    std::string error;
    EXPECT_FALSE(RegistryFile::parse("[Key]\nname = unquoted\n", &error));
    EXPECT_NE(error.find("line 2"), std::string::npos);
    EXPECT_FALSE(RegistryFile::parse("name = \"value outside a key\"\n"));
    EXPECT_FALSE(RegistryFile::parse("[Unclosed\n"));

    TempFolder folder;
    EXPECT_FALSE(RegistryFile::load(folder.path())); // a folder, not a file
}

TEST(RegistryFileTest, TheDefaultLocationHonoursTheOverrideThenTheDataFolderThenHome)
{
    const auto from = [](std::map<std::string, std::string> vars) {
        return defaultRegistryPath([&vars](const char* name) -> const char* {
            const auto it = vars.find(name);
            return it == vars.end() ? nullptr : it->second.c_str();
        });
    };
    EXPECT_EQ(from({{"STAVIK_REGISTRY", "/somewhere/else.reg"}, {"XDG_DATA_HOME", "/data/home"}, {"HOME", "/h"}}),
        "/somewhere/else.reg");
    EXPECT_EQ(from({{"STAVIK_REGISTRY", ""}, {"XDG_DATA_HOME", "/data/home"}, {"HOME", "/h"}}),
        "/data/home/kelvane/components.reg");
    EXPECT_EQ(from({{"XDG_DATA_HOME", "relative"}, {"HOME", "/h"}}), "/h/.local/share/kelvane/components.reg");
    EXPECT_EQ(from({}), "./kelvane/components.reg");
}

TEST(RegistryFileTest, IdentifiersReadBackFromTheirTextForm)
{
    const std::string text = guidToString(clsid::StavikControl);
    EXPECT_EQ(text, "{F6B70DC0-165C-4F04-8340-04FE9981BF85}");
    EXPECT_EQ(guidFromString(text), clsid::StavikControl);
    EXPECT_EQ(guidFromString("f6b70dc0-165c-4f04-8340-04fe9981bf85"), clsid::StavikControl);
    EXPECT_FALSE(guidFromString("{F6B70DC0-165C-4F04-8340-04FE9981BF8}"));
    EXPECT_FALSE(guidFromString("{F6B70DC0+165C-4F04-8340-04FE9981BF85}"));
}

TEST(RegistryFileTest, WithoutARegistryEntryTheControlIsFoundBesideTheProgram)
{
    TempFolder folder;
    const auto candidates = stavik::host::librariesBeside(folder / "bin");
    ASSERT_EQ(candidates.size(), 6u);
    EXPECT_EQ(candidates[0], folder / "bin" / "libstavik32.so.2");
    EXPECT_EQ(candidates[3], folder / "lib" / "libstavik32.so");
    EXPECT_EQ(candidates[4], folder / "lib" / "kelvane" / "libstavik32.so.2");

    std::filesystem::create_directories(folder / "lib");
    std::ofstream(folder / "lib" / "libstavik32.so") << "module";
    const auto found = stavik::host::locateClass(folder / "none.reg", "dorrit.stavikctrl", candidates);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->library, folder / "lib" / "libstavik32.so");
    EXPECT_EQ(found->classId, clsid::StavikControl);
    EXPECT_FALSE(found->fromRegistry);
    // Another ProgID cannot be guessed from a file name.
    std::string why;
    EXPECT_FALSE(stavik::host::locateClass(folder / "none.reg", "Other.Control", candidates, &why));
    EXPECT_FALSE(why.empty());
}

TEST(RegistryFileTest, AnInstalledProgramFindsTheModuleItCameWith)
{
    // PREFIX/bin/kelvane with PREFIX/lib/kelvane/libstavik32.so.2 and its link,
    // as the install rules lay them out; no registry entry yet (a first start).
    TempFolder folder;
    EXPECT_FALSE(stavik::host::moduleBeside(folder / "bin"));
    std::filesystem::create_directories(folder / "bin");
    std::filesystem::create_directories(folder / "lib" / "kelvane");
    std::ofstream(folder / "lib" / "kelvane" / "libstavik32.so.2.0.4") << "module";
    std::filesystem::create_symlink("libstavik32.so.2.0.4", folder / "lib" / "kelvane" / "libstavik32.so.2");
    const auto module = stavik::host::moduleBeside(folder / "bin");
    ASSERT_TRUE(module);
    EXPECT_EQ(*module, folder / "lib" / "kelvane" / "libstavik32.so.2");

    const auto found = stavik::host::locateClass(
        folder / "none.reg", "Dorrit.StavikCtrl", stavik::host::librariesBeside(folder / "bin"));
    ASSERT_TRUE(found);
    EXPECT_EQ(found->library, *module);
    EXPECT_FALSE(found->fromRegistry);

    // A dangling link (the module file removed) is no module.
    std::filesystem::remove(folder / "lib" / "kelvane" / "libstavik32.so.2.0.4");
    EXPECT_FALSE(stavik::host::moduleBeside(folder / "bin"));
}

} // namespace

namespace {

std::string contents(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::filesystem::perms permissions(const std::filesystem::path& path)
{
    return std::filesystem::status(path).permissions() & std::filesystem::perms::mask;
}

// Files in folder other than the one named keep (temporary files left behind).
std::vector<std::string> strayFiles(const std::filesystem::path& folder, const std::string& keep)
{
    std::vector<std::string> stray;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().filename() != keep) {
            stray.push_back(entry.path().filename().string());
        }
    }
    return stray;
}

constexpr const char* kHandWritten = "# My components. Edited by hand; keep this note.\n"
                                     "\n"
                                     "# The old synth, do not remove:\n"
                                     "[Other.Synth]\n"
                                     "@=\"Old Synth\"\n"
                                     "  # its class follows\n"
                                     "\n"
                                     "[Other.Synth\\CLSID]\n"
                                     "@ = \"{1}\"\n";

TEST(RegistryFileEditingTest, CommentsAndUntouchedLinesStayWhereTheyStandThroughAddingAndRemoving)
{
    auto registry = RegistryFile::parse(kHandWritten);
    ASSERT_TRUE(registry);
    EXPECT_EQ(registry->text(), kHandWritten); // read and written back unchanged

    registry->setValue("Alpha", {}, "a"); // sorts first: above the comment that speaks of Other.Synth
    registry->setValue("Other.Synth\\CLSID", "Extra", "x"); // a new value after the key's values
    registry->setValue("Zulu\\Deep", {}, "z"); // sorts last: appended
    EXPECT_EQ(registry->text(),
        "# My components. Edited by hand; keep this note.\n"
        "\n"
        "[Alpha]\n"
        "@ = \"a\"\n"
        "\n"
        "# The old synth, do not remove:\n"
        "[Other.Synth]\n"
        "@=\"Old Synth\"\n"
        "  # its class follows\n"
        "\n"
        "[Other.Synth\\CLSID]\n"
        "@ = \"{1}\"\n"
        "Extra = \"x\"\n"
        "\n"
        "[Zulu\\Deep]\n"
        "@ = \"z\"\n");

    registry->removeTree("Alpha");
    registry->removeTree("zulu");
    registry->removeTree("Other.Synth\\CLSID");
    registry->setValue("Other.Synth\\CLSID", {}, "{1}");
    EXPECT_EQ(registry->text(), kHandWritten);

    // Removing a key keeps the comments inside it; changing a value rewrites only its line.
    registry->setValue("other.synth", {}, "New Synth");
    registry->removeTree("Other.Synth");
    EXPECT_EQ(registry->text(),
        "# My components. Edited by hand; keep this note.\n"
        "\n"
        "# The old synth, do not remove:\n"
        "  # its class follows\n");
    EXPECT_TRUE(registry->empty());
}

TEST(RegistryFileEditingTest, NamesThatWouldNotReadBackAreNotWritten)
{
    auto registry = RegistryFile::parse("");
    ASSERT_TRUE(registry);
    registry->setValue("Key", "a = b", "1");
    registry->setValue("Key", "#note", "1");
    registry->setValue("Bad]Key", {}, "1");
    EXPECT_EQ(registry->text(), "");
    registry->setValue("Key", "Name", "line\nbreak \"quoted\"");
    const auto again = RegistryFile::parse(registry->text());
    ASSERT_TRUE(again);
    EXPECT_EQ(again->value("key", "name"), "line\nbreak \"quoted\"");
}

TEST(RegistryFileSavingTest, SavingKeepsTheFilesPermissionsAndLeavesNoTemporaryFile)
{
    using std::filesystem::perms;
    TempFolder folder;
    const auto path = folder / "components.reg";
    for (const perms mode : {perms::owner_read | perms::owner_write,
             perms::owner_read | perms::owner_write | perms::group_read | perms::group_write}) {
        std::ofstream(path) << "[Key]\n";
        std::filesystem::permissions(path, mode);
        auto registry = RegistryFile::load(path);
        ASSERT_TRUE(registry);
        registry->setValue("Key", {}, "changed");
        std::string error;
        ASSERT_TRUE(registry->save(&error)) << error;
        EXPECT_EQ(permissions(path), mode);
        EXPECT_EQ(contents(path), "[Key]\n@ = \"changed\"\n");
    }
    EXPECT_TRUE(strayFiles(folder.path(), "components.reg").empty());
}

TEST(RegistryFileSavingTest, AReadOnlyFileIsRefusedAndLeftUntouchedWhoeverAsks)
{
    TempFolder folder;
    const auto path = folder / "components.reg";
    std::ofstream(path) << kHandWritten;
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    auto registry = RegistryFile::load(path);
    ASSERT_TRUE(registry);
    registry->setValue("Alpha", {}, "a");
    std::string error;
    EXPECT_FALSE(registry->save(&error));
    EXPECT_NE(error.find("permission denied (the file is read-only)"), std::string::npos) << error;
    EXPECT_EQ(contents(path), kHandWritten);
    EXPECT_EQ(permissions(path), std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    EXPECT_TRUE(strayFiles(folder.path(), "components.reg").empty());
}

TEST(RegistryFileSavingTest, TheOwnerOfTheFileIsKept)
{
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only the superuser can make a file of another user to save over";
    }
    TempFolder folder;
    const auto path = folder / "components.reg";
    std::ofstream(path) << "[Key]\n";
    ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
    auto registry = RegistryFile::load(path);
    ASSERT_TRUE(registry);
    registry->setValue("Key", {}, "changed");
    ASSERT_TRUE(registry->save());
    struct stat after { };
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_uid, 65534u);
    EXPECT_EQ(after.st_gid, 65534u);
}

TEST(RegistryFileSavingTest, ARegistryReachedThroughALinkIsWrittenWhereTheLinkPoints)
{
    TempFolder folder;
    std::filesystem::create_directory(folder / "real");
    std::ofstream(folder / "real" / "components.reg") << "[Key]\n";
    std::filesystem::create_symlink(folder / "real" / "components.reg", folder / "link.reg");
    auto registry = RegistryFile::load(folder / "link.reg");
    ASSERT_TRUE(registry);
    registry->setValue("Key", {}, "through the link");
    ASSERT_TRUE(registry->save());
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.reg"));
    EXPECT_EQ(contents(folder / "real" / "components.reg"), "[Key]\n@ = \"through the link\"\n");
}

TEST(RegistryFileSavingTest, EachFailureSaysWhy)
{
    TempFolder folder;
    std::string error;
    EXPECT_FALSE(RegistryFile::load(folder.path(), &error));
    EXPECT_EQ(error, folder.path().string() + " is a folder, not a registry file");

    std::ofstream(folder / "bad.reg") << "# fine\n[Key]\n@ = unquoted\n";
    EXPECT_FALSE(RegistryFile::load(folder / "bad.reg", &error));
    EXPECT_EQ(error, (folder / "bad.reg").string() + ": line 3: malformed value");

    std::ofstream(folder / "plain") << "x";
    auto registry = RegistryFile::load(folder / "plain" / "sub" / "components.reg");
    ASSERT_TRUE(registry); // not there: empty
    EXPECT_FALSE(registry->save(&error));
    EXPECT_EQ(error,
        "cannot create the folder " + (folder / "plain" / "sub").string() + ": " + (folder / "plain").string()
            + " is a file, not a folder");
    EXPECT_FALSE(RegistryLock::acquire(folder / "plain" / "components.reg", &error));
    EXPECT_NE(error.find("is a file, not a folder"), std::string::npos);

    {
        const kelvane::testing::AsOrdinaryUser ordinary; // permissions bind the superuser too
        std::ofstream(folder / "secret.reg") << "[Key]\n";
        std::filesystem::permissions(folder / "secret.reg", std::filesystem::perms::none);
        EXPECT_FALSE(RegistryFile::load(folder / "secret.reg", &error));
        EXPECT_EQ(error, "cannot read " + (folder / "secret.reg").string() + ": Permission denied");

        std::filesystem::create_directory(folder / "locked");
        std::ofstream(folder / "locked" / "components.reg") << "[Key]\n";
        std::filesystem::permissions(
            folder / "locked", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        auto inLocked = RegistryFile::load(folder / "locked" / "components.reg");
        ASSERT_TRUE(inLocked);
        inLocked->setValue("Key", {}, "x");
        EXPECT_FALSE(inLocked->save(&error));
        EXPECT_EQ(error, "cannot write in the folder " + (folder / "locked").string() + ": Permission denied");
        std::filesystem::permissions(folder / "locked", std::filesystem::perms::owner_all);
    }
}

// Each writer adds its own keys, one load-change-save per round, as two
// registering processes do. Without the lock both would start from the same
// old file and the later save would drop the other's key.
TEST(RegistryFileSavingTest, TwoProcessesChangingTheRegistryUnderItsLockLoseNothing)
{
    TempFolder folder;
    const auto path = folder / "components.reg";
    constexpr int kRounds = 40;
    std::vector<pid_t> writers;
    for (const char* writer : {"First", "Second"}) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            int status = 0;
            for (int round = 0; round < kRounds && status == 0; ++round) {
                const auto lock = RegistryLock::acquire(path);
                auto registry = RegistryFile::load(path);
                if (!lock || !registry) {
                    status = 1;
                    break;
                }
                registry->setValue(std::string(writer) + "\\" + std::to_string(round), {}, writer);
                status = registry->save() ? 0 : 1;
            }
            ::_exit(status);
        }
        writers.push_back(pid);
    }
    for (const pid_t pid : writers) {
        int status = -1;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const auto registry = RegistryFile::load(path);
    ASSERT_TRUE(registry);
    EXPECT_EQ(registry->keys().size(), 2u * kRounds);
    EXPECT_TRUE(strayFiles(folder.path(), "components.reg").empty());
}

} // namespace
