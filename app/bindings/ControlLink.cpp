#include "bindings/ControlLink.h"

#include <QAbstractEventDispatcher>
#include <QPointer>

#include <algorithm>
#include <vector>

namespace kelvane::views {

// The links of one thread that wait for the event loop's next turn, in the
// order they went stale.
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
        if (watching_)
            return;
        // The refreshes run when the event loop comes round: Qt's event
        // dispatcher says so before it would wait for new events, and when
        // events are processed by hand. Nothing is posted, so marking a view
        // stale inside a press costs no allocation and no wake-up.
        QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
        if (!dispatcher) {
            // No event loop to wait for: nothing else can be shown later.
            refreshAll();
            return;
        }
        watching_ = dispatcher;
        QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [] { ofThisThread().refreshAll(); });
        QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, [] { ofThisThread().refreshAll(); });
    }

    void remove(ControlLink& link)
    {
        const auto first = waiting_.begin() + static_cast<std::ptrdiff_t>(head_);
        std::replace(first, waiting_.end(), &link, static_cast<ControlLink*>(nullptr));
    }

    // Refreshes the stale links in order, including any that a refresh makes
    // stale (the loop may not come round again soon). A refresh that runs a
    // nested event loop (and so this function again) leaves the rest to the
    // inner call.
    void refreshAll()
    {
        while (head_ < waiting_.size()) {
            ControlLink* link = waiting_[head_++];
            if (link)
                link->refreshNow();
        }
        if (head_ >= waiting_.size()) {
            waiting_.clear();
            head_ = 0;
        }
    }

private:
    std::vector<ControlLink*> waiting_; // entries before head_ are done; null: destroyed
    std::size_t head_ = 0;
    QPointer<QAbstractEventDispatcher> watching_; // the dispatcher whose turns refresh the links
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
