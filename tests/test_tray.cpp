// The tray: the icon and its tooltip, the tray messages, the menu and its items, and the real
// QSystemTrayIcon port (on the offscreen platform, which has no tray).

#include "alarm/alarmstate.h"
#include "app/mainwindow.h"
#include "app/pointer.h"
#include "app/shell.h"
#include "app/shellports.h"
#include "app/startup.h"
#include "tests/support/harness.h"
#include "tray/qttray.h"
#include "tray/systray.h"
#include "tray/traymenu.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTimer>
#include <QtTest>

namespace {
const QString AddFailed = QStringLiteral("Unable to add icon to system tray");
const QString ChangeFailed = QStringLiteral("Unable to change icon in system tray");

// A tray message as the platform hands it over: the main window's mouse move, x = message, y = 0.
void TrayMessage(Harness& h, int msg) {
    OnMainMouseMove(*h.v, MouseEv{0, msg, 0});
}

struct RealShell {
    FakeClock clock;
    FakeSound sound;
    FakeBrowser browser;
    FakeDialogs dialogs;
    QtTray tray;
    MainWindowPort window;
    QTemporaryDir dir;
    Vakto v{Ports{clock, sound, browser, dialogs, tray, window}, dir.path()};
    Shell shell{v};
    RealShell() {
        QFile f(dir.path() + QStringLiteral("/vakto.dat"));
        if (f.open(QIODevice::WriteOnly)) f.write(SuppliedLedger());
        window.attach(&shell);
        tray.attach(&shell);
    }
};
} // namespace

class TestTray : public QObject {
    Q_OBJECT
private slots:
    void trayMessages_data();
    void trayMessages();
    void secondMessageWhileMenuOpenIsRefused();
    void menuItems_data();
    void menuItems();
    void alarmSwitchedFromTheMenu();
    void iconAndTooltipFollowTheAlarm_data();
    void iconAndTooltipFollowTheAlarm();
    void startupShowsAlarmOffAfterAlarmOn();
    void noTrayReportsOnceAndRemembersState();
    void changeFailureReportedOnlyWhileShown();
    void removeIsSilentAlsoWhenAbsent();
    void headerVWithoutTrayOnlyMinimises_data();
    void headerVWithoutTrayOnlyMinimises();
    void activationReasons_data();
    void activationReasons();
    void iconsHaveBothSizes_data();
    void iconsHaveBothSizes();
    void realMenuAsTheUserSeesIt();
    void exportedMenuFollowsTheCore();
    void realTrayWithoutTrayIsNotShown();
};

void TestTray::trayMessages_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<bool>("minimised");
    QTest::addColumn<int>("menus");
    // The window starts hidden and minimised, as the header V leaves it.
    QTest::newRow("513 left press restores and shows") << 0 << 513 << 0 << true << false << 0;
    QTest::newRow("515 double click shows, still minimised") << 0 << 515 << 0 << true << true << 0;
    QTest::newRow("517 right release opens the menu") << 0 << 517 << 0 << false << true << 1;
    QTest::newRow("512 move") << 0 << 512 << 0 << false << true << 0;
    QTest::newRow("514 left release") << 0 << 514 << 0 << false << true << 0;
    QTest::newRow("516 right press") << 0 << 516 << 0 << false << true << 0;
    QTest::newRow("518 right double click") << 0 << 518 << 0 << false << true << 0;
    QTest::newRow("ordinary move at the top row") << 0 << 200 << 0 << false << true << 0;
    QTest::newRow("y not 0 is an ordinary move") << 0 << 513 << 1 << false << true << 0;
    QTest::newRow("captured drag at 513,0 is no tray message") << 1 << 513 << 0 << false << true << 0;
}

void TestTray::trayMessages() {
    QFETCH(int, button);
    QFETCH(int, x);
    QFETCH(int, y);
    Harness h;
    QVERIFY(h.start());
    h.window.minimised = true;
    h.window.visible = false;
    OnMainMouseMove(*h.v, MouseEv{button, x, y});
    QTEST(h.window.visible, "visible");
    QTEST(h.window.minimised, "minimised");
    QTEST(h.tray.menuOpened, "menus");
    QCOMPARE(h.v->app.trayBusy, std::int16_t(0));
    if (h.tray.menuOpened) QCOMPARE(h.tray.menuAt, h.window.cursor);
}

