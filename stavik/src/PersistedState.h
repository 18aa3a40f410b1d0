#pragma once

#include "stavik/Runtime.h"

#include <array>
#include <cstdint>
#include <span>

namespace stavik {

// The control's persisted properties, in the order they are stored:
//   offset  0  property-exchange version      uint32  0x00020000
//   offset  4  extent width, HIMETRIC         int32   847
//   offset  8  extent height, HIMETRIC        int32   847
//   offset 12  stock property mask            uint32  0x00000040 (Enabled only)
//   offset 16  Enabled                        byte    1 = True
//   offset 17  Port                           int32
//   offset 21  Threshold                      int32
//   offset 25  Period                         int32
// All little-endian, 29 bytes.
struct PersistedState {
    static constexpr std::uint32_t kVersion = 0x00020000;
    static constexpr std::uint32_t kStockMaskEnabled = 0x00000040;
    static constexpr std::int32_t kDefaultExtent = 847; // 32 pixels at 96 per inch
    static constexpr std::size_t kSize = 29;

    std::int32_t extentWidth = kDefaultExtent;
    std::int32_t extentHeight = kDefaultExtent;
    bool enabled = true;
    std::int32_t port = 0;
    std::int32_t threshold = 0;
    std::int32_t period = 0;

    friend bool operator==(const PersistedState&, const PersistedState&) = default;
};

std::array<std::uint8_t, PersistedState::kSize> encodeState(const PersistedState& state);

// Reads a stream written by encodeState. Ok and state filled in; StreamTooShort
// when fewer than 29 bytes are given; StreamInvalid when the version or the
// stock property mask is not the one above (state is then left unchanged).
HResult decodeState(std::span<const std::uint8_t> bytes, PersistedState& state);

} // namespace stavik
