#include "MidiLearnWindow.h"

#include "bindings/BoundCheckBox.h"
#include "bindings/BoundOptionButton.h"
#include "bindings/BoundText.h"
#include "bindings/SwitchButton.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace kelvane::views {

MidiLearnWindow::MidiLearnWindow(MidiLearnForm& form, QWidget* parent) :
    QWidget(parent, Qt::Window),
    form_(form),
    link_(form, [this] { refresh(); }),
    frontLink_(form.frontRequested(), [this] {
        refresh();
        raise();
        activateWindow();
    })
{
    setObjectName(QString::fromStdString(form.name()));
    resize(form.width(), form.height());

    auto* rows = new QGridLayout;
    rows->setColumnStretch(1, 1);
    for (int n = 1; n <= kSwitchCount; ++n) {
        MidiLearnRow& row = form.row(n);
        auto* binding = new BoundLabel(row.binding, this);
        // Wide enough for the longest binding, so the buttons never move.
        binding->setMinimumWidth(
            binding->fontMetrics().horizontalAdvance(QStringLiteral("Controller 127, channel 16")));
        rows->addWidget(new BoundLabel(row.switchName, this), n - 1, 0);
        rows->addWidget(binding, n - 1, 1);
        rows->addWidget(new ClickButton(row.learn, this), n - 1, 2);
        rows->addWidget(new BoundCheckBox(row.padVelocity, this), n - 1, 3);
    }

    auto* channel = new QHBoxLayout;
    channel->addWidget(new BoundOptionButton(form.anyChannel, this));
    channel->addWidget(new BoundOptionButton(form.channelAsSent, this));
    channel->addStretch();

    auto* hint = new BoundLabel(form.hint, this);
    hint->setWordWrap(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(new ClickButton(form.clearButton, this));
    buttons->addWidget(new ClickButton(form.defaultButton, this));
    buttons->addStretch();
    auto* close = new ClickButton(form.closeButton, this);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(rows);
    layout->addLayout(channel);
    layout->addWidget(hint);
    layout->addLayout(buttons);
    refresh();
}

void MidiLearnWindow::refresh()
{
    setWindowTitle(QString::fromStdString(form_.caption()));
    followFormVisible(*this, form_);
}

void MidiLearnWindow::closeEvent(QCloseEvent* event)
{
    if (form_.visible())
        form_.close();
    event->accept();
}

} // namespace kelvane::views