void TestTray::secondMessageWhileMenuOpenIsRefused() {
    Harness h;
    QVERIFY(h.start());
    h.window.minimised = true;
    h.window.visible = false;
    h.window.cursor = QPoint(1000, 760);
    std::int16_t busyInside = 0;
    h.tray.whileMenuOpen = [&] {
        busyInside = h.v->app.trayBusy;
        TrayMessage(h, 517); // a second right click on the icon
        TrayMessage(h, 513); // and a left click
    };
    TrayMessage(h, 517);
    QCOMPARE(busyInside, std::int16_t(-1));
    QCOMPARE(h.tray.menuOpened, 1);
    QVERIFY(!h.window.visible);
    QCOMPARE(h.tray.menuAt, QPoint(1000, 760));
    // Once the menu has closed, tray messages are handled again.
    h.tray.whileMenuOpen = nullptr;
    TrayMessage(h, 513);
    QVERIFY(h.window.visible);
}

void TestTray::menuItems_data() {
    QTest::addColumn<int>("choice");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<bool>("minimised");
    QTest::addColumn<int>("about");
    QTest::addColumn<bool>("ended");
    QTest::newRow("nothing chosen") << -1 << false << true << 0 << false;
    QTest::newRow("&Show Vakto restores and shows") << int(mnuShow) << true << false << 0 << false;
    QTest::newRow("&About opens the About box") << int(mnuAbout) << false << true << 1 << false;
    QTest::newRow("E&xit quits") << int(mnuExit) << false << true << 0 << true;
    QTest::newRow("hidden Alarm &ON does nothing") << int(mnuState0) << false << true << 0 << false;
    QTest::newRow("hidden Alarm O&FF does nothing") << int(mnuState1) << false << true << 0 << false;
}

void TestTray::menuItems() {
    QFETCH(int, choice);
    Harness h;
    QVERIFY(h.start());
    h.window.minimised = true;
    h.window.visible = false;
    QFile::remove(h.ledgerPath()); // exit must write it again
    h.tray.menuChoice = choice;
    TrayMessage(h, 517);
    QTEST(h.window.visible, "visible");
    QTEST(h.window.minimised, "minimised");
    QTEST(h.window.aboutShown, "about");
    QTEST(h.v->app.ended, "ended");
    if (h.v->app.ended) {
        QVERIFY(QFileInfo::exists(h.ledgerPath()));
        QCOMPARE(h.tray.calls.last(), QStringLiteral("remove"));
        QVERIFY(!h.tray.shown);
        QCOMPARE(h.window.status, 0);
    }
    QCOMPARE(h.v->app.trayBusy, std::int16_t(0));
}

void TestTray::alarmSwitchedFromTheMenu() {
    Harness h;
    QVERIFY(h.start());
    QCOMPARE(h.v->depot.mnuTray[mnuOnOff].caption, QStringLiteral("Alarm ON"));
    h.tray.menuChoice = mnuOnOff;
    TrayMessage(h, 517); // switches on: a ring about four seconds from now
    QCOMPARE(h.v->alarm.alarmOff, std::int16_t(0));
    QCOMPARE(h.tray.tip, QStringLiteral("Alarm ON"));
    QCOMPARE(h.tray.iconIndex, 0);
    QCOMPARE(h.window.icon, QStringLiteral("ICO0"));
    QCOMPARE(h.v->depot.mnuTray[mnuOnOff].caption, QStringLiteral("Alarm OFF"));
    TrayMessage(h, 517); // and off again, keeping the alarm time
    QCOMPARE(h.v->alarm.alarmOff, std::int16_t(1));
    QCOMPARE(h.tray.tip, QStringLiteral("Alarm OFF"));
    QCOMPARE(h.window.icon, QStringLiteral("ICO1"));
    QCOMPARE(h.v->depot.mnuTray[mnuOnOff].caption, QStringLiteral("Alarm ON"));
    QCOMPARE(h.tray.menuOpened, 2);
}

void TestTray::iconAndTooltipFollowTheAlarm_data() {
    QTest::addColumn<int>("alarmOff");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("tip");
    QTest::newRow("alarm on") << 0 << 0 << "Alarm ON";
    QTest::newRow("alarm off") << 1 << 1 << "Alarm OFF";
}

