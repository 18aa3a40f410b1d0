#include "StageLook.h"

#include "desktop/PaintingThread.h"

#include <QApplication>
#include <QPalette>
#include <QStyleFactory>

namespace kelvane::views {

namespace {

// Widget rules the palette cannot express. Scroll bars are left to the style,
// so their arrows and thumbs stay the ones every user knows.
constexpr const char* kStyleSheet = R"(
QFrame#switchColumn {
    background: #23272f;
    border: 1px solid #3a404c;
    border-radius: 8px;
}
QFrame[waveSlot="true"] {
    background: #1f232a;
    border: 1px solid #343a45;
    border-radius: 6px;
}
QFrame[waveSlot="true"] QPushButton {
    padding: 1px 4px;
}
QFrame#switchColumn QPushButton {
    font-size: 16pt;
    font-weight: bold;
    color: #f2f4f8;
    background: #3a4150;
    border: 1px solid #596275;
    border-radius: 6px;
}
QFrame#switchColumn QPushButton:pressed {
    background: #6f7b94;
    border-color: #c5cbd8;
}
QFrame#switchColumn QPushButton:disabled {
    color: #808796;
}
QFrame#switchColumn QLineEdit {
    background: #15181d;
    color: #f2f4f8;
    border: 1px solid #3f4654;
    border-radius: 3px;
    font-weight: bold;
    padding: 1px 2px;
}
QFrame#switchColumn QLineEdit[instrumentName="true"] {
    font-weight: normal;
    font-size: 8pt;
    color: #d7dce6;
}
QLabel#settingCaption {
    color: #aab2c0;
}
QLabel[bankLabel="true"] {
    background: #1565c0;
    color: white;
    font-weight: bold;
    border-radius: 3px;
    padding: 2px 8px;
}
)";

} // namespace

void applyStageLook(QApplication& app)
{
    if (QStyle* fusion = QStyleFactory::create("Fusion"))
        QApplication::setStyle(fusion);

    QPalette stage;
    stage.setColor(QPalette::Window, QColor(0x1a, 0x1d, 0x22));
    stage.setColor(QPalette::WindowText, QColor(0xe6, 0xe9, 0xef));
    stage.setColor(QPalette::Base, QColor(0x15, 0x18, 0x1d));
    stage.setColor(QPalette::AlternateBase, QColor(0x23, 0x27, 0x2f));
    stage.setColor(QPalette::Text, QColor(0xf2, 0xf4, 0xf8));
    stage.setColor(QPalette::Button, QColor(0x3a, 0x41, 0x50));
    stage.setColor(QPalette::ButtonText, QColor(0xf2, 0xf4, 0xf8));
    stage.setColor(QPalette::Highlight, QColor(0x1e, 0x88, 0xe5));
    stage.setColor(QPalette::HighlightedText, Qt::white);
    stage.setColor(QPalette::ToolTipBase, QColor(0x23, 0x27, 0x2f));
    stage.setColor(QPalette::ToolTipText, QColor(0xf2, 0xf4, 0xf8));
    stage.setColor(QPalette::Link, QColor(0x64, 0xb5, 0xf6));
    stage.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x87, 0x96));
    stage.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x87, 0x96));
    stage.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x87, 0x96));
    QApplication::setPalette(stage);
    app.setStyleSheet(kStyleSheet);
    paintOnThisThreadOnly();
}

} // namespace kelvane::views
