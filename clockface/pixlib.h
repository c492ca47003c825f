#pragma once
// Colour helpers of the line drawer. They run for every edge pixel of every hand once a second, so
// they are inline, keep no state and allocate nothing.

#include <cmath>
#include <cstdint>

// Four bytes in storage order blue, green, red, alpha; as a little-endian 32-bit number
// alpha<<24 | red<<16 | green<<8 | blue.
struct ArgbColor {
    std::uint8_t blue;
    std::uint8_t green;
    std::uint8_t red;
    std::uint8_t alpha;
};

// A platform colour value 0x80000000..0x800000FF names a system colour by its low byte.
constexpr std::uint32_t SysColorFlag = 0x80000000u;

// System colour by index as a platform colour value (red | green<<8 | blue<<16), taken from the
// desktop palette; 0 (black) for an index that names no colour.
std::uint32_t GetSysColor(int index);

inline std::uint32_t MakeArgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t alpha) {
    return std::uint32_t(alpha) << 24 | std::uint32_t(red) << 16 | std::uint32_t(green) << 8 | blue;
}

inline ArgbColor ArgbFromNumber(std::uint32_t n) {
    return ArgbColor{std::uint8_t(n & 0xFFu), std::uint8_t(n >> 8 & 0xFFu), std::uint8_t(n >> 16 & 0xFFu),
                     std::uint8_t(n >> 24)};
}

// Platform colour value: red | green<<8 | blue<<16, alpha in bits 24-31 only with keepAlpha.
inline std::uint32_t ArgbToColor(const ArgbColor& argb, std::int16_t keepAlpha) {
    const std::uint32_t rgb = std::uint32_t(argb.red) | std::uint32_t(argb.green) << 8 | std::uint32_t(argb.blue) << 16;
    return keepAlpha ? rgb | std::uint32_t(argb.alpha) << 24 : rgb;
}

// Splits a platform colour value (or resolves a system colour reference) into an ArgbColor number;
// alpha is 255 unless keepAlpha asks for bits 24-31 of a plain value.
inline std::uint32_t ColorToArgb(std::int32_t color, std::int16_t keepAlpha) {
    auto c = static_cast<std::uint32_t>(color);
    if ((c & 0xFFFFFF00u) == SysColorFlag) c = GetSysColor(int(c & 0xFFu)) | 0xFF000000u;
    const std::uint8_t alpha = keepAlpha ? std::uint8_t(c >> 24) : std::uint8_t(255);
    return MakeArgb(std::uint8_t(c & 0xFFu), std::uint8_t(c >> 8 & 0xFFu), std::uint8_t(c >> 16 & 0xFFu), alpha);
}

// (1 - weight) * first + weight * second in double precision on the unchanged 32-bit weight, then
// nearest with ties to even under the default rounding mode (127.5 -> 128, 2.5 -> 2). A weight
// outside 0..1 saturates at 0 or 255 instead of wrapping around.
inline std::uint8_t BlendChannel(std::uint8_t first, std::uint8_t second, float weight) {
    const double w = weight;
    const double value = std::nearbyint((1.0 - w) * double(first) + w * double(second));
    if (!(value >= 0.0)) return 0;
    if (value > 255.0) return 255;
    return static_cast<std::uint8_t>(value);
}

// (1 - weight) of the first colour plus weight of the second, channel by channel, alpha included.
inline std::uint32_t BlendArgb(const ArgbColor& first, const ArgbColor& second, float weight) {
    return MakeArgb(BlendChannel(first.red, second.red, weight), BlendChannel(first.green, second.green, weight),
                    BlendChannel(first.blue, second.blue, weight), BlendChannel(first.alpha, second.alpha, weight));
}

// A premultiplied picture pixel over an opaque one, exactly as Qt's raster engine draws a
// premultiplied picture at full opacity: every channel of `under` times (255 - alpha), divided by
// 255 with Qt's rounding (t + t / 256 + 128) / 256, plus the picture's channel, byte by byte.
inline std::uint32_t OverPremultiplied(std::uint32_t under, std::uint32_t pic) {
    const std::uint32_t alpha = pic >> 24;
    if (alpha == 255) return pic;
    if (pic == 0) return under;
    const std::uint32_t k = 255 - alpha;
    std::uint32_t rb = (under & 0xFF00FFu) * k;
    rb = (rb + (rb >> 8 & 0xFF00FFu) + 0x800080u) >> 8 & 0xFF00FFu;
    std::uint32_t ag = (under >> 8 & 0xFF00FFu) * k;
    ag = (ag + (ag >> 8 & 0xFF00FFu) + 0x800080u) & 0xFF00FF00u;
    return ((rb + (pic & 0xFF00FFu)) & 0xFF00FFu) | ((ag + (pic & 0xFF00FF00u)) & 0xFF00FF00u);
}
