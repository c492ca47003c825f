// The application shell's core: time texts, the tick, the element layout, header buttons,
// close requests and quitting.

#include "app/mainwindow.h"
#include "app/pointer.h"
#include "app/startup.h"
#include "digits/digits.h"
#include "model/timetext.h"
#include "platform/walltimer.h"
#include "tests/support/harness.h"

#include <QtTest>

namespace {
// Digits a row of five time elements shows, as text ("14:07", blanks as " ", dark colon as ".").
QString RowText(const std::array<Element, 5>& row) {
    QString s;
    for (const Element& e : row) {
        if (e.pic.index == ColonOn)
            s += QLatin1Char(':');
        else if (e.pic.index == ColonOff)
            s += QLatin1Char('.');
        else if (e.pic.index == DigitBlank)
            s += QLatin1Char(' ');
        else
            s += QString::number(e.pic.index);
    }
    return s;
}
QString SecondsText(const MainModel& m) {
    return QString::number(m.imgSet[5].pic.index) + QString::number(m.imgSet[6].pic.index);
}
} // namespace

class TestApp : public QObject {
    Q_OBJECT
private slots:
    void timeStrings_data();
    void timeStrings();
    void padAndSplit_data();
    void padAndSplit();
    void wallTimer_data();
    void wallTimer();
    void firstTickActsSecondTickInSameSecondDoesNothing();
    void minuteWorkOnlyOnSecondZero();
    void tickAfterGapRefreshesTheTime();
    void oneClockReadingPerTick();
    void layout_data();
    void layout();
    void stackingOnTheDescriptionLine();
    void headerHover_data();
    void headerHover();
    void bareMoveRestoresPresets();
    void headerXQuitsOnReleaseAnywhere();
    void headerVHidesToTray();
    void userCloseHidesAndKeepsRunning();
    void quitSavesRemovesIconAndRunsSecondPass();
    void fatalStartupEndsWithoutWriting();
    void sessionEndDuringStartupKeepsTheLedger();
};

void TestApp::timeStrings_data() {
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("curTime");
    QTest::addColumn<QString>("hour");
    QTest::addColumn<QString>("minute");
    QTest::addColumn<QString>("second");
    QTest::newRow("9:05:03") << QTime(9, 5, 3) << "09:05:03"
                             << "09"
                             << "05"
                             << "03";
    QTest::newRow("midnight") << QTime(0, 0, 0) << "00:00:00"
                              << "00"
                              << "00"
                              << "00";
    QTest::newRow("23:59:59") << QTime(23, 59, 59) << "23:59:59"
                              << "23"
                              << "59"
                              << "59";
    QTest::newRow("noon") << QTime(12, 0, 9) << "12:00:09"
                          << "12"
                          << "00"
                          << "09";
}

void TestApp::timeStrings() {
    QFETCH(QTime, time);
    QFETCH(QString, curTime);
    QFETCH(QString, hour);
    QFETCH(QString, minute);
    QFETCH(QString, second);
    Harness h;
    h.clock.t = QDateTime(QDate(2026, 3, 29), time);
    UpdateTimeStrings(*h.v);
    QCOMPARE(h.v->curTime(), curTime);
    QCOMPARE(h.v->curHour(), hour);
    QCOMPARE(h.v->curMinute(), minute);
    QCOMPARE(h.v->curSecond(), second);
    // The digit rows follow the texts, leading zeros shown as 0.
    ShowTime(*h.v, h.v->main.imgTime);
    ShowSeconds(*h.v);
    QCOMPARE(RowText(h.v->main.imgTime), hour + QLatin1Char(':') + minute);
    QCOMPARE(SecondsText(h.v->main), second);
}

void TestApp::padAndSplit_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("padded");
    QTest::addColumn<QStringList>("parts");
    QTest::newRow("7:30:00") << "7:30:00"
                             << "07:30:00" << QStringList{"07", "30", "00"};
    QTest::newRow("10:00:00") << "10:00:00"
                              << "10:00:00" << QStringList{"10", "00", "00"};
    QTest::newRow("empty") << ""
                           << "" << QStringList{"", "", ""};
    QTest::newRow("one char") << "7"
                              << "7" << QStringList{"7", "", "7"};
    QTest::newRow("14:07:00") << "14:07:00"
                              << "14:07:00" << QStringList{"14", "07", "00"};
}