void TestTray::iconAndTooltipFollowTheAlarm() {
    QFETCH(int, alarmOff);
    Harness h;
    QVERIFY(h.start());
    SetAlarmState(*h.v, std::int16_t(1 - alarmOff));
    h.tray.calls.clear();
    SetAlarmState(*h.v, std::int16_t(alarmOff));
    QCOMPARE(h.tray.calls, QStringList{"change"});
    QTEST(h.tray.iconIndex, "icon");
    QTEST(h.tray.tip, "tip");
    QVERIFY(h.dialogs.messages.isEmpty());
}

void TestTray::startupShowsAlarmOffAfterAlarmOn() {
    Harness h;
    QVERIFY(h.start());
    QCOMPARE(h.tray.calls.first(), QStringLiteral("add"));
    QVERIFY(h.tray.calls.contains(QStringLiteral("change")));
    QCOMPARE(h.tray.iconIndex, 1);
    QCOMPARE(h.tray.tip, QStringLiteral("Alarm OFF"));
    QVERIFY(h.dialogs.messages.isEmpty());
}

void TestTray::noTrayReportsOnceAndRemembersState() {
    Harness h;
    h.tray.available = false;
    QVERIFY(h.start());
    QCOMPARE(h.dialogs.messages, QStringList{AddFailed});
    SetAlarmState(*h.v, 0);
    SetAlarmState(*h.v, 1);
    SetAlarmState(*h.v, 0);
    QCOMPARE(h.dialogs.messages, QStringList{AddFailed});
    // The port was handed the latest state, for when a tray appears.
    QCOMPARE(h.tray.iconIndex, 0);
    QCOMPARE(h.tray.tip, QStringLiteral("Alarm ON"));
}

void TestTray::changeFailureReportedOnlyWhileShown() {
    Harness h;
    QVERIFY(h.start());
    h.tray.changeFails = true;
    SetAlarmState(*h.v, 0);
    QCOMPARE(h.dialogs.messages, QStringList{ChangeFailed});
}

void TestTray::removeIsSilentAlsoWhenAbsent() {
    Harness h;
    QVERIFY(h.start());
    RemoveTrayIcon(*h.v);
    RemoveTrayIcon(*h.v);
    QVERIFY(!h.tray.shown);
    QVERIFY(h.dialogs.messages.isEmpty());
    // No change reaches the port after the icon was removed.
    h.tray.calls.clear();
    ChangeTrayIcon(*h.v);
    QVERIFY(h.tray.calls.isEmpty());
}

void TestTray::headerVWithoutTrayOnlyMinimises_data() {
    QTest::addColumn<bool>("trayAvailable");
    QTest::addColumn<bool>("visible");
    QTest::newRow("tray icon shown: hides to the tray") << true << false;
    QTest::newRow("no tray icon: minimises to the taskbar") << false << true;
}

void TestTray::headerVWithoutTrayOnlyMinimises() {
    QFETCH(bool, trayAvailable);
    Harness h;
    h.tray.available = trayAvailable;
    QVERIFY(h.start());
    h.click(QPoint(350, 10));
    QVERIFY(h.window.minimised);
    QTEST(h.window.visible, "visible");
    QVERIFY(!h.v->app.ended);
}

void TestTray::activationReasons_data() {
    QTest::addColumn<int>("reason");
    QTest::addColumn<int>("message");
    QTest::newRow("Trigger") << int(QSystemTrayIcon::Trigger) << 513;
    QTest::newRow("DoubleClick") << int(QSystemTrayIcon::DoubleClick) << 515;
    QTest::newRow("Context") << int(QSystemTrayIcon::Context) << 517;
    QTest::newRow("MiddleClick") << int(QSystemTrayIcon::MiddleClick) << 0;
    QTest::newRow("Unknown") << int(QSystemTrayIcon::Unknown) << 0;
}

void TestTray::activationReasons() {
    QFETCH(int, reason);
    QTEST(TrayMessageFor(QSystemTrayIcon::ActivationReason(reason)), "message");
}

void TestTray::iconsHaveBothSizes_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("window icon, alarm on") << "ICO0";
    QTest::newRow("window icon, alarm off") << "ICO1";
    QTest::newRow("tray icon, alarm on") << "imgTrayIcon_0";
    QTest::newRow("tray icon, alarm off") << "imgTrayIcon_1";
}

