#include "desktop/QtEnvironment.h"

#include "MainForm.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QtGlobal>

namespace kelvane::views {

namespace {
std::string withTrailingSlash(std::string folder)
{
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}
} // namespace

QtEnvironment::QtEnvironment(ModalViews& modals, HelpDisplay& help, Dialogs& dialogs, std::string installedDataFolder) :
    modals_(modals), help_(help), dialogs_(dialogs), installedDataFolder_(std::move(installedDataFolder))
{
}

QtEnvironment::~QtEnvironment()
{
    if (busy_)
        QGuiApplication::restoreOverrideCursor();
}

int QtEnvironment::screenWidth() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().width() : 0;
}

int QtEnvironment::screenHeight() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().height() : 0;
}

void QtEnvironment::setPointer(Pointer pointer)
{
    const bool busy = pointer == Pointer::Busy;
    if (busy == busy_)
        return;
    busy_ = busy;
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}

std::string QtEnvironment::programFolder() const
{
    const QString beside = QCoreApplication::applicationDirPath();
    if (QFileInfo::exists(QDir(beside).filePath(
            QString::fromUtf8(kHelpFileName.data(), static_cast<qsizetype>(kHelpFileName.size())))))
        return withTrailingSlash(beside.toStdString());
    return withTrailingSlash(installedDataFolder_);
}

void QtEnvironment::showHelp(const std::string& helpFile)
{
    if (!help_.showFile(helpFile))
        dialogs_.showMessage("Cannot open the help file " + helpFile, MessageIcon::Warning, MessageButtons::Ok, "");
}

void QtEnvironment::showModal(Window& window)
{
    ModalView* view = modals_.find(window);
    if (!view) {
        // A wiring fault of the program, not the user's: leave the form as a
        // closed window would, rather than blocking on nothing.
        qWarning("kelvane: no view to show the window %s", window.name().c_str());
        return;
    }
    window.setVisible(true);
    view->runModal();
}

void QtEnvironment::endProgram() { QCoreApplication::exit(0); }

} // namespace kelvane::views
