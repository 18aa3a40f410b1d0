#include "lighting/LightMessages.h"

#include <cctype>

namespace kelvane {

std::optional<int> deskMidiChannel(const std::string& boxText)
{
    std::size_t first = 0;
    std::size_t end = boxText.size();
    while (first < end && std::isspace(static_cast<unsigned char>(boxText[first])))
        ++first;
    while (end > first && std::isspace(static_cast<unsigned char>(boxText[end - 1])))
        --end;
    if (first == end)
        return std::nullopt;
    int channel = 0;
    for (std::size_t i = first; i < end; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(boxText[i])))
            return std::nullopt;
        channel = channel * 10 + (boxText[i] - '0');
        if (channel > 16) // stops long texts before they overflow
            return std::nullopt;
    }
    if (channel < 1 || channel > 16)
        return std::nullopt;
    return channel;
}

} // namespace kelvane
