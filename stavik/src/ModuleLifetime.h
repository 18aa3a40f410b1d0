#pragma once

#include <atomic>

namespace stavik {

// Counts what keeps a component module loaded: live objects and class-object
// locks. A module has exactly one (see Module.cpp); tests make their own.
// Counting is atomic because a host may ask whether the module can be unloaded
// from any thread, even though the objects themselves live on the UI thread.
class ModuleLifetime {
public:
    void objectCreated() { ++objects_; }
    void objectDestroyed() { --objects_; }
    void lock() { ++locks_; }
    // Takes back one lock; false, changing nothing, when none is held.
    bool unlock()
    {
        int held = locks_.load();
        while (held > 0) {
            if (locks_.compare_exchange_weak(held, held - 1)) {
                return true;
            }
        }
        return false;
    }
    bool canUnload() const { return objects_.load() == 0 && locks_.load() == 0; }
    int liveObjects() const { return objects_.load(); }

private:
    std::atomic<int> objects_ {0};
    std::atomic<int> locks_ {0};
};

// Counts one object of the module for as long as it lives.
class ModuleObjectCount {
public:
    explicit ModuleObjectCount(ModuleLifetime& lifetime) : lifetime_(lifetime) { lifetime_.objectCreated(); }
    ~ModuleObjectCount() { lifetime_.objectDestroyed(); }
    ModuleObjectCount(const ModuleObjectCount&) = delete;
    ModuleObjectCount& operator=(const ModuleObjectCount&) = delete;

private:
    ModuleLifetime& lifetime_;
};

} // namespace stavik
