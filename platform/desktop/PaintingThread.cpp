#include "desktop/PaintingThread.h"

#include <QThread>
#include <QThreadPool>

#include <dlfcn.h>

#include <atomic>

namespace {

std::atomic<const QThread*> paintingThread {nullptr};

// Qt's own QThreadPool::contains(), found behind this program's definition.
using Contains = bool (*)(const QThreadPool*, const QThread*);
Contains qtContains()
{
    static const Contains original = [] {
        void* symbol = dlsym(RTLD_NEXT, "_ZNK11QThreadPool8containsEPK7QThread");
        return reinterpret_cast<Contains>(symbol);
    }();
    return original;
}

} // namespace

// The program's definition comes before Qt's in the dynamic linker's search,
// so Qt's painter reaches this one; everybody else gets Qt's answer.
bool QThreadPool::contains(const QThread* thread) const
{
    if (thread && thread == paintingThread.load(std::memory_order_relaxed))
        return true;
    const Contains original = qtContains();
    return original && original(this, thread);
}

namespace kelvane::views {

void paintOnThisThreadOnly() { paintingThread.store(QThread::currentThread(), std::memory_order_relaxed); }

} // namespace kelvane::views
