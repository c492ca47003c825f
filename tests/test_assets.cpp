// Checks the supplied pictures, chime and ledger in the source tree's assets folder: every
// picture of the table of pictures exists at its exact size, see-through where the table says so,
// and is compiled in as it is (and nothing else is); alternative looks really differ, backgrounds line up where
// pictures meet, the digits and dials show what they stand for, and the chime and the default ledger have the promised
// format.
#include "model/pictures.h"

#include <QByteArray>
#include <QColor>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QtEndian>
#include <QtTest>

#include <cmath>

namespace {

QString assetPath(const QString& file) {
    return QStringLiteral(VAKTO_SOURCE_DIR "/assets/") + file;
}

QImage load(const QString& file) {
    return QImage(assetPath(file));
}

// The files of the table of pictures, in its order, each with its run.
QList<QPair<QString, const PictureRun*>> tablePictures() {
    QList<QPair<QString, const PictureRun*>> files;
    for (const PictureRun& run : PictureTable)
        for (int i = run.first; i <= run.last; ++i)
            files.append({QString::fromLatin1(run.file).replace(QLatin1String("%i"), QString::number(i)), &run});
    return files;
}

QString depot(const QString& strip, int index) {
    return QStringLiteral("depot/%1_%2.png").arg(strip).arg(index);
}

// Pixels whose colours differ noticeably (summed channel difference above 24, alpha included).
int differingPixels(const QImage& a, const QImage& b) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QColor p = a.pixelColor(x, y), q = b.pixelColor(x, y);
            const int d = std::abs(p.red() - q.red()) + std::abs(p.green() - q.green()) +
                          std::abs(p.blue() - q.blue()) + std::abs(p.alpha() - q.alpha());
            if (d > 24) ++n;
        }
    return n;
}

bool isAmber(const QColor& c) {
    return c.alpha() > 128 && c.red() > 190 && c.green() > 90 && c.green() < 215 && c.blue() < 120;
}

int amberPixels(const QImage& img) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (isAmber(img.pixelColor(x, y))) ++n;
    return n;
}

// Segments a..g (top, upper right, lower right, bottom, lower left, upper left, middle) of each digit.
const int segmentMasks[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};

quint32 le32(const QByteArray& b, int at) {
    return qFromLittleEndian<quint32>(b.constData() + at);
}

quint16 le16(const QByteArray& b, int at) {
    return qFromLittleEndian<quint16>(b.constData() + at);
}

} // namespace

class TestAssets : public QObject {
    Q_OBJECT

private slots:
    void pictureSizes_data();
    void pictureSizes();
    void nothingElseCompiledIn();
    void alternativesDiffer_data();
    void alternativesDiffer();
    void alarmOnIsAmber_data();
    void alarmOnIsAmber();
    void digitSegments_data();
    void digitSegments();
    void digitEdgesBlendIntoSkin();
    void dialCornersMatchButtons_data();
    void dialCornersMatchButtons();
    void announcedTicks_data();
    void announcedTicks();
    void defaultLedgerBytes();
    void alarmChime();
};

void TestAssets::pictureSizes_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("transparent");
    for (const auto& [file, run] : tablePictures())
        QTest::newRow(qPrintable(file)) << file << QSize(run->width, run->height) << run->transparent;
}

