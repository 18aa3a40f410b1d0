#include "HelpViewer.h"

#include "WindowPlacement.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QUrl>

namespace kelvane::views {

namespace {
constexpr int kWidth = 760;
constexpr int kHeight = 640;
} // namespace

HelpViewer::HelpViewer(QWidget* parent) : QTextBrowser(parent)
{
    setObjectName("HelpViewer");
    setWindowTitle("Kelvane Help");
    setOpenExternalLinks(true);
    resize(kWidth, kHeight);
}

bool HelpViewer::showFile(const std::string& path)
{
    const QFileInfo file(QString::fromStdString(path));
    if (!file.isFile() || !file.isReadable())
        return false;
    // The file's name does not say HTML, so the type is given.
    setSource(QUrl::fromLocalFile(file.absoluteFilePath()), QTextDocument::HtmlResource);
    home();
    if (!isVisible()) {
        // Opened afresh: at its own size where the screen has room for it.
        resize(kWidth, kHeight);
        if (owner_ != nullptr)
            placeOver(*this, *owner_);
    }
    show();
    raise();
    activateWindow();
    return true;
}

void HelpViewer::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QTextBrowser::keyPressEvent(event);
}

} // namespace kelvane::views
