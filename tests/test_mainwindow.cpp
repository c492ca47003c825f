// The real main window on the offscreen platform: it paints the element model faithfully
// (a golden picture at a fixed time) and takes the user's clicks at the elements' places.

#include "app/frmvakto.h"
#include "app/shell.h"
#include "app/shellports.h"
#include "app/startup.h"
#include "tests/support/fakes.h"

#include <QtTest>

namespace {
struct Real {
    FakeClock clock;
    FakeSound sound;
    FakeBrowser browser;
    FakeDialogs dialogs;
    FakeTray tray;
    MainWindowPort window;
    QTemporaryDir dir;
    std::unique_ptr<Vakto> v;
    std::unique_ptr<Shell> shell;

    explicit Real(QTime at) {
        QFile::copy(QStringLiteral(VAKTO_SOURCE_DIR "/assets/vakto.dat"), dir.path() + QStringLiteral("/vakto.dat"));
        clock.t = QDateTime(QDate(2026, 12, 9), at);
        v = std::make_unique<Vakto>(Ports{clock, sound, browser, dialogs, tray, window}, dir.path());
        shell = std::make_unique<Shell>(*v);
        window.attach(shell.get());
    }
    FrmVakto* w() { return shell->mainWindow(); }
    QImage grab() {
        QCoreApplication::processEvents();
        return w()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
};

const QString Golden = QStringLiteral(VAKTO_SOURCE_DIR "/tests/golden/main_101520.png");

int DifferentPixels(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return a.width() * a.height();
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}
} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void goldenAtFixedTime();
    void movedElementFailsTheGolden();
    void windowIsFramelessFixedSize();
    void clickOnHeaderXQuits();
};

void TestMainWindow::goldenAtFixedTime() {
    Real r(QTime(10, 15, 20));
    QVERIFY(Startup(*r.v));
    r.shell->sync();
    const QImage shot = r.grab();
    QCOMPARE(shot.size(), QSize(385, 195));
    if (qEnvironmentVariableIsSet("VAKTO_UPDATE_GOLDEN")) {
        QVERIFY(shot.save(Golden));
        QSKIP("golden picture written");
    }
    const QImage golden = QImage(Golden).convertToFormat(QImage::Format_RGB32);
    QVERIFY2(!golden.isNull(), "golden picture missing; run with VAKTO_UPDATE_GOLDEN=1");
    const int diff = DifferentPixels(shot, golden);
    if (diff) shot.save(QDir::tempPath() + QStringLiteral("/main_101520_actual.png"));
    QCOMPARE(diff, 0);
}

void TestMainWindow::movedElementFailsTheGolden() {
    Real r(QTime(10, 15, 20));
    QVERIFY(Startup(*r.v));
    // One preset button one pixel off its place must show in the comparison.
    SetPos(r.v->main.imgFixed[3], 193, 164);
    r.shell->sync();
    const QImage golden = QImage(Golden).convertToFormat(QImage::Format_RGB32);
    QVERIFY(!golden.isNull());
    QVERIFY(DifferentPixels(r.grab(), golden) > 0);
}

void TestMainWindow::windowIsFramelessFixedSize() {
    Real r(QTime(9, 0, 0));
    QVERIFY(Startup(*r.v));
    QVERIFY(r.w()->windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(r.w()->size(), QSize(385, 195));
    QCOMPARE(r.w()->minimumSize(), r.w()->maximumSize());
    QCOMPARE(r.w()->windowTitle(), QStringLiteral("Vakto"));
}

void TestMainWindow::clickOnHeaderXQuits() {
    Real r(QTime(9, 0, 0));
    QVERIFY(Startup(*r.v));
    r.shell->sync();
    QTest::mouseClick(r.w(), Qt::LeftButton, Qt::NoModifier, QPoint(310, 10));
    QVERIFY(r.window.ended());
    QCOMPARE(r.window.status(), 0);
}

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