void TestAssets::pictureSizes() {
    QFETCH(QString, file);
    QFETCH(QSize, size);
    QFETCH(bool, transparent);
    const QImage img = load(file);
    QVERIFY2(!img.isNull(), qPrintable(QStringLiteral("missing or unreadable: ") + assetPath(file)));
    QCOMPARE(img.size(), size);
    // The program shows the compiled-in copy: it must be this very picture.
    const QImage compiled(QStringLiteral(":/") + file);
    QVERIFY2(!compiled.isNull(), qPrintable(QStringLiteral("not compiled in: :/") + file));
    QCOMPARE(compiled, img);
    if (!transparent) {
        QVERIFY2(!img.hasAlphaChannel(), "an opaque picture must be 24-bit, without alpha");
        return;
    }
    // See-through around the subject, which itself is solid.
    QVERIFY(img.hasAlphaChannel());
    const int w = img.width() - 1, h = img.height() - 1;
    for (const QPoint& corner : {QPoint(0, 0), QPoint(w, 0), QPoint(0, h), QPoint(w, h)})
        QCOMPARE(qAlpha(img.pixel(corner)), 0);
    QCOMPARE(qAlpha(img.pixel(img.width() / 2, img.height() / 2)), 255);
}

void TestAssets::nothingElseCompiledIn() {
    QStringList table;
    for (const auto& [file, run] : tablePictures())
        table << file;
    QStringList compiled;
    QDirIterator it(QStringLiteral(":/"), {QStringLiteral("*.png")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next().mid(2);
        if (!file.startsWith(QLatin1String("qt-project.org/"))) compiled << file; // Qt's own
    }
    table.sort();
    compiled.sort();
    QCOMPARE(compiled, table);
}

void TestAssets::alternativesDiffer_data() {
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<int>("percent"); // share of pixels that must change; 0 = a label-sized change
    auto pair = [](const QString& a, const QString& b, int percent = 3) {
        QTest::newRow(qPrintable(a + QStringLiteral(" vs ") + b)) << a << b << percent;
    };
    for (const char* strip : {"imgHeader", "imgHeaderX", "imgHeaderV", "imgPunch", "imgCenter"})
        pair(depot(QLatin1String(strip), 0), depot(QLatin1String(strip), 1));
    pair(depot(QStringLiteral("imgTime"), 11), depot(QStringLiteral("imgTime"), 12));
    for (int i = 0; i < 10; ++i)
        pair(depot(QStringLiteral("imgFixed"), i), depot(QStringLiteral("imgFixed"), i + 10));
    for (int k = 1; k <= 12; ++k)
        pair(depot(QStringLiteral("imgPunchUp"), k), depot(QStringLiteral("imgPunchDn"), k));
    // the announcer states differ only in their label (the dials are checked tick by tick below)
    for (int i = 0; i < 6; ++i)
        for (int j = i + 1; j < 6; ++j)
            pair(depot(QStringLiteral("imgEach"), i), depot(QStringLiteral("imgEach"), j), 0);
    for (int size : {16, 32}) {
        pair(QStringLiteral("depot/imgTrayIcon_0_%1.png").arg(size),
             QStringLiteral("depot/imgTrayIcon_1_%1.png").arg(size));
        pair(QStringLiteral("icons/ICO0_%1.png").arg(size), QStringLiteral("icons/ICO1_%1.png").arg(size));
    }
}

void TestAssets::alternativesDiffer() {
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(int, percent);
    const QImage a = load(first), b = load(second);
    QVERIFY(!a.isNull() && !b.isNull());
    QCOMPARE(a.size(), b.size());
    // "Visibly different": the given share of the pixels, and never fewer than 8.
    const int needed = std::max(8, a.width() * a.height() * percent / 100);
    const int changed = differingPixels(a, b);
    QVERIFY2(changed >= needed, qPrintable(QStringLiteral("only %1 pixels differ, want %2").arg(changed).arg(needed)));
}

void TestAssets::alarmOnIsAmber_data() {
    QTest::addColumn<QString>("on");
    QTest::addColumn<QString>("off");
    QTest::newRow("header") << depot(QStringLiteral("imgHeader"), 0) << depot(QStringLiteral("imgHeader"), 1);
    QTest::newRow("centre") << depot(QStringLiteral("imgCenter"), 0) << depot(QStringLiteral("imgCenter"), 1);
    for (int size : {16, 32}) {
        QTest::newRow(qPrintable(QStringLiteral("tray %1").arg(size)))
            << QStringLiteral("depot/imgTrayIcon_0_%1.png").arg(size)
            << QStringLiteral("depot/imgTrayIcon_1_%1.png").arg(size);
        QTest::newRow(qPrintable(QStringLiteral("window %1").arg(size)))
            << QStringLiteral("icons/ICO0_%1.png").arg(size) << QStringLiteral("icons/ICO1_%1.png").arg(size);
    }
}

void TestAssets::alarmOnIsAmber() {
    QFETCH(QString, on);
    QFETCH(QString, off);
    const QImage a = load(on), b = load(off);
    QVERIFY(!a.isNull() && !b.isNull());
    // Amber means "alarm on": a fifth of the on picture or 25 pixels, whichever is less, and none when off.
    const int needed = std::min(25, a.width() * a.height() / 5);
    QVERIFY2(amberPixels(a) >= needed, qPrintable(QStringLiteral("%1 amber pixels").arg(amberPixels(a))));
    QCOMPARE(amberPixels(b), 0);
}

void TestAssets::digitSegments_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("mask");
    QTest::addColumn<bool>("big");
    for (int i = 0; i <= 10; ++i) {
        const int mask = i < 10 ? segmentMasks[i] : 0;
        QTest::newRow(qPrintable(QStringLiteral("big %1").arg(i)))
            << depot(QStringLiteral("imgTime"), i) << mask << true;
        QTest::newRow(qPrintable(QStringLiteral("small %1").arg(i)))
            << depot(QStringLiteral("imgSet"), i) << mask << false;
    }
}

