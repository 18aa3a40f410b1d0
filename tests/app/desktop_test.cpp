// The desktop adapters: help file and viewer, pointer, message boxes, the
// end of the program.
#include "HelpViewer.h"
#include "MainForm.h"
#include "MainMenu.h"
#include "desktop/InstallLayout.h"
#include "desktop/QtDialogs.h"
#include "desktop/QtEnvironment.h"
#include "fakes/FakeDesktop.h"
#include "files/PerformanceFileCommands.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

using namespace kelvane;

namespace {

struct DesktopRig {
    fakes::EffectLog log;
    fakes::FakeDialogs dialogs {log};
    views::ModalViews modals;
    views::HelpViewer help;
    views::QtEnvironment environment {modals, help, dialogs, "/usr/share/kelvane-installed"};
};

std::string withoutMnemonic(std::string caption)
{
    std::erase(caption, '&');
    return caption;
}

void collectCommands(const MenuItem& menu, std::vector<std::string>& out)
{
    for (const auto& child : menu.children()) {
        if (child->children().empty() && !child->isSeparator())
            out.push_back(withoutMnemonic(child->caption()));
        collectCommands(*child, out);
    }
}

} // namespace

TEST(QtEnvironment, FindsTheHelpFileBesideTheProgramInABuildTree)
{
    DesktopRig rig;
    const std::string folder = rig.environment.programFolder();
    EXPECT_EQ(folder, QCoreApplication::applicationDirPath().toStdString() + "/");
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(folder + std::string(kHelpFileName))));
}

TEST(InstallLayout, AnInstalledProgramFindsItsDataFromItsOwnFolderUnderAnyPrefix)
{
    EXPECT_EQ(views::installedDataFolder("/usr/bin"), "/usr/share/kelvane/");
    EXPECT_EQ(views::installedDataFolder("/opt/stage/kelvane/bin/"), "/opt/stage/kelvane/share/kelvane/");
    EXPECT_EQ(views::installedShareFolder("/home/ann/.local/bin"), "/home/ann/.local/share/");
    EXPECT_EQ(views::installedShareFolder("/usr/bin/"), "/usr/share/");

    // The folder as QCoreApplication::applicationDirPath() gives it for a
    // program started through a relative path or a symlinked folder name.
    EXPECT_EQ(views::installedDataFolder("/opt/k/bin/./"), "/opt/k/share/kelvane/");
}

TEST(QtEnvironment, ShowsTheHelpFileAtItsContentsPage)
{
    DesktopRig rig;
    rig.environment.showHelp(rig.environment.programFolder() + std::string(kHelpFileName));
    EXPECT_TRUE(rig.help.isVisible());
    EXPECT_EQ(rig.help.verticalScrollBar()->value(), 0);
    const std::string text = rig.help.toPlainText().toStdString();
    EXPECT_NE(text.find("Contents"), std::string::npos);
    EXPECT_TRUE(rig.log.entries().empty());
}

TEST(QtEnvironment, AMissingHelpFileIsToldToTheUser)
{
    DesktopRig rig;
    rig.environment.showHelp("/nowhere/Kelvane Version 2.HLP");
    EXPECT_FALSE(rig.help.isVisible());
    EXPECT_EQ(rig.log.entries(),
        std::vector<std::string> {"message Cannot open the help file /nowhere/Kelvane Version 2.HLP"});
}

TEST(HelpFile, DescribesEveryMenuCommandTheFilesAndTheOptions)
{
    DesktopRig rig;
    ASSERT_TRUE(rig.help.showFile(rig.environment.programFolder() + std::string(kHelpFileName)));
    const std::string text = rig.help.toPlainText().toStdString();
    MainMenu menu;
    std::vector<std::string> commands;
    collectCommands(menu.bar(), commands);
    ASSERT_GT(commands.size(), 30U);
    for (const std::string& command : commands)
        EXPECT_NE(text.find(command), std::string::npos) << "the help does not mention \"" << command << "\"";
    for (const char* topic : {".dnc", "kelvane.dat", "MIDI Setup", "--soundfont", "--midi-log", "--audio-buffer",
             "--audio-driver", "--version", "F1", "F4", "Ctrl+P", "sw1", "sw8"})
        EXPECT_NE(text.find(topic), std::string::npos) << "the help does not mention \"" << topic << "\"";
}

