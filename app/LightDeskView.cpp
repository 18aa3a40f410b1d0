#include "LightDeskView.h"

#include "bindings/BoundCheckBox.h"
#include "bindings/BoundScrollBar.h"
#include "bindings/BoundText.h"
#include "bindings/PressClickButton.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QScrollArea>
#include <QVBoxLayout>

namespace kelvane::views {

namespace {

constexpr int kFaderHeight = 260;

// The channel box is the one the user may type over: the messages read it.
BoundLineEdit* typedBox(TextBox& box, QWidget* parent)
{
    BoundLineEdit* edit = valueBox(box, parent);
    edit->setReadOnly(false);
    edit->setFocusPolicy(Qt::StrongFocus);
    QObject::connect(edit, &QLineEdit::textEdited, edit,
        [edit](const QString& text) { edit->control().setText(text.toStdString()); });
    return edit;
}

// No wider than its column: thirteen columns side by side fit a 1024x768 screen.
PressClickButton* fadeButton(Button& button, QWidget* parent)
{
    auto* widget = new PressClickButton(button, parent);
    widget->setProperty("compactButton", true);
    return widget;
}

BoundLabel* caption(Label& label, QWidget* parent)
{
    auto* widget = new BoundLabel(label, parent);
    widget->setAlignment(Qt::AlignCenter);
    return widget;
}

} // namespace

LightDeskView::LightDeskView(LightForm& form, QWidget* parent) :
    QWidget(parent, Qt::Window),
    form_(form),
    link_(form, [this] { refresh(); }),
    frontLink_(form.frontRequested(), [this] { bringToFront(); })
{
    setObjectName(QString::fromStdString(form.name()));
    // On a screen smaller than the desk the window takes the screen (the
    // form says how large it is) and its content scrolls, as the main
    // window's does, so every fader and button stays reachable.
    auto* scroller = new QScrollArea(this);
    scroller->setObjectName("deskScroller");
    scroller->setWidgetResizable(true);
    scroller->setFrameShape(QFrame::NoFrame);
    // A click on the desk must not take the focus from the channel box.
    scroller->setFocusPolicy(Qt::NoFocus);
    auto* content = new QWidget(scroller);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroller);

    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(8);
    auto* heading = caption(form.lblHeading, this);
    heading->setProperty("deskHeading", true);
    layout->addWidget(heading);
    auto* body = new QHBoxLayout;
    body->addWidget(buildFaders(), 1);
    body->addWidget(buildSettings());
    layout->addLayout(body, 1);
    auto* notice = new BoundLabel(form.lblNotice, this);
    notice->setProperty("deskNotice", true);
    notice->setWordWrap(true);
    // Seen at a glance from the stage, without a box to dismiss.
    notice->setStyleSheet("color: #ff6b6b; font-weight: bold;");
    layout->addWidget(notice);
    scroller->setWidget(content);
    resize(form.width(), form.height());
    refresh();
}

QWidget* LightDeskView::buildFaders()
{
    auto* area = new QFrame(this);
    area->setObjectName("deskFaders");
    area->setFrameShape(QFrame::StyledPanel);
    auto* row = new QHBoxLayout(area);
    row->setSpacing(4);
    for (int n = 1; n <= kLightChannelCount; ++n) {
        LightChannel& ch = form_.channel(n);
        row->addWidget(buildColumn(ch.label, ch.fader, ch.box, ch.fadeUp, ch.fadeDown));
    }
    row->addSpacing(12);
    row->addWidget(buildColumn(form_.lblMaster, form_.scrMaster, form_.txtMaster, form_.cmdFadeUp, form_.cmdFadeDown));
    return area;
}

// Top to bottom: caption, fade up, fader, fade down, value box.
QWidget* LightDeskView::buildColumn(Label& label, ScrollBar& fader, TextBox& box, Button& fadeUp, Button& fadeDown)
{
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(caption(label, column));
    layout->addWidget(fadeButton(fadeUp, column));
    auto* bar = new BoundScrollBar(fader, column);
    bar->setMinimumHeight(kFaderHeight);
    layout->addWidget(bar, 1, Qt::AlignHCenter);
    layout->addWidget(fadeButton(fadeDown, column));
    layout->addWidget(valueBox(box, column), 0, Qt::AlignHCenter);
    return column;
}

QWidget* LightDeskView::buildSettings()
{
    auto* panel = new QWidget(this);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(6);

    grid->addWidget(caption(form_.lblFadeTime, panel), 0, 0);
    grid->addWidget(valueBox(form_.txtTime, panel), 0, 1);
    grid->addWidget(new BoundScrollBar(form_.scrFadeTime, panel), 1, 0, 1, 3);

    grid->addWidget(caption(form_.lblCha, panel), 2, 0);
    grid->addWidget(typedBox(form_.txtCha, panel), 2, 1);
    grid->addWidget(new BoundScrollBar(form_.scrCha, panel), 2, 2);
    grid->addWidget(caption(form_.lblOct, panel), 3, 0);
    grid->addWidget(valueBox(form_.txtOct, panel), 3, 1);
    grid->addWidget(new BoundScrollBar(form_.scrOct, panel), 3, 2);

    grid->addWidget(new BoundCheckBox(form_.chkVol, panel), 4, 0, 1, 3);
    grid->addWidget(new PressClickButton(form_.cmdStop, panel), 5, 0, 1, 3);
    grid->addWidget(new PressClickButton(form_.cmdAllOff, panel), 6, 0, 1, 3);
    grid->setRowStretch(7, 1);
    grid->addWidget(new PressClickButton(form_.Command1, panel), 8, 0, 1, 3);
    return panel;
}

void LightDeskView::refresh()
{
    setWindowTitle(QString::fromStdString(form_.caption()));
    if (form_.visible() && !isVisible()) {
        // The size and place the form took for this screen when it loaded.
        resize(form_.width(), form_.height());
        move(form_.left(), form_.top());
        show();
    } else if (!form_.visible() && isVisible()) {
        hide();
    }
}

void LightDeskView::bringToFront()
{
    refresh();
    raise();
    activateWindow();
}

void LightDeskView::closeEvent(QCloseEvent* event)
{
    // Hidden, not destroyed: see the class comment.
    event->accept();
    form_.unload();
}

} // namespace kelvane::views
