#include "StageLook.h"

#include "StageStyle.h"
#include "desktop/PaintingThread.h"

#include <QApplication>
#include <QPalette>

namespace kelvane::views {

void applyStageLook(QApplication& app)
{
    app.setStyle(new StageStyle); // the application owns it
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
    app.setPalette(stage);
    paintOnThisThreadOnly();
}

} // namespace kelvane::views