void TestTray::iconsHaveBothSizes() {
    QFETCH(QString, name);
    DepotPixmaps pixmaps;
    const QIcon icon = pixmaps.icon(name);
    // Compiled into the program: both the small and the large image are there, at their own sizes.
    for (int size : {16, 32}) {
        const QPixmap p = icon.pixmap(QSize(size, size));
        QCOMPARE(p.size(), QSize(size, size));
        QVERIFY(icon.availableSizes().contains(QSize(size, size)));
    }
}

void TestTray::realMenuAsTheUserSeesIt() {
    RealShell r;
    QVERIFY(Startup(r.v));
    r.shell.sync();
    QStringList texts;
    QList<bool> visible, enabled;
    QString defaultText;
    QRect geometry;
    QTimer::singleShot(100, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return;
        for (QAction* a : menu->actions()) {
            texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
            visible << a->isVisible();
            enabled << a->isEnabled();
        }
        // QMenu draws its default action in bold.
        if (menu->defaultAction()) defaultText = menu->defaultAction()->text();
        geometry = menu->geometry();
        // Choose "&About" as the user would, by clicking it.
        QAction* about = menu->actions().at(mnuAbout);
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(about).center());
    });
    const QPoint at(700, 300);
    const int chosen = r.tray.popupMenu(at);
    QCOMPARE(chosen, int(mnuAbout));
    // The alarm is off after start-up, so the first item offers to switch it on.
    QCOMPARE(texts, (QStringList{"Alarm ON", "Alarm &ON", "Alarm O&FF", "-", "&Show Vakto", "&About", "-", "E&xit"}));
    QCOMPARE(visible, (QList<bool>{true, false, false, true, true, true, true, true}));
    QCOMPARE(enabled, (QList<bool>{true, false, false, true, true, true, true, true}));
    QCOMPARE(defaultText, QStringLiteral("&Show Vakto"));
    // The right edge at the pointer, the top at the pointer.
    QCOMPARE(geometry.right() + 1, at.x());
    QCOMPARE(geometry.top(), at.y());
}

// The menu a StatusNotifier host shows (the end-to-end test drives it over D-Bus): the same items as
// the program's own menu, current when the host asks, and each action run from the event loop.
void TestTray::exportedMenuFollowsTheCore() {
    RealShell r;
    QVERIFY(Startup(r.v));
    r.shell.sync();
    const auto shown = [&] {
        QStringList texts;
        for (QAction* a : r.tray.exportedMenu()->actions())
            if (a->isVisible()) texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return texts;
    };
    QCOMPARE(shown(), (QStringList{"Alarm ON", "-", "&Show Vakto", "&About", "-", "E&xit"}));
    QCOMPARE(r.tray.exportedMenu()->defaultAction()->text(), QStringLiteral("&Show Vakto"));
    const QList<QAction*> actions = r.tray.exportedMenu()->actions();
    actions.at(mnuOnOff)->trigger();
    QCOMPARE(r.v.alarm.alarmOff, std::int16_t(1)); // not inside the host's call
    QTRY_COMPARE(r.v.alarm.alarmOff, std::int16_t(0));
    emit r.tray.exportedMenu()->aboutToShow();
    QCOMPARE(shown().first(), QStringLiteral("Alarm OFF"));
    actions.at(mnuExit)->trigger();
    QVERIFY(!r.window.ended());
    QTRY_VERIFY(r.window.ended());
    QCOMPARE(r.window.status(), 0);
}

void TestTray::realTrayWithoutTrayIsNotShown() {
    RealShell r;
    QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable()); // offscreen has no tray
    QVERIFY(Startup(r.v));
    QCOMPARE(r.dialogs.messages, QStringList{AddFailed});
    QVERIFY(!r.tray.isShown());
    // Without X11 no XEmbed tray can ever appear, so no icon is made until a StatusNotifier host comes.
    QVERIFY(!r.tray.icon());
    SetAlarmState(r.v, 0);
    QCOMPARE(r.dialogs.messages, QStringList{AddFailed});
    // The header V minimises only: nothing could bring a hidden window back.
    r.window.show();
    PointerPress(r.v, QPoint(350, 10), 1);
    PointerRelease(r.v, QPoint(350, 10), 1, 0);
    r.shell.sync();
    QVERIFY(r.window.isVisible());
    QVERIFY(r.window.isMinimised());
    RemoveTrayIcon(r.v);
    QVERIFY(!r.tray.isShown());
}

QTEST_MAIN(TestTray)
#include "test_tray.moc"
