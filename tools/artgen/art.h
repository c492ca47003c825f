#pragma once

#include <QImage>
#include <QString>

// Painters for every picture of the skin. Each returns a finished image at its exact size;
// opaque pictures come back without an alpha channel, see `Picture::alpha`.
namespace art {

struct Picture {
    QString file;  // path relative to the assets folder, e.g. "depot/imgTime_0.png"
    QString group; // heading on the contact sheet
    QImage image;
    bool alpha; // false: written as 24-bit RGB
};

// Loads DejaVu Sans Bold; returns false when the font file is missing.
bool loadFonts();

QImage skin();
QImage bigDigit(int index);   // 0..9 digits, 10 blank, 11 dark colon, 12 lit colon
QImage smallDigit(int index); // 0..9 digits, 10 blank
QImage headerAlarm(bool on);
QImage headerQuit(bool hover);
QImage headerHide(bool hover);
QImage preset(int index, bool hover); // index 0..9
QImage project(int number, bool pressed);
QImage dial(int index); // 0 plain, 1..5 the announced ticks stand out
QImage punch(bool on);
QImage centre(bool alarmOn);
QImage announcer(int index);
QImage mark();
QImage arrow();
QImage confirm();
QImage alarmClockIcon(int size, bool alarmOn);
QImage ringingIcon(int size);
QImage aboutIcon(int size);
QImage appIcon(int size);

// Hours of the ticks that dial `index` highlights (12 o'clock is 0).
QList<int> announcedHours(int index);

// Whole-window previews: `setting` shows a running timer with the adjust arrows and some state.
QImage mockup(bool busy);

// Contact sheet of all pictures at 1x and 4x.
QImage contactSheet(const QList<Picture>& pictures);

} // namespace art