void TestApp::padAndSplit() {
    QFETCH(QString, text);
    QFETCH(QString, padded);
    QFETCH(QStringList, parts);
    QCOMPARE(PadTime(text), padded);
    const TimeParts p = SplitTime(PadTime(text));
    QCOMPARE((QStringList{p.hour, p.minute, p.second}), parts);
    // Unpadded input is cut at fixed positions, which is why callers pad first.
    const TimeParts raw = SplitTime(QStringLiteral("9:05:03"));
    QCOMPARE((QStringList{raw.hour, raw.minute, raw.second}), (QStringList{"9:", "5:", "03"}));
}

void TestApp::wallTimer_data() {
    QTest::addColumn<int>("ahead");     // milliseconds from now to the deadline
    QTest::addColumn<bool>("disarmed"); // disarmed right after arming
    QTest::newRow("300 ms ahead") << 300 << false;
    QTest::newRow("long past: at once") << -86'400'000 << false;
    QTest::newRow("disarmed") << 300 << true;
}

void TestApp::wallTimer() {
    // The kernel's wall-clock timer, as the tick uses it: one firing per deadline, none disarmed.
    QFETCH(int, ahead);
    QFETCH(bool, disarmed);
    WallTimer t;
    QVERIFY(t.isValid());
    QList<bool> fired;
    connect(&t, &WallTimer::fired, this, [&fired](bool changed) { fired << changed; });
    const qint64 deadline = QDateTime::currentMSecsSinceEpoch() + ahead;
    t.armAt(deadline);
    QVERIFY(t.isArmed());
    if (disarmed) t.disarm();
    QTest::qWait(std::max(ahead, 0) + 500);
    QCOMPARE(fired, disarmed ? QList<bool>() : QList<bool>{false});
    if (!disarmed) QVERIFY(QDateTime::currentMSecsSinceEpoch() >= deadline);
    QVERIFY(!t.isArmed());
}

void TestApp::firstTickActsSecondTickInSameSecondDoesNothing() {
    Harness h;
    h.clock.set(9, 5, 3);
    QVERIFY(h.start());
    h.clock.set(9, 5, 4);
    h.v->alarm.alarmSet = 1; // the colon blinks once per handled second
    h.tick();
    QCOMPARE(h.v->curTime(), QStringLiteral("09:05:04"));
    QCOMPARE(SecondsText(h.v->main), QStringLiteral("04"));
    const PicRef colon = h.v->main.imgAlarm[2].pic;
    h.tick(); // same second: nothing at all, not even the colon
    QCOMPARE(h.v->main.imgAlarm[2].pic, colon);
    QCOMPARE(h.v->app.lastTickTime, TickKey(h.clock.t));
}

void TestApp::minuteWorkOnlyOnSecondZero() {
    Harness h;
    h.clock.set(9, 5, 58);
    QVERIFY(h.start());
    QCOMPARE(RowText(h.v->main.imgTime), QStringLiteral("09:05"));
    h.clock.set(9, 6, 59); // the minute changed but this tick is not on second 00
    // A normal one-second step: make the previous second the last handled one.
    h.v->app.lastTickTime = TickKey(h.clock.t) - 1;
    h.tick();
    QCOMPARE(RowText(h.v->main.imgTime), QStringLiteral("09:05"));
    h.clock.set(9, 7, 0);
    h.tick();
    QCOMPARE(RowText(h.v->main.imgTime), QStringLiteral("09:07"));
    QCOMPARE(SecondsText(h.v->main), QStringLiteral("00"));
}

void TestApp::tickAfterGapRefreshesTheTime() {
    // After a suspend the hh:mm digits must not keep showing the old minute until the next 00.
    Harness h;
    h.clock.set(9, 5, 10);
    QVERIFY(h.start());
    h.tick();
    h.clock.set(9, 45, 30);
    h.tick();
    QCOMPARE(RowText(h.v->main.imgTime), QStringLiteral("09:45"));
}