void TestAssets::digitSegments() {
    QFETCH(QString, file);
    QFETCH(int, mask);
    QFETCH(bool, big);
    const QImage img = load(file);
    QVERIFY(!img.isNull());
    // A pixel in the middle of each segment a..g.
    const QPoint bigCentres[7] = {{13, 5}, {21, 15}, {21, 35}, {13, 45}, {5, 35}, {5, 15}, {13, 25}};
    const QPoint smallCentres[7] = {{3, 1}, {6, 5}, {6, 12}, {3, 16}, {1, 12}, {1, 5}, {3, 8}};
    const QColor ground = img.pixelColor(0, 0);
    for (int s = 0; s < 7; ++s) {
        const QColor c = img.pixelColor(big ? bigCentres[s] : smallCentres[s]);
        const bool lit = c.green() > 140;
        QVERIFY2(lit == bool(mask & (1 << s)), qPrintable(QStringLiteral("segment %1").arg(QChar('a' + s))));
        // unlit segments stay faintly visible over the background
        if (!lit)
            QVERIFY2(c != ground && c.green() < ground.green() + 60,
                     qPrintable(QStringLiteral("segment %1 unlit look").arg(QChar('a' + s))));
    }
}

void TestAssets::digitEdgesBlendIntoSkin() {
    // The big digit cells overlap their neighbours by two columns, and the small digits sit both
    // on the skin and on the dial's corners: their backgrounds must be the colour underneath.
    const QImage skin = load(QStringLiteral("skin.png"));
    const QImage dial = load(depot(QStringLiteral("imgDial"), 0));
    QVERIFY(!skin.isNull() && !dial.isNull());
    const QRgb lcd = skin.pixel(112, 34) & 0xFFFFFF;
    for (int i = 0; i <= 12; ++i) {
        const QImage d = load(depot(QStringLiteral("imgTime"), i));
        QVERIFY(!d.isNull());
        const QList<int> plain = i <= 10 ? QList<int>{0, 1, 24, 25} : QList<int>{0, 7};
        for (int x : plain)
            for (int y = 0; y < d.height(); ++y)
                QVERIFY2((d.pixel(x, y) & 0xFFFFFF) == lcd,
                         qPrintable(QStringLiteral("imgTime %1 at %2,%3").arg(i).arg(x).arg(y)));
    }
    for (const QPoint& cell : {QPoint(112, 34), QPoint(218, 34), QPoint(112, 96), QPoint(218, 145), QPoint(115, 84)})
        QCOMPARE(skin.pixel(cell) & 0xFFFFFF, lcd);
    const QImage small = load(depot(QStringLiteral("imgSet"), 10));
    const QImage arrow = load(QStringLiteral("arrow.png"));
    QVERIFY(!small.isNull() && !arrow.isNull());
    QCOMPARE(small.pixel(0, 0) & 0xFFFFFF, skin.pixel(220, 25) & 0xFFFFFF);
    QCOMPARE(small.pixel(0, 0) & 0xFFFFFF, skin.pixel(235, 41) & 0xFFFFFF);
    QCOMPARE(small.pixel(0, 0) & 0xFFFFFF, dial.pixel(0, 5) & 0xFFFFFF);
    QCOMPARE(small.pixel(0, 0) & 0xFFFFFF, dial.pixel(129, 21) & 0xFFFFFF);
    QCOMPARE(arrow.pixel(0, 0) & 0xFFFFFF, lcd);
}

