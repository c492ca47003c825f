#pragma once
#include <cstdint>

// Four bytes in storage order blue, green, red, alpha; as a little-endian 32-bit number
// alpha<<24 | red<<16 | green<<8 | blue.
struct ArgbColor {
    std::uint8_t blue;
    std::uint8_t green;
    std::uint8_t red;
    std::uint8_t alpha;
};

std::uint32_t MakeArgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t alpha);
// Platform colour value: red | green<<8 | blue<<16, alpha in bits 24-31 only with keepAlpha.
std::uint32_t ArgbToColor(const ArgbColor& argb, std::int16_t keepAlpha);
std::uint32_t ColorToArgb(std::int32_t color, std::int16_t keepAlpha);
std::uint32_t BlendArgb(const ArgbColor& first, const ArgbColor& second, float weight);
std::uint8_t BlendChannel(std::uint8_t first, std::uint8_t second, float weight);
// System colour by index, taken from the desktop palette.
std::uint32_t GetSysColor(int index);
ArgbColor ArgbFromNumber(std::uint32_t n);
std::uint32_t ArgbNumber(const ArgbColor& c);
