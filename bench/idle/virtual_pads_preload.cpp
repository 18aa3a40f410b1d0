// Preloaded into the real program by kelvane_idle_bench (LD_PRELOAD) on a
// machine without game controllers: when the program first starts SDL's
// joystick subsystem, two virtual pads (SDL virtual joysticks) are plugged in,
// so that its joystick controls find and capture two devices, as they would
// two pads on stage. The pads stay for the life of the process and are never
// touched.
#include "kelvane/joystick/VirtualJoystick.h"

#include <SDL.h>

#include <dlfcn.h>

namespace {

using InitSubSystem = int (*)(Uint32);

thread_local bool plugging = false;
kelvane::joystick::VirtualJoystick* firstPad = nullptr;
kelvane::joystick::VirtualJoystick* secondPad = nullptr;

} // namespace

extern "C" __attribute__((visibility("default"))) int SDL_InitSubSystem(Uint32 flags)
{
    static const auto sdlInit = reinterpret_cast<InitSubSystem>(dlsym(RTLD_NEXT, "SDL_InitSubSystem"));
    if (!sdlInit)
        return -1;
    const int result = sdlInit(flags);
    // The pads start the subsystem themselves (and come back here).
    if (result == 0 && (flags & SDL_INIT_JOYSTICK) != 0 && !plugging && firstPad == nullptr) {
        plugging = true;
        firstPad = new kelvane::joystick::VirtualJoystick;
        secondPad = new kelvane::joystick::VirtualJoystick;
        plugging = false;
    }
    return result;
}
