#include "stavik/host/PropertyFrame.h"

#include "stavik/host/ModuleLibrary.h"
#include "stavik/host/StavikControl.h"

#include "stavik/Ref.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <vector>

namespace stavik::host {
namespace {

// The pages of one frame: made from their classes, released at the end.
class FramePages {
public:
    FramePages(StavikControl& control, QTabWidget& tabs)
    {
        IUnknown* object = control.object();
        for (const Guid& pageClass : control.propertyPages()) {
            Ref<IPropertyPage> page;
            if (failed(control.module()->createInstance(pageClass, iid::PropertyPage, page.receive()))) {
                continue;
            }
            page->SetObjects(1, &object);
            void* widget = nullptr;
            char title[64] = {};
            page->GetTitle(title, sizeof title);
            if (failed(page->Activate(&tabs, &widget)) || widget == nullptr) {
                page->SetObjects(0, nullptr);
                continue;
            }
            tabs.addTab(static_cast<QWidget*>(widget), QString::fromUtf8(title));
            pages_.push_back(std::move(page));
        }
    }

    ~FramePages()
    {
        for (const Ref<IPropertyPage>& page : pages_) {
            page->Deactivate();
            page->SetObjects(0, nullptr);
        }
    }

    FramePages(const FramePages&) = delete;
    FramePages& operator=(const FramePages&) = delete;

    // Applies every page; false as soon as one refuses (that page is shown).
    bool applyAll(QTabWidget& tabs)
    {
        for (std::size_t i = 0; i < pages_.size(); ++i) {
            if (failed(pages_[i]->Apply())) {
                tabs.setCurrentIndex(static_cast<int>(i));
                return false;
            }
        }
        return true;
    }

private:
    std::vector<Ref<IPropertyPage>> pages_;
};

} // namespace

bool showPropertyFrame(StavikControl& control, const std::string& caption, void* parentWidget)
{
    QDialog frame(static_cast<QWidget*>(parentWidget));
    frame.setObjectName("PropertyFrame");
    frame.setWindowTitle(QString::fromStdString(caption));
    auto* tabs = new QTabWidget(&frame);
    auto* buttons
        = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, &frame);
    auto* layout = new QVBoxLayout(&frame);
    layout->addWidget(tabs);
    layout->addWidget(buttons);

    FramePages pages(control, *tabs);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &frame, [&] {
        if (pages.applyAll(*tabs)) {
            frame.accept();
        }
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &frame, &QDialog::reject);
    QObject::connect(
        buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, &frame, [&] { pages.applyAll(*tabs); });
    return frame.exec() == QDialog::Accepted;
}

} // namespace stavik::host
