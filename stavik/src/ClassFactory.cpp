#include "ClassFactory.h"

namespace stavik {

ClassFactory::ClassFactory(ModuleLifetime& lifetime, Creator create) : lifetime_(lifetime), create_(std::move(create))
{
}

HResult ClassFactory::QueryInterface(const Guid& iid, void** object)
{
    if (object == nullptr) {
        return result::Pointer;
    }
    if (iid == iid::Unknown || iid == iid::ClassFactory) {
        *object = static_cast<IClassFactory*>(this);
        return result::Ok;
    }
    *object = nullptr;
    return result::NoInterface;
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
    } else {
        lifetime_.unlock();
    }
    return result::Ok;
}

} // namespace stavik
