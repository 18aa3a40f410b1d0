#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace kelvane::audio::testing {

// A 16-bit stereo PCM WAV file of `frames` frames, every frame (left, right).
inline std::string constantWave(
    const std::filesystem::path& path, int rate, int frames, std::int16_t left, std::int16_t right)
{
    std::vector<std::int16_t> samples;
    for (int f = 0; f < frames; ++f) {
        samples.push_back(left);
        samples.push_back(right);
    }
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * sizeof(std::int16_t));
    std::ofstream out(path, std::ios::binary);
    auto u32 = [&out](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&out](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    out.write("RIFF", 4);
    u32(36 + dataBytes);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1); // PCM
    u16(2);
    u32(static_cast<std::uint32_t>(rate));
    u32(static_cast<std::uint32_t>(rate * 4));
    u16(4);
    u16(16);
    out.write("data", 4);
    u32(dataBytes);
    out.write(reinterpret_cast<const char*>(samples.data()), dataBytes);
    return path.string();
}

} // namespace kelvane::audio::testing
