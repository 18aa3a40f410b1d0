#pragma once

#include <cstring>

namespace kelvane::joystick {

// How a joystick that lives inside this process (a VirtualJoystick) lets the
// joystick services sleep until its state changes, as a real device's file
// does. The services send this request to a device without a device file
// through SDL_JoystickSendEffect(); the device answers with a descriptor of its
// own that becomes readable at every change (an eventfd): a copy, which the
// services then own and close. A device that does not know the request leaves
// `answer` at -1 and is polled at its capture period.
struct ChangeSignalRequest {
    static constexpr char kMagic[] = "kelvane: change fd";

    char magic[sizeof kMagic] {};
    int* answer = nullptr;

    explicit ChangeSignalRequest(int* to) : answer(to) { std::memcpy(magic, kMagic, sizeof kMagic); }

    // The request in an effect's bytes, or null when they are something else.
    static const ChangeSignalRequest* from(const void* data, int size)
    {
        if (data == nullptr || size != static_cast<int>(sizeof(ChangeSignalRequest)))
            return nullptr;
        const auto* request = static_cast<const ChangeSignalRequest*>(data);
        return std::memcmp(request->magic, kMagic, sizeof kMagic) == 0 ? request : nullptr;
    }
};

} // namespace kelvane::joystick
