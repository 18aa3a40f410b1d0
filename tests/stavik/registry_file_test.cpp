// The registry file: text form, look-up without case, subtree removal, and
// refusing to overwrite a file it cannot understand.

#include "EnvironmentGuard.h"
#include "TempFolder.h"

#include "stavik/GuidText.h"
#include "stavik/RegistryFile.h"
#include "stavik/StavikIds.h"
#include "stavik/host/ControlLocator.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace stavik;
using stavik::testing::EnvironmentGuard;
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

TEST(RegistryFileTest, TheDefaultLocationHonoursTheOverrideThenTheDataFolder)
{
    const EnvironmentGuard registryVariable("STAVIK_REGISTRY");
    const EnvironmentGuard dataVariable("XDG_DATA_HOME");
    setenv("STAVIK_REGISTRY", "/somewhere/else.reg", 1);
    EXPECT_EQ(defaultRegistryPath(), "/somewhere/else.reg");
    unsetenv("STAVIK_REGISTRY");
    setenv("XDG_DATA_HOME", "/data/home", 1);
    EXPECT_EQ(defaultRegistryPath(), "/data/home/kelvane/components.reg");
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
