#pragma once

#include "Resources.h"

#include <cstdint>

namespace stavik {

// Draws bitmap stretched over a width x height rectangle of ARGB pixels
// (rows stride pixels apart), nearest pixel, as a 16-colour picture is
// stretched on screen. Nothing is drawn for an empty rectangle.
void stretchBitmap(const resources::Bitmap& bitmap, std::uint32_t* pixels, int width, int height, int stride);

} // namespace stavik