void TestApp::oneClockReadingPerTick() {
    // The clock turns 09:15:00 while a tick is under way: that tick handles 09:14:59 only, and the
    // minute's work is done once, by the next tick.
    Harness h;
    ScriptedClock clock;
    const QDate d(2026, 12, 9);
    clock.script = {QDateTime(d, QTime(9, 14, 58))};
    Vakto v(Ports{clock, h.sound, h.browser, h.dialogs, h.tray, h.window}, h.dir.path());
    QVERIFY(Startup(v));
    Tick(v);
    PointerPress(v, {8 + 15, 33 + 14}, 1); // project 1
    PointerPress(v, {248 + 15, 20 + 107 + 15}, 1);
    PointerRelease(v, {248 + 15, 20 + 107 + 15}, 1, 0); // punch on
    PointerPress(v, {221 + 11, 164 + 12}, 1);
    PointerRelease(v, {221 + 11, 164 + 12}, 1, 0); // preset 10: 09:24:58
    QCOMPARE(v.punch.punchMinutes, std::int16_t(0));
    QCOMPARE(v.alarm.countdownMinutes, std::int16_t(10));
    clock.script = {QDateTime(d, QTime(9, 14, 59)), QDateTime(d, QTime(9, 15, 0))};
    clock.calls = 0;
    Tick(v);
    QCOMPARE(clock.calls, std::size_t(1));
    QCOMPARE(v.curTime(), QStringLiteral("09:14:59"));
    QCOMPARE(v.analog.secondEnd, QPoint(63, 14)); // the hands show the same second
    QCOMPARE(v.punch.punchMinutes, std::int16_t(0));
    Tick(v);
    Tick(v); // same second again: nothing
    QCOMPARE(v.curTime(), QStringLiteral("09:15:00"));
    QCOMPARE(v.punch.punchMinutes, std::int16_t(1));
    QCOMPARE(v.alarm.countdownMinutes, std::int16_t(9));
    QCOMPARE(h.sound.played.size(), 1); // the announcer's quarter, once
}

void TestApp::layout_data() {
    QTest::addColumn<QString>("element");
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<bool>("visible");
    QTest::newRow("imgHeader") << "imgHeader" << QRect(2, 0, 50, 20) << true;
    QTest::newRow("imgAuthor") << "imgAuthor" << QRect(264, 0, 25, 17) << true;
    QTest::newRow("imgHeaderX") << "imgHeaderX" << QRect(298, 0, 28, 20) << true;
    QTest::newRow("imgHeaderV") << "imgHeaderV" << QRect(326, 0, 55, 20) << true;
    QTest::newRow("imgPunchUp(1)") << "imgPunchUp1" << QRect(8, 33, 31, 29) << true;
    QTest::newRow("imgPunchUp(3)") << "imgPunchUp3" << QRect(72, 33, 31, 29) << true;
    QTest::newRow("imgPunchUp(5)") << "imgPunchUp5" << QRect(40, 62, 31, 29) << true;
    QTest::newRow("imgPunchUp(12)") << "imgPunchUp12" << QRect(72, 120, 31, 29) << true;
    QTest::newRow("imgTime(2) colon") << "imgTime2" << QRect(160, 34, 8, 50) << true;
    QTest::newRow("imgTime(4)") << "imgTime4" << QRect(192, 34, 26, 50) << true;
    QTest::newRow("imgSet(5)") << "imgSet5" << QRect(220, 25, 9, 17) << true;
    QTest::newRow("imgCorrect(3)") << "imgCorrect3" << QRect(195, 84, 22, 9) << false;
    QTest::newRow("imgAlarm(0)") << "imgAlarm0" << QRect(112, 96, 26, 50) << true;
    QTest::newRow("picClock") << "picClock" << QRect(248, 20, 137, 137) << true;
    QTest::newRow("lblDescLeft") << "lblDescLeft" << QRect(8, 170, 4, 15) << false;
    QTest::newRow("lblDescription") << "lblDescription" << QRect(12, 170, 93, 15) << false;
    QTest::newRow("txtDescription") << "txtDescription" << QRect(12, 170, 76, 15) << false;
    QTest::newRow("imgDescription") << "imgDescription" << QRect(86, 170, 19, 15) << false;
    QTest::newRow("imgFixed(0)") << "imgFixed0" << QRect(106, 164, 28, 24) << true;
    QTest::newRow("imgFixed(4)") << "imgFixed4" << QRect(221, 164, 23, 24) << true;
    QTest::newRow("imgFixed(9)") << "imgFixed9" << QRect(356, 164, 28, 24) << true;
    QTest::newRow("imgSet(0) on the dial") << "imgSet0" << QRect(114, 5, 9, 17) << true;
    QTest::newRow("imgSet(2) on the dial") << "imgSet2" << QRect(-1, 5, 9, 17) << true;
    QTest::newRow("imgMark") << "imgMark" << QRect(64, 4, 9, 9) << true;
    QTest::newRow("imgCenter") << "imgCenter" << QRect(60, 60, 18, 18) << true;
    QTest::newRow("imgPunch") << "imgPunch" << QRect(0, 107, 30, 30) << true;
    QTest::newRow("imgEach") << "imgEach" << QRect(107, 107, 30, 30) << true;
}

