#pragma once

namespace kelvane {

// Deliberate waits on the user-interface thread.
class Pause {
public:
    virtual ~Pause() = default;
    // Waits without handling any other event (the panic sweep).
    virtual void wait(int milliseconds) = 0;
    // Waits, then lets every pending event run before returning (the lighting
    // fades): handlers may run nested inside the caller.
    virtual void waitThenHandleEvents(int milliseconds) = 0;
};

} // namespace kelvane
