#include "PersistedState.h"

namespace stavik {
namespace {

void put32(std::uint8_t* at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

std::uint32_t get32(const std::uint8_t* at)
{
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) {
        v = v << 8 | at[i];
    }
    return v;
}

constexpr std::size_t kVersionAt = 0;
constexpr std::size_t kWidthAt = 4;
constexpr std::size_t kHeightAt = 8;
constexpr std::size_t kMaskAt = 12;
constexpr std::size_t kEnabledAt = 16;
constexpr std::size_t kPortAt = 17;
constexpr std::size_t kThresholdAt = 21;
constexpr std::size_t kPeriodAt = 25;

} // namespace

std::array<std::uint8_t, PersistedState::kSize> encodeState(const PersistedState& state)
{
    std::array<std::uint8_t, PersistedState::kSize> bytes {};
    put32(&bytes[kVersionAt], PersistedState::kVersion);
    put32(&bytes[kWidthAt], static_cast<std::uint32_t>(state.extentWidth));
    put32(&bytes[kHeightAt], static_cast<std::uint32_t>(state.extentHeight));
    put32(&bytes[kMaskAt], PersistedState::kStockMaskEnabled);
    bytes[kEnabledAt] = state.enabled ? 1 : 0;
    put32(&bytes[kPortAt], static_cast<std::uint32_t>(state.port));
    put32(&bytes[kThresholdAt], static_cast<std::uint32_t>(state.threshold));
    put32(&bytes[kPeriodAt], static_cast<std::uint32_t>(state.period));
    return bytes;
}

HResult decodeState(std::span<const std::uint8_t> bytes, PersistedState& state)
{
    if (bytes.size() < PersistedState::kSize) {
        return result::StreamTooShort;
    }
    const std::uint8_t* b = bytes.data();
    if (get32(b + kVersionAt) != PersistedState::kVersion || get32(b + kMaskAt) != PersistedState::kStockMaskEnabled) {
        return result::StreamInvalid;
    }
    PersistedState read;
    read.extentWidth = static_cast<std::int32_t>(get32(b + kWidthAt));
    read.extentHeight = static_cast<std::int32_t>(get32(b + kHeightAt));
    read.enabled = b[kEnabledAt] != 0;
    read.port = static_cast<std::int32_t>(get32(b + kPortAt));
    read.threshold = static_cast<std::int32_t>(get32(b + kThresholdAt));
    read.period = static_cast<std::int32_t>(get32(b + kPeriodAt));
    state = read;
    return result::Ok;
}

} // namespace stavik
