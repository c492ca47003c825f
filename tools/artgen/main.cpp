// artgen: paints every picture of Vakto, synthesises the alarm chime and writes the default
// ledger. Usage: artgen <assets folder> <work folder for previews>
#include "art.h"
#include "sound.h"

#include "model/pictures.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>

namespace {

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "artgen: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

bool writePng(const QString& path, const QImage& image, bool alpha) {
    // Opaque pictures are stored as 24-bit RGB, the others as RGBA.
    const QImage out = image.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB888);
    if (!out.save(path, "PNG")) {
        std::fprintf(stderr, "artgen: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

// Heading on the contact sheet of the pictures of a run.
QString groupOf(const PictureRun& run) {
    switch (run.strip) {
    case Strip::imgTime:
    case Strip::imgSet:
        return QStringLiteral("Digits: imgTime (10 blank, 11 dark colon, 12 lit colon), imgSet (10 blank)");
    case Strip::imgHeader:
    case Strip::imgHeaderX:
    case Strip::imgHeaderV:
        return QStringLiteral("Header: imgHeader (0 alarm on, 1 off), imgHeaderX / imgHeaderV (0 normal, 1 hover)");
    case Strip::imgFixed:
        return QStringLiteral("Presets: imgFixed (0-9 normal, 10-19 hover)");
    case Strip::imgPunchUp:
    case Strip::imgPunchDn:
        return QStringLiteral("Projects: imgPunchUp (released), imgPunchDn (selected)");
    case Strip::imgPunch:
    case Strip::imgCenter:
    case Strip::imgEach:
    case Strip::mark:
    case Strip::arrow:
    case Strip::description:
        return QStringLiteral("On the dial: imgPunch (0 off, 1 on), imgCenter (0 alarm on, 1 off), "
                              "imgEach (0 off, 10, 15, 20, 30, 60); mark, arrow, confirm button");
    case Strip::imgDial:
        return QStringLiteral(
            "Dials: imgDial (0 none, 1 every 10, 2 every 15, 3 every 20, 4 every 30, 5 every 60 minutes)");
    case Strip::imgTrayIcon:
    case Strip::None:
        break;
    }
    if (QLatin1String(run.file) == QLatin1String("skin.png")) return QStringLiteral("Skin");
    return QStringLiteral("Icons: tray and window (0 / ICO0 alarm on, 1 / ICO1 off), alarm window, About, application");
}

// Picture `i` of a run; a null image for a run no painter knows.
QImage paint(const PictureRun& run, int i) {
    switch (run.strip) {
    case Strip::imgTime:
        return art::bigDigit(i);
    case Strip::imgSet:
        return art::smallDigit(i);
    case Strip::imgHeader:
        return art::headerAlarm(i == 0);
    case Strip::imgHeaderX:
        return art::headerQuit(i == 1);
    case Strip::imgHeaderV:
        return art::headerHide(i == 1);
    case Strip::imgFixed:
        return art::preset(i % 10, i >= 10);
    case Strip::imgPunchUp:
        return art::project(i, false);
    case Strip::imgPunchDn:
        return art::project(i, true);
    case Strip::imgPunch:
        return art::punch(i == 1);
    case Strip::imgCenter:
        return art::centre(i == 0);
    case Strip::imgEach:
        return art::announcer(i);
    case Strip::imgDial:
        return art::dial(i);
    case Strip::imgTrayIcon:
        return art::alarmClockIcon(run.width, i == 0);
    case Strip::mark:
        return art::mark();
    case Strip::arrow:
        return art::arrow();
    case Strip::description:
        return art::confirm();
    case Strip::None:
        break;
    }
    // The pictures only the shell names, told apart by their files.
    const QString file = QString::fromLatin1(run.file);
    if (file == QLatin1String("skin.png")) return art::skin();
    if (file.startsWith(QLatin1String("icons/ICO"))) return art::alarmClockIcon(run.width, i == 0);
    if (file.startsWith(QLatin1String("icons/alarmwindow_"))) return art::ringingIcon(run.width);
    if (file.startsWith(QLatin1String("icons/about_"))) return art::aboutIcon(run.width);
    if (file.startsWith(QLatin1String("icons/vakto_"))) return art::appIcon(run.width);
    return {};
}

// Every picture of the table of pictures, painted, in the table's order. False when a picture has
// no painter or comes out at another size than the table gives.
bool allPictures(QList<art::Picture>& list) {
    bool ok = true;
    for (const PictureRun& run : PictureTable)
        for (int i = run.first; i <= run.last; ++i) {
            const QString file = QString::fromLatin1(run.file).replace(QLatin1String("%i"), QString::number(i));
            const QImage img = paint(run, i);
            if (img.size() != QSize(run.width, run.height)) {
                std::fprintf(stderr, "artgen: %s is %dx%d, the table says %dx%d\n", qPrintable(file), img.width(),
                             img.height(), run.width, run.height);
                ok = false;
            }
            list.append({file, groupOf(run), img, run.transparent});
        }
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: artgen <assets folder> <work folder>\n");
        return 2;
    }
    if (!art::loadFonts()) {
        std::fprintf(stderr, "artgen: DejaVu Sans Bold not found (Debian package fonts-dejavu-core)\n");
        return 1;
    }
    const QDir assets(QString::fromLocal8Bit(argv[1]));
    const QDir work(QString::fromLocal8Bit(argv[2]));
    for (const char* sub : {"depot", "icons", "wav"})
        assets.mkpath(QString::fromLatin1(sub));
    work.mkpath(QStringLiteral("."));

    QList<art::Picture> pictures;
    bool ok = allPictures(pictures);
    for (const art::Picture& pic : pictures)
        ok = writePng(assets.filePath(pic.file), pic.image, pic.alpha) && ok;
    ok = writePng(assets.filePath(QStringLiteral("contact-sheet.png")), art::contactSheet(pictures), false) && ok;
    ok = writeFile(assets.filePath(QStringLiteral("wav/alarm.wav")), alarmChimeWav()) && ok;
    ok = writeFile(assets.filePath(QStringLiteral("vakto.dat")), defaultLedger()) && ok;

    // previews for the eye, not committed: the window after start-up and with everything running
    for (bool busy : {false, true}) {
        const QImage shot = art::mockup(busy);
        const QString name = busy ? QStringLiteral("mockup") : QStringLiteral("mockup-start");
        ok = writePng(work.filePath(name + QStringLiteral(".png")), shot, false) && ok;
        ok = writePng(work.filePath(name + QStringLiteral("-3x.png")),
                      shot.scaled(shot.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation), false) &&
             ok;
    }
    std::printf("artgen: %lld pictures, chime and ledger written to %s\n", static_cast<long long>(pictures.size()),
                qPrintable(assets.absolutePath()));
    return ok ? 0 : 1;
}
