#include "MidiSetupDialog.h"

#include "bindings/BoundComboBox.h"
#include "bindings/BoundText.h"
#include "bindings/SwitchButton.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace kelvane::views {

MidiSetupDialog::MidiSetupDialog(MidiSetupForm& form, QWidget* parent) :
    QDialog(parent), form_(form), link_(form, [this] { refresh(); })
{
    setObjectName(QString::fromStdString(form.name()));
    setModal(true);
    resize(form.width(), form.height());

    auto* outHeading = new BoundLabel(form.outLabel, this);
    auto* list = new BoundComboBox(form.comboMidiOut, this);
    auto* inHeading = new BoundLabel(form.inLabel, this);
    auto* inList = new BoundComboBox(form.comboMidiIn, this);
    inHeading->setBuddy(inList);
    auto* ok = new ClickButton(form.okButton, this);
    auto* cancel = new ClickButton(form.cancelButton, this);
    ok->setDefault(true);
    cancel->setAutoDefault(false);
    outHeading->setBuddy(list);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(outHeading);
    layout->addWidget(list);
    layout->addSpacing(8);
    layout->addWidget(inHeading);
    layout->addWidget(inList);
    layout->addStretch();
    layout->addLayout(buttons);
    refresh();
}

void MidiSetupDialog::runModal()
{
    move(form_.left(), form_.top());
    if (form_.visible())
        exec();
}

void MidiSetupDialog::reject()
{
    if (form_.visible())
        form_.close();
    else
        QDialog::reject();
}

void MidiSetupDialog::refresh()
{
    setWindowTitle(QString::fromStdString(form_.caption()));
    // The form hides itself on Ok and on Cancel: that ends the modal run.
    if (!form_.visible() && isVisible())
        done(QDialog::Accepted);
}

} // namespace kelvane::views