void TestApp::layout() {
    QFETCH(QString, element);
    QFETCH(QRect, rect);
    QFETCH(bool, visible);
    Harness h;
    const Element* found = nullptr;
    for (auto* order : {&h.v->main.mainOrder, &h.v->main.dialOrder})
        for (const Element* e : *order)
            if (QString::fromLatin1(e->name) + (e->index >= 0 ? QString::number(e->index) : QString()) == element)
                found = e;
    QVERIFY2(found, qPrintable(element));
    QCOMPARE(found->rect, rect);
    QCOMPARE(found->visible, visible);
}

void TestApp::stackingOnTheDescriptionLine() {
    Harness h;
    MainModel& m = h.v->main;
    for (Element* e : {&m.lblDescription, &m.txtDescription, &m.imgDescription})
        e->visible = true;
    // The text box lies over the label; the confirm button over the label's right end.
    QCOMPARE(HitTest(*h.v, {20, 175}), &m.txtDescription);
    QCOMPARE(HitTest(*h.v, {100, 175}), &m.imgDescription);
    QCOMPARE(HitTest(*h.v, {240, 100}), nullptr); // bare skin left of the dial
    QCOMPARE(HitTest(*h.v, {248 + 64 + 4, 20 + 4 + 4}), &m.imgMark);
    QCOMPARE(HitTest(*h.v, {248 + 30, 20 + 40}), &m.picClock);
}

void TestApp::headerHover_data() {
    QTest::addColumn<QList<QPoint>>("path");
    QTest::addColumn<int>("xPic");
    QTest::addColumn<int>("vPic");
    QTest::newRow("over X") << QList<QPoint>{{300, 5}} << 1 << 0;
    QTest::newRow("X straight onto V") << QList<QPoint>{{300, 5}, {330, 5}} << 0 << 1;
    QTest::newRow("V then bare window") << QList<QPoint>{{330, 5}, {240, 100}} << 0 << 0;
    QTest::newRow("X then dial surface") << QList<QPoint>{{300, 5}, {280, 60}} << 0 << 0;
    // Leaving the window sends no move to it, so the hover picture stays until the pointer is back.
    QTest::newRow("X then out through the top edge")
        << QList<QPoint>{{300, 5}, {300, 0}, {300, -1}, {301, -20}} << 1 << 0;
    QTest::newRow("V, out through the top, back over the bare window")
        << QList<QPoint>{{330, 3}, {330, -1}, {240, -5}, {240, 100}} << 0 << 0;
}

void TestApp::headerHover() {
    QFETCH(QList<QPoint>, path);
    QFETCH(int, xPic);
    QFETCH(int, vPic);
    Harness h;
    QVERIFY(h.start());
    for (const QPoint& p : path)
        h.move(p);
    QCOMPARE(h.v->main.imgHeaderX.pic, (PicRef{Strip::imgHeaderX, std::int16_t(xPic)}));
    QCOMPARE(h.v->main.imgHeaderV.pic, (PicRef{Strip::imgHeaderV, std::int16_t(vPic)}));
    QCOMPARE(h.v->main.imgHeaderX.tag, QString::number(xPic));
    QCOMPARE(h.v->main.imgHeaderV.tag, QString::number(vPic));
}

