#pragma once

#include "ModuleLifetime.h"

#include "stavik/Ref.h"
#include "stavik/Runtime.h"

#include <QPointer>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QLineEdit;
class QWidget;

namespace stavik {

// The "General" page: one edit box for the control's Port.
//
// Showing the page reads Port from the first selected control into the edit
// box. Applying accepts a whole number from 0 to 1, writes it to Port of
// every selected control and marks each as modified, so that a container
// that saves only modified controls keeps it; anything else is refused with
// a message, the focus goes back to the edit box and no control is changed.
class StavikPropertyPage final : public IPropertyPage {
public:
    static constexpr std::int32_t kPortMin = 0;
    static constexpr std::int32_t kPortMax = 1;

    // How a refusal reaches the user; by default a warning message box over the page.
    using Refusal = std::function<void(QWidget* page, const std::string& message)>;

    explicit StavikPropertyPage(ModuleLifetime& lifetime, Refusal refuse = {});

    static HResult create(ModuleLifetime& lifetime, const Guid& iid, void** object);

    HResult QueryInterface(const Guid& iid, void** object) override;
    std::uint32_t AddRef() override;
    std::uint32_t Release() override;

    HResult SetObjects(std::uint32_t count, IUnknown* const* objects) override;
    HResult Activate(void* parentWidget, void** pageWidget) override;
    HResult Deactivate() override;
    HResult GetTitle(char* buffer, std::uint32_t capacity) override;
    HResult IsPageDirty() override;
    HResult Apply() override;

    // The port value a text stands for, when it is a whole number in range.
    static std::optional<std::int32_t> parsePort(const std::string& text, std::string* refusal);

private:
    ~StavikPropertyPage();
    QWidget* buildWidget(QWidget* parent);

    ModuleObjectCount count_;
    std::uint32_t references_ = 1;
    Refusal refuse_;
    std::vector<Ref<IDispatch>> objects_;
    QPointer<QWidget> widget_;
    QPointer<QLineEdit> portEdit_;
    std::int32_t port_ = 0; // the page's data: the port last exchanged
    bool dirty_ = false;
};

} // namespace stavik
