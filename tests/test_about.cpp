// The About box on the real shell (offscreen) and the two links to the maker's page, caught by a
// URL handler as the desktop's browser would receive them.

#include "about/frmabout.h"
#include "app/pointer.h"
#include "app/shell.h"
#include "app/shellports.h"
#include "tests/support/fakes.h"
#include "tray/traymenu.h"

#include <QDesktopServices>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void handle(const QUrl& url) { urls << url; }
};

namespace {
// A core on the real shell with the real browser port, so the links go through QDesktopServices.
struct AboutRig {
    FakeClock clock;
    FakeSound sound;
    DesktopBrowser browser;
    FakeDialogs dialogs;
    FakeTray tray;
    MainWindowPort window;
    QTemporaryDir dir;
    Vakto v{Ports{clock, sound, browser, dialogs, tray, window}, dir.path()};
    Shell shell{v};
    AboutRig() { window.attach(&shell); }
};

void DeleteLater() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
} // namespace

class TestAbout : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void layout_data();
    void layout();
    void textsAndFocus();
    void doneHidesAndShowsMainWithoutRestoring();
    void enterRightAfterOpeningIsDone();
    void titleBarCloseDestroysAndAboutCreatesAgain();
    void links_data();
    void links();

private:
    UrlCatcher m_catcher;
};

void TestAbout::init() {
    m_catcher.urls.clear();
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &m_catcher, "handle");
}

void TestAbout::cleanup() {
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
}

void TestAbout::layout_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("rect"); // relative to the element's parent
    QTest::newRow("frmAbout client area") << "frmAbout" << QRect(0, 0, 304, 139);
    QTest::newRow("Frame1") << "Frame1" << QRect(16, 8, 273, 81);
    QTest::newRow("Label1 inside the frame") << "Label1" << QRect(24, 24, 233, 25);
    QTest::newRow("cmdHTTP straddles the frame") << "cmdHTTP" << QRect(56, 72, 185, 25);
    QTest::newRow("cmdDone") << "cmdDone" << QRect(56, 96, 185, 25);
}

void TestAbout::layout() {
    QFETCH(QString, name);
    AboutRig r;
    r.shell.showAbout();
    FrmAbout* a = r.shell.aboutWindow();
    QVERIFY(a);
    QWidget* w = name == QLatin1String("frmAbout") ? a : a->findChild<QWidget*>(name);
    QVERIFY(w);
    QTEST(name == QLatin1String("frmAbout") ? QRect(QPoint(0, 0), a->size()) : w->geometry(), "rect");
    if (w == a) {
        QCOMPARE(a->minimumSize(), a->maximumSize()); // fixed size
        QVERIFY(!a->isModal());
    }
}

void TestAbout::textsAndFocus() {
    AboutRig r;
    r.shell.showAbout();
    FrmAbout* a = r.shell.aboutWindow();
    QVERIFY(QTest::qWaitForWindowExposed(a));
    QCOMPARE(a->windowTitle(), QStringLiteral("About Vakto"));
    QVERIFY(!a->windowIcon().isNull());
    QCOMPARE(a->frame()->title(), QStringLiteral("Vakto"));
    QCOMPARE(a->label()->text(), QStringLiteral("Analog clock, timer, alarm, time intervals announcer, punch clock."));
    QVERIFY(a->label()->wordWrap());
    QCOMPARE(a->label()->parentWidget(), a->frame());
    QCOMPARE(a->httpButton()->text(), QStringLiteral("https://vakto.example.org/"));
    QCOMPARE(a->doneButton()->text(), QStringLiteral("Done"));
    // The button lies above the frame it straddles, so its whole face is clickable.
    QCOMPARE(a->childAt(QPoint(100, 80)), a->httpButton());
    QCOMPARE(a->focusWidget(), a->doneButton());
    QWidgetList chain;
    for (QWidget* w = a->doneButton()->nextInFocusChain(); w != a->doneButton() && chain.size() < 10;
         w = w->nextInFocusChain())
        if (w != a) // the box itself takes no focus
            chain << w;
    QCOMPARE(chain.mid(0, 3), (QWidgetList{a->frame(), a->label(), a->httpButton()}));
    QTest::keyClick(a->doneButton(), Qt::Key_Tab);
    QCOMPARE(a->focusWidget(), a->httpButton());
}

void TestAbout::doneHidesAndShowsMainWithoutRestoring() {
    AboutRig r;
    r.window.show();
    // Hidden to the tray through the header V: minimised and hidden.
    r.window.setMinimised(true);
    r.window.hide();
    RunMenuItem(r.v, mnuAbout);
    FrmAbout* a = r.shell.aboutWindow();
    QVERIFY(a && a->isVisible());
    QTest::mouseClick(a->doneButton(), Qt::LeftButton);
    QVERIFY(!a->isVisible());
    QCOMPARE(r.shell.aboutWindow(), a); // hidden, not destroyed
    QVERIFY(r.window.isVisible());
    QVERIFY(r.window.isMinimised());
}

void TestAbout::enterRightAfterOpeningIsDone() {
    AboutRig r;
    r.shell.showAbout();
    FrmAbout* a = r.shell.aboutWindow();
    QVERIFY(QTest::qWaitForWindowActive(a));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(!a->isVisible());
    QVERIFY(r.window.isVisible());
    QVERIFY(m_catcher.urls.isEmpty());
}

void TestAbout::titleBarCloseDestroysAndAboutCreatesAgain() {
    AboutRig r;
    r.shell.showAbout();
    QPointer<FrmAbout> first = r.shell.aboutWindow();
    first->close();
    DeleteLater();
    QVERIFY(first.isNull());
    QVERIFY(!r.shell.aboutWindow());
    QVERIFY(!r.window.isVisible()); // a close shows nothing else
    r.shell.showAbout();
    QVERIFY(r.shell.aboutWindow());
    QVERIFY(r.shell.aboutWindow()->isVisible());
    r.shell.unloadAbout();
    QVERIFY(!r.shell.aboutWindow());
}

void TestAbout::links_data() {
    QTest::addColumn<bool>("fromHeader");
    QTest::addColumn<QString>("url");
    QTest::newRow("cmdHTTP opens the bare address") << false << "https://vakto.example.org/";
    QTest::newRow("imgAuthor adds ?=from vakto") << true << "https://vakto.example.org/?=from vakto";
}

void TestAbout::links() {
    QFETCH(bool, fromHeader);
    QFETCH(QString, url);
    AboutRig r;
    if (fromHeader) {
        // imgAuthor: 25 x 17 at 264, 0 on the main window; a click inside it.
        PointerPress(r.v, QPoint(276, 8), 1);
        PointerRelease(r.v, QPoint(276, 8), 1, 0);
    } else {
        r.shell.showAbout();
        QTest::mouseClick(r.shell.aboutWindow()->httpButton(), Qt::LeftButton);
    }
    QCOMPARE(m_catcher.urls.size(), 1);
    QCOMPARE(m_catcher.urls.first(), QUrl(url));
    QCOMPARE(m_catcher.urls.first().toString(), url);
    // Just outside the link area nothing opens.
    PointerPress(r.v, QPoint(289, 8), 1);
    PointerRelease(r.v, QPoint(289, 8), 1, 0);
    QCOMPARE(m_catcher.urls.size(), 1);
}

QTEST_MAIN(TestAbout)
#include "test_about.moc"
