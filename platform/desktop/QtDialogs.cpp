#include "desktop/QtDialogs.h"

#include "MainForm.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>

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

// The save dialog: the Save button gives a typed name without an extension
// the extension of the filter chosen at that moment.
class SaveDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

protected:
    void accept() override
    {
        setDefaultSuffix(extensionOf(selectedNameFilter()));
        QFileDialog::accept();
    }
};

} // namespace

QString extensionOf(const QString& nameFilter)
{
    const QRegularExpression onePattern(QStringLiteral("\\(\\*\\.([^*?\\s()]+)\\)$"));
    const QRegularExpressionMatch match = onePattern.match(nameFilter.trimmed());
    return match.hasMatch() ? match.captured(1) : QString();
}

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
    SaveDialog dialog(QApplication::activeWindow(), QString::fromStdString(title), QString::fromStdString(suggested),
        QString::fromStdString(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Qt's own dialog adds the suffix to the typed name before it asks
    // whether to replace an existing file, so the question names the file
    // that would really be replaced. A desktop's dialog may not.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst().toStdString();
}

} // namespace kelvane::views
