#pragma once
// The table of pictures: every picture the program carries, the indexes it comes in and its size.
// Written here once; the depot and the windows' models look pictures up in it, assets/CMakeLists.txt
// makes the resource list from its rows, the art generator paints it and the asset test checks it.
// It needs nothing but the standard library, so that the art generator builds against it alone.

#include <cstdint>

// Picture strips of the depot, plus the few pictures that belong to a single element.
enum class Strip : std::uint8_t {
    None,
    imgTime,     // 0-9 digits, 10 blank, 11 dark colon, 12 lit colon
    imgSet,      // 0-9 small digits, 10 blank
    imgHeader,   // 0 alarm on, 1 alarm off
    imgHeaderX,  // 0 normal, 1 hover
    imgHeaderV,  // 0 normal, 1 hover
    imgFixed,    // 0-9 normal presets, 10-19 hover
    imgPunchUp,  // 1-12 released project buttons
    imgPunchDn,  // 1-12 pressed project buttons
    imgPunch,    // 0 off, 1 on
    imgCenter,   // 0 alarm on, 1 alarm off
    imgEach,     // 0-5 announcer periods
    imgDial,     // 0-5 dial faces
    imgTrayIcon, // 0 alarm on, 1 alarm off
    mark,        // the dial mark's own picture
    arrow,       // the adjust arrows' shared picture
    description, // the confirm button's own picture
};

// A run of pictures: the files `first` to `last` of one strip, all of one size.
struct PictureRun {
    Strip strip;              // Strip::None: a picture only the shell names (the skin, the window icons)
    const char* file;         // below assets/ and below the resource root ":/"; "%i" stands for the index
    std::int16_t first, last; // indexes
    std::int16_t width, height;
    bool transparent; // drawn over what lies below, with a see-through surround; otherwise opaque 24-bit
};

