#include "desktop/QtDialogs.h"

#include "MainForm.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace kelvane::views {

namespace {

QMessageBox::Icon toIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toButtons(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

// Closing the box from its title bar (or Escape) answers its escape button:
// Cancel, or No when there is no Cancel.
MessageAnswer toAnswer(int button)
{
    switch (button) {
    case QMessageBox::Cancel:
        return MessageAnswer::Cancel;
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    default:
        return MessageAnswer::Ok;
    }
}

} // namespace

MessageAnswer QtDialogs::showMessage(
    const std::string& text, MessageIcon icon, MessageButtons buttons, const std::string& title)
{
    const std::string shownTitle = title.empty() ? std::string(kProductName) : title;
    QMessageBox box(toIcon(icon), QString::fromStdString(shownTitle), QString::fromStdString(text), toButtons(buttons),
        QApplication::activeWindow());
    return toAnswer(box.exec());
}

std::optional<std::string> QtDialogs::chooseFileToOpen(const std::string& title, const std::string& filter)
{
    const QString file = QFileDialog::getOpenFileName(
        QApplication::activeWindow(), QString::fromStdString(title), QString(), QString::fromStdString(filter));
    if (file.isEmpty())
        return std::nullopt;
    return file.toStdString();
}

std::optional<std::string> QtDialogs::chooseFileToSave(
    const std::string& title, const std::string& filter, const std::string& suggested)
{
    const QString file = QFileDialog::getSaveFileName(QApplication::activeWindow(), QString::fromStdString(title),
        QString::fromStdString(suggested), QString::fromStdString(filter));
    if (file.isEmpty())
        return std::nullopt;
    return file.toStdString();
}

} // namespace kelvane::views
