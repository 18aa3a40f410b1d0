#include "PropertyPage.h"

#include "ModifiedFlag.h"
#include "Resources.h"

#include "stavik/StavikIds.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QWidget>

#include <charconv>
#include <cstring>

namespace stavik {
namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// Dialog units of the page's font: a quarter of the average character width
// across, an eighth of the character height down.
struct DialogUnits {
    explicit DialogUnits(const QFontMetrics& metrics) :
        baseX((metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") + 26) / 52),
        baseY(metrics.height())
    {
    }
    int x(int du) const { return du * baseX / 4; }
    int y(int du) const { return du * baseY / 8; }
    QRect rect(const resources::DialogItem& item) const
    {
        return {x(item.x), y(item.y), x(item.width), y(item.height)};
    }
    int baseX;
    int baseY;
};

void warn(QWidget* page, const std::string& message)
{
    QMessageBox::warning(page, "Stavik Control Properties", QString::fromStdString(message));
}

} // namespace

StavikPropertyPage::StavikPropertyPage(ModuleLifetime& lifetime, Refusal refuse) :
    count_(lifetime), refuse_(refuse ? std::move(refuse) : Refusal(warn))
{
}

StavikPropertyPage::~StavikPropertyPage() { delete widget_.data(); }

HResult StavikPropertyPage::create(ModuleLifetime& lifetime, const Guid& iid, void** object)
{
    const auto page = Ref<StavikPropertyPage>::adopt(new StavikPropertyPage(lifetime));
    return page->QueryInterface(iid, object);
}

HResult StavikPropertyPage::QueryInterface(const Guid& iid, void** object)
{
    return answerQuery(iid, object, {answers<IPropertyPage>(iid::PropertyPage, this)});
}

std::uint32_t StavikPropertyPage::AddRef() { return ++references_; }

std::uint32_t StavikPropertyPage::Release()
{
    const std::uint32_t left = --references_;
    if (left == 0) {
        delete this;
    }
    return left;
}

HResult StavikPropertyPage::SetObjects(std::uint32_t count, IUnknown* const* objects)
{
    if (count != 0 && objects == nullptr) {
        return result::Pointer;
    }
    objects_.clear();
    for (std::uint32_t i = 0; i < count; ++i) {
        if (auto dispatch = query<IDispatch>(objects[i], iid::Dispatch)) {
            objects_.push_back(std::move(dispatch));
        }
    }
    return result::Ok;
}

QWidget* StavikPropertyPage::buildWidget(QWidget* parent)
{
    auto* page = new QWidget(parent);
    page->setObjectName(qs(resources::string(resources::kPageCaptionString)));
    const DialogUnits du(page->fontMetrics());
    page->setMinimumSize(du.x(resources::kPageWidthDu), du.y(resources::kPageHeightDu));

    auto* label = new QLabel(qs(resources::kPortLabelText), page);
    label->setObjectName("portLabel");
    label->setGeometry(du.rect(resources::kPortLabel));

    auto* edit = new QLineEdit(page);
    edit->setObjectName("portEdit");
    edit->setFrame(true);
    edit->setFocusPolicy(Qt::StrongFocus);
    // The dialog's box is two digits wide; never narrower than the text it must show.
    QRect box = du.rect(resources::kPortEdit);
    box.setWidth(std::max(box.width(), edit->fontMetrics().horizontalAdvance("00") + 8));
    edit->setGeometry(box);
    label->setBuddy(edit);
    label->adjustSize();
    QObject::connect(edit, &QLineEdit::textEdited, page, [this] { dirty_ = true; });
    portEdit_ = edit;
    return page;
}

HResult StavikPropertyPage::Activate(void* parentWidget, void** pageWidget)
{
    delete widget_.data();
    widget_ = buildWidget(static_cast<QWidget*>(parentWidget));
    // Show the selected control's Port.
    if (!objects_.empty()) {
        Variant value;
        if (succeeded(objects_.front()->Invoke(
                toDispId(StavikProperty::Port), InvokeKind::PropertyGet, nullptr, 0, &value))) {
            port_ = value.number;
        }
    }
    portEdit_->setText(QString::number(port_));
    dirty_ = false;
    if (pageWidget != nullptr) {
        *pageWidget = widget_.data();
    }
    return result::Ok;
}

HResult StavikPropertyPage::Deactivate()
{
    delete widget_.data();
    return result::Ok;
}

HResult StavikPropertyPage::GetTitle(char* buffer, std::uint32_t capacity)
{
    const std::string_view title = resources::string(resources::kPageCaptionString);
    if (buffer == nullptr || capacity <= title.size()) {
        return result::InvalidArgument;
    }
    std::memcpy(buffer, title.data(), title.size());
    buffer[title.size()] = '\0';
    return result::Ok;
}

HResult StavikPropertyPage::IsPageDirty() { return dirty_ ? result::Ok : result::False; }

std::optional<std::int32_t> StavikPropertyPage::parsePort(const std::string& text, std::string* refusal)
{
    const auto first = text.find_first_not_of(" \t");
    const auto last = text.find_last_not_of(" \t");
    std::int32_t value = 0;
    bool whole = false;
    if (first != std::string::npos) {
        const char* begin = text.data() + first;
        const char* end = text.data() + last + 1;
        if (*begin == '+') {
            ++begin;
        }
        const auto [at, error] = std::from_chars(begin, end, value);
        whole = error == std::errc {} && at == end && begin != end;
    }
    if (!whole) {
        if (refusal != nullptr) {
            *refusal = "Enter a whole number for the port.";
        }
        return std::nullopt;
    }
    if (value < kPortMin || value > kPortMax) {
        if (refusal != nullptr) {
            *refusal = "Enter a port from " + std::to_string(kPortMin) + " to " + std::to_string(kPortMax) + ".";
        }
        return std::nullopt;
    }
    return value;
}

HResult StavikPropertyPage::Apply()
{
    if (portEdit_ == nullptr) {
        return result::Unexpected;
    }
    std::string refusal;
    const auto port = parsePort(portEdit_->text().toStdString(), &refusal);
    if (!port) {
        refuse_(widget_.data(), refusal);
        if (portEdit_ != nullptr) {
            portEdit_->setFocus(Qt::OtherFocusReason);
            portEdit_->selectAll();
        }
        return result::Fail;
    }
    port_ = *port;
    const Variant value = Variant::int32(port_);
    // A control may run a handler that changes the page's selection; write to the one applied.
    const std::vector<Ref<IDispatch>> targets = objects_;
    for (const Ref<IDispatch>& object : targets) {
        if (succeeded(object->Invoke(toDispId(StavikProperty::Port), InvokeKind::PropertyPut, &value, 1, nullptr))) {
            if (const auto flag = query<IModifiedFlag>(object.get(), iid::ModifiedFlag)) {
                flag->SetModified();
            }
        }
    }
    dirty_ = false;
    return result::Ok;
}

} // namespace stavik
