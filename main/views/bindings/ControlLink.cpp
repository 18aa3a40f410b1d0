#include "bindings/ControlLink.h"

#include <QCoreApplication>
#include <QPointer>

#include <algorithm>
#include <vector>

namespace kelvane::views {

// The links of one thread that wait for the event loop's next turn, in the
// order they went stale, and the one posted event that will refresh them.
class StaleLinks {
public:
    static StaleLinks& ofThisThread()
    {
        thread_local StaleLinks links;
        return links;
    }

    void add(ControlLink& link)
    {
        waiting_.push_back(&link);
        QCoreApplication* app = QCoreApplication::instance();
        if (!app) {
            // No event loop to wait for: nothing else can be shown later.
            refreshAll();
            return;
        }
        if (postedTo_ == app)
            return;
        postedTo_ = app;
        QMetaObject::invokeMethod(
            app, [] { ofThisThread().refreshAll(); }, Qt::QueuedConnection);
    }

    void remove(ControlLink& link)
    {
        const auto first = waiting_.begin() + static_cast<std::ptrdiff_t>(head_);
        std::replace(first, waiting_.end(), &link, static_cast<ControlLink*>(nullptr));
    }

    // Refreshes the links that were stale when it began. Links that go stale
    // during a refresh wait for the next turn. A refresh that runs a nested
    // event loop (and so this function again) leaves the rest to the inner call.
    void refreshAll()
    {
        postedTo_ = nullptr;
        const std::size_t end = waiting_.size();
        while (head_ < std::min(end, waiting_.size())) {
            ControlLink* link = waiting_[head_++];
            if (link)
                link->refreshNow();
        }
        if (head_ >= waiting_.size()) {
            waiting_.clear();
            head_ = 0;
        }
        if (!waiting_.empty() && !postedTo_ && QCoreApplication::instance()) {
            postedTo_ = QCoreApplication::instance();
            QMetaObject::invokeMethod(
                postedTo_, [] { ofThisThread().refreshAll(); }, Qt::QueuedConnection);
        }
    }

private:
    std::vector<ControlLink*> waiting_; // entries before head_ are done; null: destroyed
    std::size_t head_ = 0;
    QPointer<QCoreApplication> postedTo_; // the application holding the posted event
};

ControlLink::ControlLink(Control& control, std::function<void()> refresh, Delivery delivery) :
    control_(control),
    refresh_(std::move(refresh)),
    delivery_(delivery),
    token_(control.changed().connect([this] { changed(); }))
{
}

ControlLink::~ControlLink()
{
    control_.changed().disconnect(token_);
    if (stale_)
        StaleLinks::ofThisThread().remove(*this);
}

void ControlLink::changed()
{
    if (delivery_ == Delivery::AtOnce) {
        refresh_();
        return;
    }
    if (stale_)
        return;
    stale_ = true;
    StaleLinks::ofThisThread().add(*this);
}

void ControlLink::refreshNow()
{
    stale_ = false;
    refresh_();
}

void refreshStaleViews() { StaleLinks::ofThisThread().refreshAll(); }

} // namespace kelvane::views
