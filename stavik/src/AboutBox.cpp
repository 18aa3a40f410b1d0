#include "AboutBox.h"

#include "ControlPicture.h"
#include "Resources.h"
#include "stavik/TypeLibrary.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

namespace stavik {
namespace {

constexpr int kPictureScale = 2;

QPixmap controlPicture()
{
    const resources::Bitmap& bitmap = *resources::bitmap(resources::kControlBitmap);
    QImage image(bitmap.width * kPictureScale, bitmap.height * kPictureScale, QImage::Format_ARGB32);
    stretchBitmap(bitmap, reinterpret_cast<std::uint32_t*>(image.bits()), image.width(), image.height(),
        static_cast<int>(image.bytesPerLine() / 4));
    return QPixmap::fromImage(image);
}

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

} // namespace

void showAboutBox(QWidget* parent)
{
    QDialog dialog(parent);
    dialog.setObjectName("StavikAboutBox");
    dialog.setWindowTitle("About Stavik");

    auto* picture = new QLabel(&dialog);
    picture->setPixmap(controlPicture());
    picture->setAlignment(Qt::AlignTop);

    const auto& version = resources::versionBlock();
    auto* text = new QLabel(&dialog);
    text->setObjectName("aboutText");
    text->setText(QString("<b>%1</b><br>Version %2<br>%3 %4.%5, ProgID %6<br>Reads one joystick and reports its "
                          "buttons and stick to the program that holds it.")
                      .arg(qs(version.fileDescription), qs(version.fileVersion), qs(kStavikLib.name))
                      .arg(kStavikLib.major)
                      .arg(kStavikLib.minor)
                      .arg(kStavikProgId));
    text->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);

    auto* row = new QHBoxLayout;
    row->addWidget(picture);
    row->addWidget(text, 1);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(row);
    layout->addWidget(buttons);
    dialog.setMinimumWidth(360);
    dialog.exec();
}

} // namespace stavik