TEST(QtEnvironment, BusyPointerDoesNotStack)
{
    DesktopRig rig;
    rig.environment.setPointer(Pointer::Busy);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    rig.environment.setPointer(Pointer::Busy);
    rig.environment.setPointer(Pointer::Default);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    rig.environment.setPointer(Pointer::Default);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(QtEnvironment, EndProgramLeavesTheEventLoopWithoutClosingWindows)
{
    DesktopRig rig;
    QWidget window;
    window.show();
    // The application's own loop, as main() runs it (it also resets Qt's quit
    // state for the tests that follow).
    QTimer::singleShot(0, &window, [&] { rig.environment.endProgram(); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(window.isVisible());
}

TEST(QtDialogs, MessageBoxShowsTheProgramNameForAnEmptyTitleAndReturnsTheAnswer)
{
    views::QtDialogs dialogs;
    std::string title;
    std::string text;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        title = box->windowTitle().toStdString();
        text = box->text().toStdString();
        box->button(QMessageBox::No)->click();
    });
    const MessageAnswer answer
        = dialogs.showMessage("Save the changes?", MessageIcon::Question, MessageButtons::YesNo, "");
    EXPECT_EQ(answer, MessageAnswer::No);
    EXPECT_EQ(title, "Kelvane");
    EXPECT_EQ(text, "Save the changes?");
}

namespace {

// The user of the save dialog: types a name, picks a filter (its position in
// the list), presses Save and answers a replace question with Yes, noting its text.
struct SaveDialogUser {
    explicit SaveDialogUser(QString name, int filterPosition = 0) : typed(std::move(name)), filter(filterPosition) { }

    QString typed;
    int filter;
    QString question;

    void actSoon()
    {
        QTimer::singleShot(0, [this] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
            if (types && filter != types->currentIndex()) {
                types->setCurrentIndex(filter);
                Q_EMIT types->activated(filter);
            }
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText(typed);
            QTimer::singleShot(0, [this] { answerReplaceQuestion(); });
            static_cast<QDialog*>(dialog)->accept(); // the Save button
        });
    }

    void answerReplaceQuestion()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        question = box->text();
        box->button(QMessageBox::Yes)->click();
    }
};

} // namespace

// A name typed without an extension under "Dance Files" is saved as a .dnc
// file, which the filter then shows and the desktop knows; the replace
// question is about that file. Under "All Files" the name stays as typed.
TEST(QtDialogs, SaveAddsTheDanceFilesExtensionToATypedNameWithoutOne)
{
    const QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const std::string start = folder.filePath("untitled").toStdString();
    views::QtDialogs dialogs;

    SaveDialogUser user {"show"};
    user.actSoon();
    EXPECT_EQ(dialogs.chooseFileToSave("Save As", std::string(kPerformanceFilter), start),
        folder.filePath("show.dnc").toStdString());
    EXPECT_TRUE(user.question.isEmpty()) << user.question.toStdString();

    QFile existing(folder.filePath("show.dnc"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    SaveDialogUser replacing {"show"};
    replacing.actSoon();
    EXPECT_EQ(dialogs.chooseFileToSave("Save As", std::string(kPerformanceFilter), start),
        folder.filePath("show.dnc").toStdString());
    EXPECT_TRUE(replacing.question.contains("show.dnc")) << replacing.question.toStdString();

    SaveDialogUser keeping {"show.backup"};
    keeping.actSoon();
    EXPECT_EQ(dialogs.chooseFileToSave("Save As", std::string(kPerformanceFilter), start),
        folder.filePath("show.backup").toStdString());

    SaveDialogUser anyFile {"notes", 1};
    anyFile.actSoon();
    EXPECT_EQ(dialogs.chooseFileToSave("Save As", std::string(kPerformanceFilter), start),
        folder.filePath("notes").toStdString());
}