void TestAssets::dialCornersMatchButtons_data() {
    QTest::addColumn<int>("dial");
    for (int i = 0; i < 6; ++i)
        QTest::newRow(qPrintable(QStringLiteral("dial %1").arg(i))) << i;
}

void TestAssets::dialCornersMatchButtons() {
    // imgPunch and imgEach are opaque squares over the dial's lower corners: along their top row
    // and outer column they must repeat the dial's own pixels, rim included, on every dial.
    QFETCH(int, dial);
    const QImage face = load(depot(QStringLiteral("imgDial"), dial));
    QVERIFY(!face.isNull());
    struct Corner {
        Strip strip;
        int left;
        int outerColumn;
    };
    for (const Corner& c : {Corner{Strip::imgPunch, 0, 0}, Corner{Strip::imgEach, 107, 29}}) {
        const PictureRun* run = FindPicture(c.strip, 0);
        QVERIFY(run);
        for (int s = run->first; s <= run->last; ++s) {
            const QImage button = load(QString::fromLatin1(run->file).replace(QLatin1String("%i"), QString::number(s)));
            QVERIFY(!button.isNull());
            for (int i = 0; i < 30; ++i) {
                QCOMPARE(button.pixel(i, 0) & 0xFFFFFF, face.pixel(c.left + i, 107) & 0xFFFFFF);
                QCOMPARE(button.pixel(c.outerColumn, i) & 0xFFFFFF,
                         face.pixel(c.left + c.outerColumn, 107 + i) & 0xFFFFFF);
            }
        }
    }
}

void TestAssets::announcedTicks_data() {
    QTest::addColumn<int>("dial");
    QTest::addColumn<QList<int>>("hours");
    QTest::newRow("0 off") << 0 << QList<int>{};
    QTest::newRow("1 every 10") << 1 << QList<int>{0, 2, 4, 6, 8, 10};
    QTest::newRow("2 every 15") << 2 << QList<int>{0, 3, 6, 9};
    QTest::newRow("3 every 20") << 3 << QList<int>{0, 4, 8};
    QTest::newRow("4 every 30") << 4 << QList<int>{0, 6};
    QTest::newRow("5 every 60") << 5 << QList<int>{0};
}

void TestAssets::announcedTicks() {
    QFETCH(int, dial);
    QFETCH(QList<int>, hours);
    const QImage face = load(depot(QStringLiteral("imgDial"), dial));
    QVERIFY(!face.isNull());
    for (int h = 0; h < 12; ++h) {
        // the middle of the tick, on the radius the outer part of every tick covers
        const double a = h * 30.0 * 3.14159265358979 / 180.0;
        const QPoint at(static_cast<int>(std::floor(68.5 + 56.0 * std::sin(a))),
                        static_cast<int>(std::floor(68.5 - 56.0 * std::cos(a))));
        const QColor c = face.pixelColor(at);
        const bool bright = c.red() > 200 && c.green() > 200 && c.blue() > 200;
        QVERIFY2(bright == hours.contains(h), qPrintable(QStringLiteral("tick at %1 o'clock").arg(h == 0 ? 12 : h)));
    }
}

