#include "ControlPicture.h"

namespace stavik {

void stretchBitmap(const resources::Bitmap& bitmap, std::uint32_t* pixels, int width, int height, int stride)
{
    if (pixels == nullptr || width <= 0 || height <= 0 || stride < width) {
        return;
    }
    for (int y = 0; y < height; ++y) {
        const int sourceY = static_cast<int>(static_cast<long long>(y) * bitmap.height / height);
        std::uint32_t* row = pixels + static_cast<long long>(y) * stride;
        for (int x = 0; x < width; ++x) {
            const int sourceX = static_cast<int>(static_cast<long long>(x) * bitmap.width / width);
            row[x] = resources::pixel(bitmap, sourceX, sourceY);
        }
    }
}

} // namespace stavik
