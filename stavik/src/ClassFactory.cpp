#include "ClassFactory.h"

#include "stavik/Ref.h"

namespace stavik {

ClassFactory::ClassFactory(ModuleLifetime& lifetime, Creator create) : lifetime_(lifetime), create_(std::move(create))
{
}

HResult ClassFactory::QueryInterface(const Guid& iid, void** object)
{
    return answerQuery(iid, object, {answers<IClassFactory>(iid::ClassFactory, this)});
}

std::uint32_t ClassFactory::AddRef()
{
    return 2; // lives with the module
}

std::uint32_t ClassFactory::Release() { return 1; }

HResult ClassFactory::CreateInstance(IUnknown* outer, const Guid& iid, void** object)
{
    if (object == nullptr) {
        return result::Pointer;
    }
    *object = nullptr;
    if (outer != nullptr) {
        return result::NoAggregation;
    }
    return create_(iid, object);
}

HResult ClassFactory::LockServer(bool lock)
{
    if (lock) {
        lifetime_.lock();
        return result::Ok;
    }
    // An unlock without a lock is the caller's mistake; counting it would
    // let the module unload under someone else's lock.
    return lifetime_.unlock() ? result::Ok : result::Unexpected;
}

} // namespace stavik