void TestAssets::defaultLedgerBytes() {
    QFile f(assetPath(QStringLiteral("vakto.dat")));
    QVERIFY2(f.open(QIODevice::ReadOnly), "assets/vakto.dat missing");
    const QByteArray expected("#\th\tm\tproject\r\n"
                              "\r\n"
                              "1\t0\t0\tProject 1\r\n"
                              "2\t0\t0\tProject 2\r\n"
                              "3\t0\t0\tProject 3\r\n"
                              "4\t0\t0\tProject 4\r\n"
                              "5\t0\t0\tProject 5\r\n"
                              "6\t0\t0\tProject 6\r\n"
                              "7\t0\t0\tProject 7\r\n"
                              "8\t0\t0\tProject 8\r\n"
                              "9\t0\t0\tProject 9\r\n"
                              "10\t0\t0\tProject 10\r\n"
                              "11\t0\t0\tProject 11\r\n"
                              "12\t0\t0\tProject 12\r\n");
    QCOMPARE(f.readAll(), expected);
}

void TestAssets::alarmChime() {
    QFile f(assetPath(QStringLiteral("wav/alarm.wav")));
    QVERIFY2(f.open(QIODevice::ReadOnly), "assets/wav/alarm.wav missing");
    const QByteArray wav = f.readAll();
    QVERIFY(wav.size() > 44);
    QCOMPARE(wav.left(4), QByteArray("RIFF"));
    QCOMPARE(wav.mid(8, 4), QByteArray("WAVE"));
    QCOMPARE(int(le32(wav, 4)), wav.size() - 8);

    // walk the chunks: fmt first, then data, possibly with others between
    int channels = 0, rate = 0, bits = 0, format = 0;
    QByteArray data;
    for (int at = 12; at + 8 <= wav.size();) {
        const QByteArray id = wav.mid(at, 4);
        const int size = int(le32(wav, at + 4));
        QVERIFY2(at + 8 + size <= wav.size(), "chunk runs past the end of the file");
        if (id == "fmt ") {
            format = le16(wav, at + 8);
            channels = le16(wav, at + 10);
            rate = int(le32(wav, at + 12));
            QCOMPARE(int(le16(wav, at + 20)), channels * 2); // block align
            bits = le16(wav, at + 22);
        } else if (id == "data") {
            data = wav.mid(at + 8, size);
        }
        at += 8 + size + (size & 1);
    }
    QCOMPARE(format, 1);
    QVERIFY(channels == 1 || channels == 2);
    QCOMPARE(rate, 44100);
    QCOMPARE(bits, 16);
    QVERIFY(!data.isEmpty());

    const int frames = data.size() / (2 * channels);
    const double seconds = double(frames) / rate;
    QVERIFY2(seconds >= 1.0 && seconds <= 2.0, qPrintable(QStringLiteral("%1 s").arg(seconds)));
    const int silentFrames = int(std::ceil(0.150 * rate));
    int peak = 0;
    for (int i = 0; i < frames * channels; ++i) {
        const int v = std::abs(int(qint16(le16(data, 2 * i))));
        if (i >= (frames - silentFrames) * channels)
            QVERIFY2(v == 0, qPrintable(QStringLiteral("sample %1 of the final 150 ms is not silent").arg(i)));
        peak = std::max(peak, v);
    }
    QVERIFY2(peak > 32767 / 3, "the chime is too quiet to be heard");
    QVERIFY2(peak < 32767, "the chime clips");
}

QTEST_GUILESS_MAIN(TestAssets)
#include "test_assets.moc"
