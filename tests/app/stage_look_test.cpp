// The stage look as the main window shows it: panels and switch faces painted
// by the style, the fonts and colours of the marked widgets, and scroll bars
// that really paint every pixel they claim to.
#include "ViewRig.h"

#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>

#include <gtest/gtest.h>

using namespace kelvane;
using namespace kelvane::testing;

namespace {

QColor pixelOf(QWidget& widget, QPoint at) { return widget.grab().toImage().pixelColor(at); }

// The widget drawn over two different backgrounds: the pixels that differ are
// ones it left unpainted (or painted translucent).
int unpaintedPixels(QWidget& widget)
{
    auto over = [&widget](const QColor& background) {
        QPixmap pixmap(widget.size());
        pixmap.fill(background);
        widget.render(&pixmap, QPoint(), QRegion(), QWidget::RenderFlags());
        return pixmap.toImage();
    };
    const QImage magenta = over(Qt::magenta);
    const QImage green = over(Qt::green);
    int unpainted = 0;
    for (int y = 0; y < magenta.height(); ++y)
        for (int x = 0; x < magenta.width(); ++x)
            unpainted += magenta.pixel(x, y) != green.pixel(x, y) ? 1 : 0;
    return unpainted;
}

} // namespace

TEST(StageLook, ASwitchSitsOnARoundedPanelAndItsFaceLightsWhileHeld)
{
    ViewRig rig;
    rig.shown();
    auto& button = rig.widget<QPushButton>("Command19");
    QWidget& column = *button.parentWidget();
    ASSERT_EQ(column.objectName(), "switchColumn");

    const QImage panel = column.grab().toImage();
    const QColor fill(0x23, 0x27, 0x2f);
    const QColor border(0x3a, 0x40, 0x4c);
    EXPECT_EQ(panel.pixelColor(2, panel.height() / 2), fill) << "inside the panel's border";
    EXPECT_EQ(panel.pixelColor(0, panel.height() / 2), border) << "the panel's border";
    EXPECT_NE(panel.pixelColor(0, 0), fill) << "the corner is rounded off";
    EXPECT_NE(panel.pixelColor(0, 0), border) << "the corner is rounded off";

    EXPECT_TRUE(button.font().bold());
    EXPECT_EQ(button.font().pointSize(), 16);
    const QPoint face(4, button.height() / 2); // inside the border, left of the caption
    EXPECT_EQ(pixelOf(button, face), QColor(0x3a, 0x41, 0x50));
    QTest::mousePress(&button, Qt::LeftButton);
    rig.settle();
    EXPECT_EQ(pixelOf(button, face), QColor(0x6f, 0x7b, 0x94)) << "held";
    QTest::mouseRelease(&button, Qt::LeftButton);
    rig.settle();
    EXPECT_EQ(pixelOf(button, face), QColor(0x3a, 0x41, 0x50)) << "released";
}

TEST(StageLook, BoxesTakeTheLookOfTheirMarkThoughPolishedBeforeTheyWereMarked)
{
    ViewRig rig;
    rig.shown();
    for (int n = 1; n <= kSwitchCount; ++n) {
        const Switch& s = rig.sw(n);
        auto& name = rig.widget<QLineEdit>(s.nameBox.name().c_str());
        EXPECT_EQ(name.font().pointSize(), 8) << "switch " << n << "'s instrument name";
        EXPECT_FALSE(name.font().bold()) << "switch " << n << "'s instrument name";
        EXPECT_EQ(name.palette().color(QPalette::Text), QColor(0xd7, 0xdc, 0xe6));
        EXPECT_TRUE(rig.widget<QLineEdit>(s.noteBox.name().c_str()).font().bold()) << "switch " << n << "'s note";
    }
}

TEST(StageLook, ScrollBarsPaintEveryPixelSoThePanelUnderThemNeedNotBePainted)
{
    ViewRig rig;
    rig.shown();
    const Switch& s = rig.sw(1);
    for (const ScrollBar* bar : {&s.note, &s.velocity, &s.channel, &s.program}) {
        auto& widget = rig.widget<QScrollBar>(bar->name().c_str());
        ASSERT_TRUE(widget.testAttribute(Qt::WA_OpaquePaintEvent)) << bar->name();
        for (bool enabled : {true, false}) {
            widget.setEnabled(enabled);
            for (int value : {widget.minimum(), (widget.minimum() + widget.maximum()) / 2, widget.maximum()}) {
                widget.setValue(value);
                EXPECT_EQ(unpaintedPixels(widget), 0)
                    << bar->name() << (enabled ? " enabled" : " disabled") << " at " << value;
            }
        }
    }
}

// Inside the stage edge drawn around every bar.
TEST(StageLook, ScrollBarsKeptAsPixmapsLookAsFusionDrawsThemWithinTheirEdge)
{
    ViewRig rig;
    rig.shown();
    std::unique_ptr<QStyle> fusion(QStyleFactory::create("Fusion"));
    const Switch& s = rig.sw(2);
    for (const ScrollBar* bar : {&s.note, &s.channel}) {
        auto& widget = rig.widget<QScrollBar>(bar->name().c_str());
        for (bool enabled : {true, false}) {
            for (int value : {widget.minimum(), (widget.minimum() + widget.maximum()) / 3, widget.maximum()}) {
                widget.setEnabled(enabled);
                widget.setValue(value);
                auto image = [&widget] { return widget.grab().toImage().convertToFormat(QImage::Format_RGB32); };
                const QImage drawn = image();
                const QImage kept = image(); // from the pixmap kept for this look
                widget.setStyle(fusion.get());
                const QImage byFusion = image();
                widget.setStyle(nullptr); // back to the application's style
                const std::string state
                    = bar->name() + (enabled ? " enabled" : " disabled") + " at " + std::to_string(value);
                const QRect inside = drawn.rect().adjusted(1, 1, -1, -1);
                EXPECT_EQ(kept, drawn) << state;
                EXPECT_EQ(kept.copy(inside), byFusion.copy(inside)) << state;
                EXPECT_NE(kept.pixel(0, drawn.height() / 2), byFusion.pixel(0, drawn.height() / 2)) << state;
            }
        }
    }
}
