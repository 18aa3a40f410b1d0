#pragma once

#include "ModuleLifetime.h"

#include "stavik/Runtime.h"

#include <functional>

namespace stavik {

// A class object: makes objects of one class. Class objects live as long as
// the module (they are created when it is loaded), so their reference count
// does not end them and does not keep the module loaded; LockServer does.
class ClassFactory final : public IClassFactory {
public:
    // create: makes a new object and answers it for iid (class-factory contract).
    using Creator = std::function<HResult(const Guid& iid, void** object)>;

    ClassFactory(ModuleLifetime& lifetime, Creator create);
    ~ClassFactory() = default;

    HResult QueryInterface(const Guid& iid, void** object) override;
    std::uint32_t AddRef() override;
    std::uint32_t Release() override;
    HResult CreateInstance(IUnknown* outer, const Guid& iid, void** object) override;
    HResult LockServer(bool lock) override;

private:
    ModuleLifetime& lifetime_;
    Creator create_;
};

} // namespace stavik
