#include "PreferencesWindow.h"

#include "WindowPlacement.h"

#include "bindings/BoundCheckBox.h"
#include "bindings/BoundOptionButton.h"
#include "bindings/BoundText.h"
#include "bindings/SwitchButton.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <utility>

namespace kelvane::views {

PreferencesWindow::PreferencesWindow(PreferencesForm& form, const QWidget* owner, QWidget* parent) :
    QWidget(parent, Qt::Window), form_(form), owner_(owner), link_(form, [this] { refresh(); })
{
    setObjectName(QString::fromStdString(form.name()));
    resize(form.width(), form.height());

    auto* heading = new BoundLabel(form.heading, this);

    // Row headings on the left, then one frame per switch with its three
    // options top to bottom: "Next", "Previous", "Off".
    auto* grid = new QHBoxLayout;
    auto* rowHeadings = new QVBoxLayout;
    rowHeadings->addSpacing(20);
    for (Label* label : {&form.nextLabel, &form.previousLabel, &form.offLabel})
        rowHeadings->addWidget(new BoundLabel(*label, this));
    grid->addLayout(rowHeadings);
    for (int n = 1; n <= kPreferenceSwitchCount; ++n) {
        const Label& frameLabel = form.frames.at(static_cast<std::size_t>(n - 1));
        auto* frame = new QGroupBox(QString::fromStdString(frameLabel.text()), this);
        frame->setObjectName(QString::fromStdString(frameLabel.name()));
        auto* options = new QVBoxLayout(frame);
        const std::pair<OptionButton*, const Label*> rows[] = {{&form.nextOption(n), &form.nextLabel},
            {&form.previousOption(n), &form.previousLabel}, {&form.offOption(n), &form.offLabel}};
        for (const auto& [option, row] : rows) {
            auto* button = new BoundOptionButton(*option, frame);
            // The buttons show no text: a screen reader names each by its
            // switch and its row, "sw1 Next".
            button->setAccessibleName(QString::fromStdString(frameLabel.text() + " " + row->text()));
            options->addWidget(button, 0, Qt::AlignHCenter);
        }
        grid->addWidget(frame);
    }

    auto* separator = new BoundLabel(form.separator, this);
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);

    auto* audioRow = new QHBoxLayout;
    auto* audioLabel = new BoundLabel(form.advancedAudioLabel, this);
    auto* audioBox = new BoundCheckBox(form.advancedAudio, this);
    audioLabel->setBuddy(audioBox);
    audioBox->setAccessibleName(QString::fromStdString(form.advancedAudioLabel.text()));
    audioRow->addWidget(audioLabel);
    audioRow->addWidget(audioBox);
    audioRow->addStretch();
    auto* save = new ClickButton(form.saveButton, this);
    audioRow->addWidget(save);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addLayout(grid);
    layout->addWidget(separator);
    layout->addLayout(audioRow);
    refresh();
    followVisible();
}

void PreferencesWindow::refresh()
{
    setWindowTitle(QString::fromStdString(form_.caption()));
    // Followed once the handler has finished: the start-up's show and
    // immediate hide must not flash the window on the screen.
    if (!followPending_) {
        followPending_ = true;
        QMetaObject::invokeMethod(
            this, [this] { followVisible(); }, Qt::QueuedConnection);
    }
}

void PreferencesWindow::followVisible()
{
    followPending_ = false;
    followFormVisible(*this, form_, owner_);
}

void PreferencesWindow::closeEvent(QCloseEvent* event)
{
    if (form_.visible())
        form_.close();
    if (form_.visible())
        event->ignore();
    else
        event->accept();
}

} // namespace kelvane::views