void TestApp::bareMoveRestoresPresets() {
    Harness h;
    QVERIFY(h.start());
    for (int i = 0; i < 10; ++i)
        SetPic(h.v->main.imgFixed[i], Strip::imgFixed, i + 10);
    h.move({240, 100});
    for (int i = 0; i < 10; ++i)
        QCOMPARE(h.v->main.imgFixed[i].pic, (PicRef{Strip::imgFixed, std::int16_t(i)}));
}

void TestApp::headerXQuitsOnReleaseAnywhere() {
    Harness h;
    QVERIFY(h.start());
    h.press({310, 10});
    h.move({100, 100}, 1);
    QVERIFY(!h.window.ended);
    h.release({100, 100});
    QVERIFY(h.window.ended);
    QCOMPARE(h.window.status, 0);
    QVERIFY(h.tray.calls.contains(QStringLiteral("remove")));
}

void TestApp::headerVHidesToTray() {
    Harness h;
    QVERIFY(h.start());
    h.press({350, 10}, 2); // any button
    h.release({5, 190}, 2);
    QVERIFY(h.window.minimised);
    QVERIFY(!h.window.visible);
    QVERIFY(!h.window.ended);
}

void TestApp::userCloseHidesAndKeepsRunning() {
    Harness h;
    QVERIFY(h.start());
    QVERIFY(OnCloseRequest(*h.v, true));
    QVERIFY(!h.window.visible);
    QVERIFY(h.window.minimised);
    h.clock.advance(1);
    h.tick(); // the tick goes on while hidden
    QCOMPARE(h.v->curTime(), FormatTime(h.clock.t.time()));
    QVERIFY(!h.window.ended);
}

void TestApp::quitSavesRemovesIconAndRunsSecondPass() {
    Harness h;
    QVERIFY(h.start());
    // The real shell's unload raises the (non-user) close request and the unload.
    h.window.onUnload = [&] {
        QVERIFY(!OnCloseRequest(*h.v, false));
        OnUnload(*h.v);
    };
    QFile::remove(h.ledgerPath());
    QuitProgram(*h.v);
    QCOMPARE(h.v->app.quitPass, 2);
    QCOMPARE(h.window.unloads, 1);
    QVERIFY(h.window.ended);
    QCOMPARE(h.tray.calls.count(QStringLiteral("remove")), 2);
    QVERIFY(h.dialogs.messages.isEmpty());
    QCOMPARE(h.ledgerBytes(), SuppliedLedger()); // written again on the way out
    // Nothing runs after the end.
    const QString before = h.v->curTime();
    h.clock.advance(5);
    h.tick();
    QCOMPARE(h.v->curTime(), before);
}

void TestApp::fatalStartupEndsWithoutWriting() {
    Harness h(QByteArray(), false); // no ledger at all
    QVERIFY(!h.start());
    QVERIFY(h.window.ended);
    QVERIFY(h.window.status != 0);
    QCOMPARE(h.dialogs.errors.size(), 1);
    QVERIFY(!QFile::exists(h.ledgerPath()));
}

void TestApp::sessionEndDuringStartupKeepsTheLedger() {
    // No tray: start-up stops at its message, before the ledger is read; the session ends meanwhile.
    const QByteArray mine = SuppliedLedger().replace("0\t0\t", "7\t42\t");
    QVERIFY(mine != SuppliedLedger());
    Harness h(mine);
    h.tray.available = false;
    h.dialogs.whileMessageOpen = [&] { OnSessionEnd(*h.v); };
    QVERIFY(!h.start() || h.window.ended);
    QCOMPARE(h.dialogs.messages, QStringList{QStringLiteral("Unable to add icon to system tray")});
    QVERIFY(h.window.ended);
    QCOMPARE(h.window.status, 0);
    QVERIFY(h.dialogs.errors.isEmpty());
    QCOMPARE(h.ledgerBytes(), mine);
}

QTEST_MAIN(TestApp)
#include "test_app.moc"
