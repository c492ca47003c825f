// artgen: paints every picture of Vakto, synthesises the alarm chime and writes the default
// ledger. Usage: artgen <assets folder> <work folder for previews>
#include "art.h"
#include "sound.h"

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

QList<art::Picture> allPictures() {
    using art::Picture;
    QList<Picture> list;
    auto depot = [&list](const QString& group, const QString& strip, int index, const QImage& img, bool alpha) {
        list.append({QStringLiteral("depot/%1_%2.png").arg(strip).arg(index), group, img, alpha});
    };
    list.append({QStringLiteral("skin.png"), QStringLiteral("Skin"), art::skin(), false});

    const QString digits = QStringLiteral("Digits: imgTime (10 blank, 11 dark colon, 12 lit colon), imgSet (10 blank)");
    for (int i = 0; i <= 12; ++i)
        depot(digits, QStringLiteral("imgTime"), i, art::bigDigit(i), false);
    for (int i = 0; i <= 10; ++i)
        depot(digits, QStringLiteral("imgSet"), i, art::smallDigit(i), false);

    const QString header =
        QStringLiteral("Header: imgHeader (0 alarm on, 1 off), imgHeaderX / imgHeaderV (0 normal, 1 hover)");
    depot(header, QStringLiteral("imgHeader"), 0, art::headerAlarm(true), false);
    depot(header, QStringLiteral("imgHeader"), 1, art::headerAlarm(false), false);
    for (int i = 0; i < 2; ++i)
        depot(header, QStringLiteral("imgHeaderX"), i, art::headerQuit(i == 1), false);
    for (int i = 0; i < 2; ++i)
        depot(header, QStringLiteral("imgHeaderV"), i, art::headerHide(i == 1), false);

    const QString presets = QStringLiteral("Presets: imgFixed (0-9 normal, 10-19 hover)");
    for (int i = 0; i < 20; ++i)
        depot(presets, QStringLiteral("imgFixed"), i, art::preset(i % 10, i >= 10), false);

    const QString projects = QStringLiteral("Projects: imgPunchUp (released), imgPunchDn (selected)");
    for (int k = 1; k <= 12; ++k)
        depot(projects, QStringLiteral("imgPunchUp"), k, art::project(k, false), false);
    for (int k = 1; k <= 12; ++k)
        depot(projects, QStringLiteral("imgPunchDn"), k, art::project(k, true), false);

    const QString dialParts = QStringLiteral("On the dial: imgPunch (0 off, 1 on), imgCenter (0 alarm on, 1 off), "
                                             "imgEach (0 off, 10, 15, 20, 30, 60); mark, arrow, confirm button");
    depot(dialParts, QStringLiteral("imgPunch"), 0, art::punch(false), false);
    depot(dialParts, QStringLiteral("imgPunch"), 1, art::punch(true), false);
    depot(dialParts, QStringLiteral("imgCenter"), 0, art::centre(true), true);
    depot(dialParts, QStringLiteral("imgCenter"), 1, art::centre(false), true);
    for (int i = 0; i < 6; ++i)
        depot(dialParts, QStringLiteral("imgEach"), i, art::announcer(i), false);
    list.append({QStringLiteral("mark.png"), dialParts, art::mark(), true});
    list.append({QStringLiteral("arrow.png"), dialParts, art::arrow(), false});
    list.append({QStringLiteral("description.png"), dialParts, art::confirm(), false});

    const QString dials =
        QStringLiteral("Dials: imgDial (0 none, 1 every 10, 2 every 15, 3 every 20, 4 every 30, 5 every 60 minutes)");
    for (int i = 0; i < 6; ++i)
        depot(dials, QStringLiteral("imgDial"), i, art::dial(i), false);

    const QString icons =
        QStringLiteral("Icons: tray and window (0 / ICO0 alarm on, 1 / ICO1 off), alarm window, About, application");
    for (int state = 0; state < 2; ++state)
        for (int size : {16, 32}) {
            const QImage img = art::alarmClockIcon(size, state == 0);
            list.append({QStringLiteral("depot/imgTrayIcon_%1_%2.png").arg(state).arg(size), icons, img, true});
            list.append({QStringLiteral("icons/ICO%1_%2.png").arg(state).arg(size), icons, img, true});
        }
    for (int size : {16, 32})
        list.append({QStringLiteral("icons/alarmwindow_%1.png").arg(size), icons, art::ringingIcon(size), true});
    for (int size : {16, 32})
        list.append({QStringLiteral("icons/about_%1.png").arg(size), icons, art::aboutIcon(size), true});
    for (int size : {16, 32, 48, 64, 128, 256})
        list.append({QStringLiteral("icons/vakto_%1.png").arg(size), icons, art::appIcon(size), true});
    return list;
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

    bool ok = true;
    const QList<art::Picture> pictures = allPictures();
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