// One run a line, in the order the art generator shows them on its contact sheet. The build reads
// the lines that start with "{Strip::" (file, first and last), so a run stays on one line.
// clang-format off
inline constexpr PictureRun PictureTable[] = {
    {Strip::None,        "skin.png",                      0,  0, 400, 195, false},
    {Strip::imgTime,     "depot/imgTime_%i.png",          0, 10,  26,  50, false},
    {Strip::imgTime,     "depot/imgTime_%i.png",         11, 12,   8,  50, false},
    {Strip::imgSet,      "depot/imgSet_%i.png",           0, 10,   8,  17, false},
    {Strip::imgHeader,   "depot/imgHeader_%i.png",        0,  1,  50,  20, false},
    {Strip::imgHeaderX,  "depot/imgHeaderX_%i.png",       0,  1,  28,  20, false},
    {Strip::imgHeaderV,  "depot/imgHeaderV_%i.png",       0,  1,  55,  20, false},
    // The ten presets have widths of their own; their hover pictures (index + 10) repeat them.
    {Strip::imgFixed,    "depot/imgFixed_%i.png",         0,  0,  28,  24, false},
    {Strip::imgFixed,    "depot/imgFixed_%i.png",         1,  1,  27,  24, false},
    {Strip::imgFixed,    "depot/imgFixed_%i.png",         2,  3,  28,  24, false},
    {Strip::imgFixed,    "depot/imgFixed_%i.png",         4,  4,  23,  24, false},
    {Strip::imgFixed,    "depot/imgFixed_%i.png",         5,  5,  24,  24, false},
    {Strip::imgFixed,    "depot/imgFixed_%i.png",         6,  6,  28,  24, false},
    {Strip::imgFixed,    "depot/imgFixed_%i.png",         7,  7,  27,  24, false},
    {Strip::imgFixed,    "depot/imgFixed_%i.png",         8,  9,  28,  24, false},
    {Strip::imgFixed,    "depot/imgFixed_%i.png",        10, 10,  28,  24, false},
    {Strip::imgFixed,    "depot/imgFixed_%i.png",        11, 11,  27,  24, false},
    {Strip::imgFixed,    "depot/imgFixed_%i.png",        12, 13,  28,  24, false},
    {Strip::imgFixed,    "depot/imgFixed_%i.png",        14, 14,  23,  24, false},
    {Strip::imgFixed,    "depot/imgFixed_%i.png",        15, 15,  24,  24, false},
    {Strip::imgFixed,    "depot/imgFixed_%i.png",        16, 16,  28,  24, false},
    {Strip::imgFixed,    "depot/imgFixed_%i.png",        17, 17,  27,  24, false},
    {Strip::imgFixed,    "depot/imgFixed_%i.png",        18, 19,  28,  24, false},
    {Strip::imgPunchUp,  "depot/imgPunchUp_%i.png",       1, 12,  31,  29, false},
    {Strip::imgPunchDn,  "depot/imgPunchDn_%i.png",       1, 12,  31,  29, false},
    {Strip::imgPunch,    "depot/imgPunch_%i.png",         0,  1,  30,  30, false},
    {Strip::imgCenter,   "depot/imgCenter_%i.png",        0,  1,  18,  18, true},
    {Strip::imgEach,     "depot/imgEach_%i.png",          0,  5,  30,  30, false},
    {Strip::mark,        "mark.png",                      0,  0,   9,   9, true},
    {Strip::arrow,       "arrow.png",                     0,  0,  22,   9, false},
    {Strip::description, "description.png",               0,  0,  19,  15, false},
    {Strip::imgDial,     "depot/imgDial_%i.png",          0,  5, 137, 137, false},
    // The tray icons come in two sizes; the window icons ICO0 and ICO1 are the same pictures.
    {Strip::imgTrayIcon, "depot/imgTrayIcon_%i_16.png",   0,  0,  16,  16, true},
    {Strip::None,        "icons/ICO%i_16.png",            0,  0,  16,  16, true},
    {Strip::imgTrayIcon, "depot/imgTrayIcon_%i_32.png",   0,  0,  32,  32, true},
    {Strip::None,        "icons/ICO%i_32.png",            0,  0,  32,  32, true},
    {Strip::imgTrayIcon, "depot/imgTrayIcon_%i_16.png",   1,  1,  16,  16, true},
    {Strip::None,        "icons/ICO%i_16.png",            1,  1,  16,  16, true},
    {Strip::imgTrayIcon, "depot/imgTrayIcon_%i_32.png",   1,  1,  32,  32, true},
    {Strip::None,        "icons/ICO%i_32.png",            1,  1,  32,  32, true},
    {Strip::None,        "icons/alarmwindow_16.png",      0,  0,  16,  16, true},
    {Strip::None,        "icons/alarmwindow_32.png",      0,  0,  32,  32, true},
    {Strip::None,        "icons/about_16.png",            0,  0,  16,  16, true},
    {Strip::None,        "icons/about_32.png",            0,  0,  32,  32, true},
    {Strip::None,        "icons/vakto_16.png",            0,  0,  16,  16, true},
    {Strip::None,        "icons/vakto_32.png",            0,  0,  32,  32, true},
    {Strip::None,        "icons/vakto_48.png",            0,  0,  48,  48, true},
    {Strip::None,        "icons/vakto_64.png",            0,  0,  64,  64, true},
    {Strip::None,        "icons/vakto_128.png",           0,  0, 128, 128, true},
    {Strip::None,        "icons/vakto_256.png",           0,  0, 256, 256, true},
};
// clang-format on

// The run holding picture `index` of `strip`, or nullptr. `size` picks between the tray icons'
// two sizes (16 or 32); 0 takes the first run that holds the index.
constexpr const PictureRun* FindPicture(Strip strip, int index, int size = 0) {
    if (strip == Strip::None) return nullptr;
    for (const PictureRun& run : PictureTable)
        if (run.strip == strip && index >= run.first && index <= run.last && (size == 0 || run.width == size))
            return &run;
    return nullptr;
}
