// The "General" page: shows Port, refuses what is not 0 or 1, writes what is
// and marks the control modified.

#include "StavikTestRig.h"

#include "PropertyPage.h"

#include "stavik/host/ModuleLibrary.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

using namespace stavik;
using namespace stavik::testing;
using stavik::host::PropertyValue;

namespace {

class PropertyPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        control = rig.makeControl(/*userMode*/ false);
        ASSERT_EQ(control->initNew(), result::Ok);
    }

    // The page, shown for the control in a frame, with its refusals recorded.
    IPropertyPage* showPage()
    {
        auto* page = new StavikPropertyPage(
            rig.lifetime, [this](QWidget*, const std::string& message) { refusals.push_back(message); });
        IUnknown* object = control->object();
        EXPECT_EQ(page->SetObjects(1, &object), result::Ok);
        void* widget = nullptr;
        EXPECT_EQ(page->Activate(&frame, &widget), result::Ok);
        edit = static_cast<QWidget*>(widget)->findChild<QLineEdit*>("portEdit");
        return page;
    }

    std::int32_t port()
    {
        PropertyValue value;
        EXPECT_EQ(control->get("Port", value), result::Ok);
        return std::get<std::int32_t>(value);
    }

    ControlRig rig;
    std::unique_ptr<host::StavikControl> control;
    QWidget frame;
    QLineEdit* edit = nullptr;
    std::vector<std::string> refusals;
};

TEST_F(PropertyPageTest, TypingTwoIsRefusedAndTypingOneSetsThePort)
{
    IPropertyPage* page = showPage();
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), "0");

    for (const char* refused : {"2", "-1", "one", "1.5", ""}) {
        edit->setText(refused);
        EXPECT_EQ(page->Apply(), result::Fail) << refused;
        EXPECT_EQ(frame.focusWidget(), edit) << refused;
        EXPECT_EQ(port(), 0) << refused;
    }
    ASSERT_EQ(refusals.size(), 5u);
    EXPECT_EQ(refusals[0], "Enter a port from 0 to 1.");
    EXPECT_EQ(refusals[2], "Enter a whole number for the port.");

    edit->setText("1");
    EXPECT_EQ(page->Apply(), result::Ok);
    EXPECT_EQ(port(), 1);
    page->Deactivate();
    page->SetObjects(0, nullptr);
    page->Release();
}

TEST_F(PropertyPageTest, ShowingThePageReadsTheControlsPortAndTitlesItGeneral)
{
    ASSERT_EQ(control->put("Port", PropertyValue {std::int32_t {1}}), result::Ok);
    IPropertyPage* page = showPage();
    EXPECT_EQ(edit->text(), "1");
    char title[16] = {};
    ASSERT_EQ(page->GetTitle(title, sizeof title), result::Ok);
    EXPECT_STREQ(title, "General");
    page->Release();
}

// Writing Port alone leaves the control unmodified; the page's Apply is the
// user's change and must reach a container that saves only modified controls.
TEST_F(PropertyPageTest, ApplyingMarksTheControlModifiedAndARefusalDoesNot)
{
    std::vector<std::uint8_t> saved;
    ASSERT_EQ(control->save(saved), result::Ok);
    ASSERT_FALSE(control->isDirty());
    IPropertyPage* page = showPage();

    edit->setText("2");
    EXPECT_EQ(page->Apply(), result::Fail);
    EXPECT_FALSE(control->isDirty());

    edit->setText("1");
    EXPECT_EQ(page->Apply(), result::Ok);
    EXPECT_TRUE(control->isDirty());
    ASSERT_EQ(control->save(saved), result::Ok);
    EXPECT_EQ(saved[17], 1); // Port, saved
    EXPECT_FALSE(control->isDirty());

    EXPECT_EQ(control->put("Port", PropertyValue {std::int32_t {0}}), result::Ok);
    EXPECT_FALSE(control->isDirty());
    page->Deactivate();
    page->SetObjects(0, nullptr);
    page->Release();
}

TEST(PropertyPageModuleTest, TheModulesPageWarnsWithAMessageBoxAndKeepsThePort)
{
    auto module = host::ModuleLibrary::open(STAVIK_MODULE_PATH);
    ASSERT_TRUE(module);
    auto control = host::StavikControl::create(module, clsid::StavikControl, false);
    ASSERT_TRUE(control);
    ASSERT_EQ(control->initNew(), result::Ok);
    const auto pages = control->propertyPages();
    ASSERT_EQ(pages, std::vector<Guid> {clsid::StavikPropertyPage});

    IPropertyPage* page = nullptr;
    ASSERT_EQ(module->createInstance(pages[0], iid::PropertyPage, reinterpret_cast<void**>(&page)), result::Ok);
    IUnknown* object = control->object();
    page->SetObjects(1, &object);
    QWidget frame;
    void* widget = nullptr;
    ASSERT_EQ(page->Activate(&frame, &widget), result::Ok);
    auto* edit = static_cast<QWidget*>(widget)->findChild<QLineEdit*>("portEdit");
    ASSERT_NE(edit, nullptr);
    edit->setText("2");

    // The warning is modal: read it and close it from inside its own event loop.
    QString shown;
    QTimer::singleShot(0, [&shown] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->text();
            box->accept();
        }
    });
    EXPECT_EQ(page->Apply(), result::Fail);
    EXPECT_EQ(shown, "Enter a port from 0 to 1.");
    PropertyValue port;
    ASSERT_EQ(control->get("Port", port), result::Ok);
    EXPECT_EQ(port, PropertyValue {std::int32_t {0}});

    page->Deactivate();
    page->SetObjects(0, nullptr);
    page->Release();
}

} // namespace
