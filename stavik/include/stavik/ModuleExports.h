#pragma once

// The four entry points of a component module, with C linkage so a host finds
// them by name with dlsym. The registry file they write is the one the
// environment variable STAVIK_REGISTRY names, else
// $XDG_DATA_HOME/kelvane/components.reg (~/.local/share/kelvane/ by default).

#include "stavik/Export.h"
#include "stavik/Runtime.h"

extern "C" {

// Registers the type library, then every class of the module. Ok, or
// SelfRegTypeLib when the type library stage failed (no class is then
// registered), or SelfRegClass when a class could not be registered.
STAVIK_EXPORT stavik::HResult DllRegisterServer();
// Removes the type library, then every class. Same results as registering.
STAVIK_EXPORT stavik::HResult DllUnregisterServer();
// The class object of clsid, answered for iid. ClassNotAvailable for a class
// the module does not house.
STAVIK_EXPORT stavik::HResult DllGetClassObject(const stavik::Guid& clsid, const stavik::Guid& iid, void** object);
// Ok when no object of the module is alive and no class object is locked; False otherwise.
STAVIK_EXPORT stavik::HResult DllCanUnloadNow();

} // extern "C"

namespace stavik {
using RegisterServerFunction = HResult (*)();
using GetClassObjectFunction = HResult (*)(const Guid&, const Guid&, void**);
using CanUnloadNowFunction = HResult (*)();
} // namespace stavik
