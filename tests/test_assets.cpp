// Checks the supplied pictures, chime and ledger in the source tree's assets folder: every
// picture the depot and the windows use exists at its exact size, pictures that must be see-through
// are, alternative looks really differ, backgrounds line up where pictures meet, the digits and dials
// show what they stand for, and the chime and the default ledger have the promised format.
#include <QByteArray>
#include <QColor>
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
    void skinIsOpaque();
    void transparentSurround_data();
    void transparentSurround();
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
    auto row = [](const QString& file, int w, int h) { QTest::newRow(qPrintable(file)) << file << QSize(w, h); };
    row(QStringLiteral("skin.png"), 400, 195);
    for (int i = 0; i <= 10; ++i)
        row(depot(QStringLiteral("imgTime"), i), 26, 50);
    row(depot(QStringLiteral("imgTime"), 11), 8, 50);
    row(depot(QStringLiteral("imgTime"), 12), 8, 50);
    for (int i = 0; i <= 10; ++i)
        row(depot(QStringLiteral("imgSet"), i), 8, 17);
    for (int i = 0; i < 2; ++i) {
        row(depot(QStringLiteral("imgHeader"), i), 50, 20);
        row(depot(QStringLiteral("imgHeaderX"), i), 28, 20);
        row(depot(QStringLiteral("imgHeaderV"), i), 55, 20);
        row(depot(QStringLiteral("imgPunch"), i), 30, 30);
        row(depot(QStringLiteral("imgCenter"), i), 18, 18);
    }
    const int presetWidths[10] = {28, 27, 28, 28, 23, 24, 28, 27, 28, 28};
    for (int i = 0; i < 20; ++i)
        row(depot(QStringLiteral("imgFixed"), i), presetWidths[i % 10], 24);
    for (int k = 1; k <= 12; ++k) {
        row(depot(QStringLiteral("imgPunchUp"), k), 31, 29);
        row(depot(QStringLiteral("imgPunchDn"), k), 31, 29);
    }
    for (int i = 0; i < 6; ++i) {
        row(depot(QStringLiteral("imgEach"), i), 30, 30);
        row(depot(QStringLiteral("imgDial"), i), 137, 137);
    }
    for (int size : {16, 32}) {
        for (int state = 0; state < 2; ++state) {
            row(QStringLiteral("depot/imgTrayIcon_%1_%2.png").arg(state).arg(size), size, size);
            row(QStringLiteral("icons/ICO%1_%2.png").arg(state).arg(size), size, size);
        }
        row(QStringLiteral("icons/alarmwindow_%1.png").arg(size), size, size);
        row(QStringLiteral("icons/about_%1.png").arg(size), size, size);
    }
    for (int size : {16, 32, 48, 64, 128, 256})
        row(QStringLiteral("icons/vakto_%1.png").arg(size), size, size);
    row(QStringLiteral("mark.png"), 9, 9);
    row(QStringLiteral("arrow.png"), 22, 9);
    row(QStringLiteral("description.png"), 19, 15);
}

void TestAssets::pictureSizes() {
    QFETCH(QString, file);
    QFETCH(QSize, size);
    const QImage img = load(file);
    QVERIFY2(!img.isNull(), qPrintable(QStringLiteral("missing or unreadable: ") + assetPath(file)));
    QCOMPARE(img.size(), size);
}

void TestAssets::skinIsOpaque() {
    const QImage skin = load(QStringLiteral("skin.png"));
    QVERIFY(!skin.isNull());
    QVERIFY2(!skin.hasAlphaChannel(), "the skin must be a 24-bit picture without alpha");
}

void TestAssets::transparentSurround_data() {
    QTest::addColumn<QString>("file");
    for (const QString& f :
         {QStringLiteral("mark.png"), depot(QStringLiteral("imgCenter"), 0), depot(QStringLiteral("imgCenter"), 1)})
        QTest::newRow(qPrintable(f)) << f;
    for (int size : {16, 32}) {
        for (int state = 0; state < 2; ++state) {
            const QString tray = QStringLiteral("depot/imgTrayIcon_%1_%2.png").arg(state).arg(size);
            const QString ico = QStringLiteral("icons/ICO%1_%2.png").arg(state).arg(size);
            QTest::newRow(qPrintable(tray)) << tray;
            QTest::newRow(qPrintable(ico)) << ico;
        }
        for (const QString& f : {QStringLiteral("icons/alarmwindow_%1.png"), QStringLiteral("icons/about_%1.png")})
            QTest::newRow(qPrintable(f.arg(size))) << f.arg(size);
    }
    for (int size : {16, 32, 48, 64, 128, 256})
        QTest::newRow(qPrintable(QStringLiteral("vakto_%1").arg(size)))
            << QStringLiteral("icons/vakto_%1.png").arg(size);
}

void TestAssets::transparentSurround() {
    QFETCH(QString, file);
    const QImage img = load(file);
    QVERIFY(!img.isNull());
    QVERIFY(img.hasAlphaChannel());
    const int w = img.width() - 1, h = img.height() - 1;
    for (const QPoint& corner : {QPoint(0, 0), QPoint(w, 0), QPoint(0, h), QPoint(w, h)})
        QCOMPARE(qAlpha(img.pixel(corner)), 0);
    QCOMPARE(qAlpha(img.pixel(img.width() / 2, img.height() / 2)), 255); // the subject itself is solid
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
        const char* strip;
        int left;
        int outerColumn;
    };
    for (const Corner& c : {Corner{"imgPunch", 0, 0}, Corner{"imgEach", 107, 29}}) {
        const int states = QLatin1String(c.strip) == QLatin1String("imgPunch") ? 2 : 6;
        for (int s = 0; s < states; ++s) {
            const QImage button = load(depot(QLatin1String(c.strip), s));
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
