#pragma once

#include "stavik/Runtime.h"

namespace stavik {

// How the module's property page marks the module's control as modified once
// it has written the user's values into it: the page writes Port through
// dispatch like any client, and writing Port alone leaves the flag as it is.
// Known only inside the module; an object of another module does not answer it.
class IModifiedFlag : public IUnknown {
public:
    virtual HResult SetModified() = 0;

protected:
    ~IModifiedFlag() = default;
};

namespace iid {
inline constexpr Guid ModifiedFlag {0xD5906E08, 0x2660, 0x426B, {0xA4, 0x3D, 0x9E, 0xB3, 0xE6, 0xC5, 0xC5, 0x6D}};
} // namespace iid

} // namespace stavik
