#pragma once

// The entry points of a component module, with C linkage so a host finds
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
// Why the last DllRegisterServer or DllUnregisterServer on this thread failed
// (the registry is malformed at line N, is a folder, cannot be created, ...),
// zero-terminated and cut to capacity: Ok. False with empty text when that
// call succeeded or none was made. A host must not require it: a module may
// lack this entry point.
STAVIK_EXPORT stavik::HResult DllGetErrorText(char* buffer, std::uint32_t capacity);

} // extern "C"

namespace stavik {
using RegisterServerFunction = HResult (*)();
using GetClassObjectFunction = HResult (*)(const Guid&, const Guid&, void**);
using CanUnloadNowFunction = HResult (*)();
using GetErrorTextFunction = HResult (*)(char*, std::uint32_t);
} // namespace stavik
