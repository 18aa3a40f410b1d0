#include "HelpViewer.h"

#include <QFileInfo>
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
    show();
    raise();
    activateWindow();
    return true;
}

} // namespace kelvane::views
