#include "clockface/pixlib.h"
std::uint32_t MakeArgb(std::uint8_t, std::uint8_t, std::uint8_t, std::uint8_t) { return 0; }
std::uint32_t ArgbToColor(const ArgbColor&, std::int16_t) { return 0; }
std::uint32_t ColorToArgb(std::int32_t, std::int16_t) { return 0; }
std::uint32_t BlendArgb(const ArgbColor&, const ArgbColor&, float) { return 0; }
std::uint8_t BlendChannel(std::uint8_t, std::uint8_t, float) { return 0; }
std::uint32_t GetSysColor(int) { return 0; }
ArgbColor ArgbFromNumber(std::uint32_t) { return {}; }
std::uint32_t ArgbNumber(const ArgbColor&) { return 0; }
