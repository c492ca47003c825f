// The alarm, the timer and the announcer driven through the core with a fake clock: what the user
// clicks at the real places of the window, what the indicators show and when the sound rings.

#include "alarm/alarmsetting.h"
#include "alarm/alarmstate.h"
#include "alarm/announcer.h"
#include "tests/support/harness.h"

#include <QtTest>
#include <cmath>

namespace {

constexpr int FixedLeft[10] = {106, 135, 163, 192, 221, 245, 270, 299, 327, 356};
constexpr int FixedWidth[10] = {28, 27, 28, 28, 23, 24, 28, 27, 28, 28};
constexpr int CorrectX[4] = {115, 139, 171, 195};
const QPoint DialOrigin(248, 20);

QPoint Preset(int i) {
    return {FixedLeft[i] + FixedWidth[i] / 2, 164 + 12};
}
QPoint Arrow(int i) {
    return {CorrectX[i] + 11, 84 + 4};
}
const QPoint AlarmDigits(112 + 13, 96 + 25);
const QPoint Centre = DialOrigin + QPoint(69, 69);
const QPoint EachButton = DialOrigin + QPoint(122, 122);

// Centre of an element on the dial, in window pixels.
QPoint OnDial(const Element& e) {
    return DialOrigin + e.rect.center();
}
// A point at `minutes` on a circle of `radius` pixels around the dial's centre, in window pixels.
QPoint DialAt(double minutes, double radius) {
    const double a = minutes * 6.0 * M_PI / 180.0;
    return DialOrigin +
           QPoint(int(std::lround(68.5 + radius * std::sin(a))), int(std::lround(68.5 - radius * std::cos(a))));
}

// Sets the alarm to hh:mm through setting mode and the arrows, as a user would.
void SetWithArrows(Harness& h, const QString& hhmm) {
    h.click(AlarmDigits);
    const int pos[4] = {0, 1, 3, 4};
    for (int i = 0; i < 4; ++i)
        for (int guard = 0; guard < 10 && h.v->alarm.editAlarmTime.at(pos[i]) != hhmm.at(pos[i]); ++guard)
            h.click(Arrow(i));
    h.click(AlarmDigits);
}

QChar PicChar(const Element& e) {
    if (e.pic.strip != Strip::imgTime && e.pic.strip != Strip::imgSet) return QLatin1Char('?');
    switch (e.pic.index) {
    case DigitBlank:
        return QLatin1Char('_');
    case ColonOff:
        return QLatin1Char('.');
    case ColonOn:
        return QLatin1Char(':');
    default:
        return QChar(QLatin1Char('0').unicode() + e.pic.index);
    }
}

// "14:17" for a row of five large digits; "__.__" when blank with a dark colon.
QString Row(const std::array<Element, 5>& row) {
    QString s;
    for (const Element& e : row)
        s += PicChar(e);
    return s;
}

// The two countdown digits on the dial: "10", "09", "__".
QString Countdown(const Vakto& v) {
    return QString(PicChar(v.main.imgSet[0])) + PicChar(v.main.imgSet[1]);
}

struct Started {
    Harness h;
    explicit Started(int hh, int mm, int ss) {
        h.clock.set(hh, mm, ss);
        h.start();
        h.tick();
    }
    Vakto& v() { return *h.v; }
};

} // namespace

class TestAlarm : public QObject {
    Q_OBJECT
private slots:
    void presetTenEndToEnd();
    void setAlarmCountdown_data();
    void setAlarmCountdown();
    void arrows_data();
    void arrows();
    void arrowPressOffset();
    void leavingSettingMode_data();
    void leavingSettingMode();
    void presetsAndHotSpots_data();
    void presetsAndHotSpots();
    void presetHover();
    void dragRules_data();
    void dragRules();
    void dragOverTheDial_data();
    void dragOverTheDial();
    void toggleAlarm();
    void ringInSettingMode();
    void alarmAndAnnouncerInOneSecond();
    void secondRingKeepsTheWindow();
    void announcerMinutes_data();
    void announcerMinutes();
    void announcerButtonCycle();
    void timerRings_data();
    void timerRings();
    void missedSecondRings_data();
    void missedSecondRings();
    void clockSetBackRingsNothingEarly();
    void countdownAfterGap_data();
    void countdownAfterGap();
};

void TestAlarm::presetTenEndToEnd() {
    Started s(14, 7, 31);
    Vakto& v = s.v();
    SetAnnouncer(v, 0); // only the alarm rings in this hour
    QCOMPARE(v.alarm.alarmOff, std::int16_t(1));

    s.h.click(Preset(4));
    QCOMPARE(v.alarm.alarmTime, QStringLiteral("14:17:31"));
    QCOMPARE(v.alarm.alarmOff, std::int16_t(0));
    QCOMPARE(v.main.imgHeader.pic, (PicRef{Strip::imgHeader, 0}));
    QCOMPARE(v.main.imgCenter.pic, (PicRef{Strip::imgCenter, 0}));
    QCOMPARE(s.h.tray.iconIndex, 0);
    QCOMPARE(s.h.tray.tip, QStringLiteral("Alarm ON"));
    QCOMPARE(v.depot.mnuTray[mnuOnOff].caption, QStringLiteral("Alarm OFF"));
    QCOMPARE(s.h.window.icon, QStringLiteral("ICO0"));
    QCOMPARE(Row(v.main.imgAlarm), QStringLiteral("14:17"));
    QCOMPARE(Countdown(v), QStringLiteral("10"));
    QCOMPARE(v.alarm.countdownMinutes, std::int16_t(10));
    const QRect markAt10 = v.main.imgMark.rect;

    for (int m = 8; m <= 17; ++m) {
        s.h.runTo(14, m, 0);
        QCOMPARE(v.alarm.countdownMinutes, std::int16_t(17 - m));
        QCOMPARE(Countdown(v), QStringLiteral("%1").arg(17 - m, 2, 10, QLatin1Char('0')));
    }
    QVERIFY(v.main.imgMark.rect != markAt10); // the mark followed the countdown
    s.h.runTo(14, 17, 30);
    QVERIFY(s.h.sound.played.isEmpty());
    QVERIFY(!v.alarmWin.open);

    s.h.runTo(14, 17, 31);
    QCOMPARE(s.h.sound.played, QStringList{s.h.dir.path() + QStringLiteral("/wav/alarm.wav")});
    QVERIFY(v.alarmWin.open);
    QCOMPARE(Row(v.alarmWin.imgTime), QStringLiteral("14:17"));
    QCOMPARE(v.alarmWin.cmdDone.text, QStringLiteral("2"));
    QCOMPARE(v.alarm.alarmOff, std::int16_t(1));
    QCOMPARE(s.h.tray.iconIndex, 1);
    QCOMPARE(s.h.tray.tip, QStringLiteral("Alarm OFF"));
    QCOMPARE(v.depot.mnuTray[mnuOnOff].caption, QStringLiteral("Alarm ON"));
    QCOMPARE(s.h.window.icon, QStringLiteral("ICO1"));
    QCOMPARE(v.main.imgHeader.pic, (PicRef{Strip::imgHeader, 1}));
    QCOMPARE(v.main.imgCenter.pic, (PicRef{Strip::imgCenter, 1}));
    QCOMPARE(Row(v.main.imgAlarm), QStringLiteral("__.__"));
    QCOMPARE(Countdown(v), QStringLiteral("__"));
    QCOMPARE(v.alarm.alarmTime, QStringLiteral("14:17:31")); // keeps the rung time

    AlarmWindowTick(v);
    QVERIFY(v.alarmWin.open);
    QCOMPARE(v.alarmWin.cmdDone.text, QStringLiteral("1"));
    AlarmWindowTick(v);
    QVERIFY(!v.alarmWin.open);
    s.h.runTo(14, 18, 40);
    QCOMPARE(s.h.sound.played.size(), 1); // it rang once
}

void TestAlarm::setAlarmCountdown_data() {
    QTest::addColumn<QTime>("now");
    QTest::addColumn<QString>("alarm");
    QTest::addColumn<int>("countdown");
    QTest::addColumn<bool>("on");
    QTest::newRow("5 minutes ahead") << QTime(10, 15, 30) << "10:20:30" << 5 << true;
    QTest::newRow("10 seconds ahead, next minute") << QTime(10, 59, 50) << "11:00:00" << 1 << true;
    QTest::newRow("just under an hour, same minute field") << QTime(10, 15, 30) << "11:15:00" << 0 << true;
    QTest::newRow("one to two hours shows 60") << QTime(10, 15, 30) << "11:45:00" << 60 << true;
    QTest::newRow("two hours or more shows the minute field") << QTime(10, 15, 30) << "12:45:00" << 30 << true;
    QTest::newRow("one-digit hour is padded") << QTime(8, 0, 0) << "8:05:00" << 5 << true;
    QTest::newRow("equal to now is off") << QTime(10, 15, 30) << "10:15:30" << 0 << false;
    QTest::newRow("earlier today is off") << QTime(10, 15, 30) << "09:00:00" << 0 << false;
}

void TestAlarm::setAlarmCountdown() {
    QFETCH(QTime, now);
    QFETCH(QString, alarm);
    QFETCH(int, countdown);
    QFETCH(bool, on);
    Started s(now.hour(), now.minute(), now.second());
    Vakto& v = s.v();
    SetAlarm(v, alarm);
    QCOMPARE(v.alarm.alarmTime.size(), 8);
    QCOMPARE(v.alarm.countdownMinutes, std::int16_t(countdown));
    QCOMPARE(v.alarm.alarmOff, std::int16_t(on ? 0 : 1));
    if (on) {
        QCOMPARE(Countdown(v), QStringLiteral("%1").arg(countdown, 2, 10, QLatin1Char('0')));
        QCOMPARE(Row(v.main.imgAlarm), v.alarm.alarmTime.left(5));
    } else {
        QCOMPARE(Countdown(v), QStringLiteral("__"));
        QCOMPARE(Row(v.main.imgAlarm), QStringLiteral("__.__"));
    }
}

void TestAlarm::arrows_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("arrow");
    QTest::addColumn<QString>("edited");
    QTest::newRow("17 at the hour tens gives 20") << "17:30:00" << 0 << "20:30:00";
    QTest::newRow("23 at the hour tens gives 03") << "23:30:00" << 0 << "03:30:00";
    QTest::newRow("23 at the hour units gives 20") << "23:30:00" << 1 << "20:30:00";
    QTest::newRow("19 at the hour units gives 10") << "19:30:00" << 1 << "10:30:00";
    QTest::newRow("09:59 at the minute units gives 09:50") << "09:59:00" << 3 << "09:50:00";
    QTest::newRow("minute tens 5 wraps to 0") << "09:59:00" << 2 << "09:09:00";
    QTest::newRow("seconds are dropped") << "10:20:37" << 3 << "10:21:00";
}

void TestAlarm::arrows() {
    QFETCH(QString, start);
    QFETCH(int, arrow);
    QFETCH(QString, edited);
    Started s(8, 0, 0);
    Vakto& v = s.v();
    v.alarm.alarmTime = start;
    s.h.click(AlarmDigits);
    QCOMPARE(v.alarm.alarmSet, std::int16_t(1));
    QVERIFY(v.main.imgCorrect[arrow].visible);
    QCOMPARE(v.alarm.editAlarmTime, start);
    s.h.click(Arrow(arrow));
    QCOMPARE(v.alarm.editAlarmTime, edited);
    QCOMPARE(Row(v.main.imgAlarm), edited.left(5));
    QCOMPARE(v.alarm.alarmTime, start); // only leaving setting mode applies the edit
}

void TestAlarm::arrowPressOffset() {
    Started s(8, 0, 0);
    Vakto& v = s.v();
    s.h.click(AlarmDigits);
    for (int i = 0; i < 4; ++i) {
        s.h.press(Arrow(i));
        QCOMPARE(v.main.imgCorrect[i].rect.topLeft(), QPoint(CorrectX[i], 86));
        s.h.release(Arrow(i));
        QCOMPARE(v.main.imgCorrect[i].rect.topLeft(), QPoint(CorrectX[i], 84));
    }
}

void TestAlarm::leavingSettingMode_data() {
    QTest::addColumn<int>("hourUnitSteps");
    QTest::addColumn<int>("hourTensSteps");
    QTest::addColumn<QString>("alarm");
    QTest::addColumn<bool>("on");
    QTest::newRow("no step keeps the seconds") << 0 << 0 << "10:20:37" << true;
    QTest::newRow("edited forward is on") << 1 << 0 << "11:20:00" << true;
    // Setting mode keeps the same-day rule: an edited time before now is off, not tomorrow.
    QTest::newRow("edited past midnight is off") << 8 << 2 << "00:20:00" << false; // 18, 20, 00
}

void TestAlarm::leavingSettingMode() {
    QFETCH(int, hourUnitSteps);
    QFETCH(int, hourTensSteps);
    QFETCH(QString, alarm);
    QFETCH(bool, on);
    Started s(10, 0, 0);
    Vakto& v = s.v();
    v.alarm.alarmTime = QStringLiteral("10:20:37");
    s.h.click(AlarmDigits);
    for (int i = 0; i < hourUnitSteps; ++i)
        s.h.click(Arrow(1));
    for (int i = 0; i < hourTensSteps; ++i)
        s.h.click(Arrow(0));
    s.h.click(AlarmDigits);
    QCOMPARE(v.alarm.alarmSet, std::int16_t(0));
    QVERIFY(!v.main.imgCorrect[0].visible);
    QCOMPARE(v.alarm.alarmTime, alarm);
    QCOMPARE(v.alarm.alarmOff, std::int16_t(on ? 0 : 1));
    QCOMPARE(Row(v.main.imgAlarm), on ? alarm.left(5) : QStringLiteral("__.__"));
}

void TestAlarm::presetsAndHotSpots_data() {
    QTest::addColumn<bool>("hotSpot");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("alarm");
    QTest::addColumn<int>("countdown");
    const int presetMinutes[10] = {0, 1, 3, 5, 10, 15, 20, 30, 45, 60};
    for (int i = 0; i < 10; ++i) {
        const QTime t = QTime(14, 7, 31).addSecs(60 * presetMinutes[i]);
        QTest::addRow("preset %d", presetMinutes[i])
            << false << i << t.toString(QStringLiteral("hh:mm:ss")) << presetMinutes[i];
    }
    for (int i = 0; i < 12; ++i) {
        const QTime t = QTime(14, 7, 31).addSecs(300 * i);
        QTest::addRow("hot spot %d", i) << true << i << t.toString(QStringLiteral("hh:mm:ss")) << 5 * i;
    }
}

void TestAlarm::presetsAndHotSpots() {
    QFETCH(bool, hotSpot);
    QFETCH(int, index);
    QFETCH(QString, alarm);
    QFETCH(int, countdown);
    Started s(14, 7, 31);
    Vakto& v = s.v();
    s.h.click(hotSpot ? OnDial(v.main.imgHotSpot[index]) : Preset(index));
    QCOMPARE(v.alarm.alarmTime, alarm);
    QCOMPARE(v.alarm.countdownMinutes, std::int16_t(countdown));
    QCOMPARE(v.alarm.alarmOff, std::int16_t(countdown == 0 ? 1 : 0));
    QCOMPARE(Countdown(v),
             countdown == 0 ? QStringLiteral("__") : QStringLiteral("%1").arg(countdown, 2, 10, QLatin1Char('0')));
}

void TestAlarm::presetHover() {
    Started s(14, 7, 31);
    Vakto& v = s.v();
    s.h.move(Preset(3));
    s.h.move(Preset(6));
    for (int i = 0; i < 10; ++i)
        QCOMPARE(v.main.imgFixed[i].pic.index, std::int16_t(i == 6 ? 16 : i));
    s.h.move(QPoint(60, 180)); // the bare window
    for (int i = 0; i < 10; ++i)
        QCOMPARE(v.main.imgFixed[i].pic.index, std::int16_t(i));
}

void TestAlarm::dragRules_data() {
    QTest::addColumn<int>("countdown");
    QTest::addColumn<float>("angle");
    QTest::addColumn<int>("minutes");
    QTest::newRow("59 past 12 gives 60") << 59 << 0.0f << 60;
    QTest::newRow("59 to just past 12 gives 60") << 59 << 2.9f << 60;
    QTest::newRow("55 jumping into 0..44 is ignored") << 55 << 60.0f << -1;
    QTest::newRow("51 jumping to 44 is ignored") << 51 << 264.0f << -1;
    QTest::newRow("5 jumping back to 50 is ignored") << 5 << 300.0f << -1;
    QTest::newRow("9 jumping to 46 is ignored") << 9 << 276.0f << -1;
    QTest::newRow("45 from 60 is accepted") << 60 << 270.0f << 45;
    QTest::newRow("45 from 0 is accepted") << 0 << 270.0f << 45;
    QTest::newRow("50 counter-clockwise to 0") << 50 << 0.0f << 0;
    QTest::newRow("10 to 59") << 10 << 354.0f << 59;
    QTest::newRow("angle 68.5 rounds to 68, minute 11") << 10 << 68.5f << 11;
    QTest::newRow("63 degrees is 10.5, rounds to 10") << 10 << 63.0f << 10;
    QTest::newRow("69 degrees is 11.5, rounds to 12") << 10 << 69.0f << 12;
    QTest::newRow("359.6 degrees rounds to 60") << 59 << 359.6f << 60;
}

void TestAlarm::dragRules() {
    QFETCH(int, countdown);
    QFETCH(float, angle);
    QFETCH(int, minutes);
    QCOMPARE(int(DragMinutes(std::int16_t(countdown), angle)), minutes);
}

void TestAlarm::dragOverTheDial_data() {
    QTest::addColumn<int>("button");
    QTest::newRow("left button drags") << 1;
    QTest::newRow("right button does not") << 2;
    QTest::newRow("middle button does not") << 4;
}

void TestAlarm::dragOverTheDial() {
    QFETCH(int, button);
    Started s(14, 7, 31);
    Vakto& v = s.v();
    const QPoint mark = OnDial(v.main.imgMark);
    s.h.press(mark, button);
    QCOMPARE(v.alarm.dragging, button == 1);
    if (button != 1) {
        for (int m = 1; m <= 15; ++m)
            s.h.move(DialAt(m, 34), button);
        s.h.release(DialAt(15, 34), button);
        QCOMPARE(v.alarm.countdownMinutes, std::int16_t(0));
        QCOMPARE(v.alarm.alarmOff, std::int16_t(1));
        QCOMPARE(v.main.imgMark.rect.topLeft(), QPoint(64, 4));
        return;
    }
    for (int m = 1; m <= 15; ++m)
        s.h.move(DialAt(m, 34), 1);
    QCOMPARE(v.alarm.countdownMinutes, std::int16_t(15));
    QCOMPARE(v.alarm.alarmTime, QStringLiteral("14:22:31"));
    QCOMPARE(v.alarm.alarmOff, std::int16_t(0));
    // Over a hot spot, the centre button or the announcer button the mark stays where it is.
    s.h.move(OnDial(v.main.imgHotSpot[6]), 1);
    s.h.move(Centre, 1);
    s.h.move(EachButton, 1);
    QCOMPARE(v.alarm.countdownMinutes, std::int16_t(15));
    // Back across 12 o'clock from 15 minutes is a jump and stays refused until the mark is near 45.
    s.h.move(DialAt(5, 34), 1);
    s.h.move(DialAt(1, 34), 1);
    s.h.move(DialAt(55, 34), 1);
    QCOMPARE(v.alarm.countdownMinutes, std::int16_t(1));
    s.h.release(DialAt(55, 34));
    QVERIFY(!v.alarm.dragging);
    s.h.move(DialAt(30, 34), 0);
    QCOMPARE(v.alarm.countdownMinutes, std::int16_t(1)); // released: moves do nothing
}

void TestAlarm::toggleAlarm() {
    Started s(14, 7, 31);
    Vakto& v = s.v();
    s.h.click(Centre);
    QCOMPARE(v.alarm.alarmTime, QStringLiteral("14:07:35"));
    QCOMPARE(v.alarm.alarmOff, std::int16_t(0));
    QCOMPARE(Countdown(v), QStringLiteral("00"));
    s.h.click(QPoint(20, 10)); // the header button: off again
    QCOMPARE(v.alarm.alarmOff, std::int16_t(1));
    QCOMPARE(v.alarm.alarmTime, QStringLiteral("14:07:35")); // kept
    QCOMPARE(s.h.tray.tip, QStringLiteral("Alarm OFF"));
    QCOMPARE(v.depot.mnuTray[mnuOnOff].caption, QStringLiteral("Alarm ON"));
    QCOMPARE(s.h.window.icon, QStringLiteral("ICO1"));
    QCOMPARE(Row(v.main.imgAlarm), QStringLiteral("__.__"));
    s.h.runTo(14, 7, 40);
    QVERIFY(s.h.sound.played.isEmpty());

    ToggleAlarm(v); // on at 14:07:40, rings four seconds later
    QCOMPARE(v.alarm.alarmTime, QStringLiteral("14:07:44"));
    s.h.runTo(14, 7, 43);
    QVERIFY(s.h.sound.played.isEmpty());
    s.h.runTo(14, 7, 44);
    QCOMPARE(s.h.sound.played.size(), 1);
    QCOMPARE(v.alarm.alarmOff, std::int16_t(1));
}

void TestAlarm::ringInSettingMode() {
    Started s(14, 7, 31);
    Vakto& v = s.v();
    SetAnnouncer(v, 0);
    s.h.click(AlarmDigits);
    s.h.click(Preset(1)); // works in setting mode too
    QCOMPARE(v.alarm.alarmTime, QStringLiteral("14:08:31"));
    s.h.runTo(14, 8, 31);
    QCOMPARE(s.h.sound.played.size(), 1);
    QVERIFY(v.alarmWin.open);
    QCOMPARE(v.alarm.alarmOff, std::int16_t(1));
    QCOMPARE(v.alarm.alarmSet, std::int16_t(1));
    QVERIFY(v.main.imgCorrect[0].visible);
    QCOMPARE(Row(v.main.imgAlarm).remove(2, 1), QStringLiteral("____"));
    // The colon goes on blinking.
    s.h.runTo(14, 8, 32);
    const PicRef before = v.main.imgAlarm[2].pic;
    s.h.runTo(14, 8, 33);
    QVERIFY(v.main.imgAlarm[2].pic != before);
    // Leaving setting mode applies the time copied on entry, by now in the past: off.
    s.h.click(AlarmDigits);
    QCOMPARE(v.alarm.alarmOff, std::int16_t(1));
}

void TestAlarm::alarmAndAnnouncerInOneSecond() {
    Started s(10, 29, 50);
    Vakto& v = s.v();
    QCOMPARE(v.alarm.announceEvery, std::int16_t(15));
    SetAlarm(v, QStringLiteral("10:30:00"));
    QCOMPARE(v.alarm.alarmOff, std::int16_t(0));
    s.h.runTo(10, 30, 0);
    QCOMPARE(s.h.sound.played.size(), 2); // the alarm's ring and the announcer's
    QCOMPARE(s.h.sound.descriptions, (QStringList{"Timer or alarm", "Interval announcer"}));
    QVERIFY(v.alarmWin.open);
    QCOMPARE(v.alarmWin.closeCountdown, std::int16_t(2));
    QCOMPARE(v.alarm.alarmOff, std::int16_t(1));
}

void TestAlarm::secondRingKeepsTheWindow() {
    Started s(10, 29, 58);
    Vakto& v = s.v();
    SetAlarm(v, QStringLiteral("10:29:59"));
    s.h.runTo(10, 29, 59);
    QCOMPARE(s.h.sound.played.size(), 1);
    AlarmWindowTick(v);
    QCOMPARE(v.alarmWin.cmdDone.text, QStringLiteral("1"));
    s.h.runTo(10, 30, 0); // the announcer rings again within two seconds
    QCOMPARE(s.h.sound.played.size(), 2);
    QCOMPARE(v.alarmWin.cmdDone.text, QStringLiteral("1"));
    AlarmWindowTick(v);
    QVERIFY(!v.alarmWin.open);
}

void TestAlarm::announcerMinutes_data() {
    QTest::addColumn<int>("period");
    QTest::addColumn<QList<int>>("minutes");
    QTest::newRow("off") << 0 << QList<int>{};
    QTest::newRow("10") << 10 << QList<int>{0, 10, 20, 30, 40, 50};
    QTest::newRow("15") << 15 << QList<int>{0, 15, 30, 45};
    QTest::newRow("20") << 20 << QList<int>{0, 20, 40};
    QTest::newRow("30") << 30 << QList<int>{0, 30};
    QTest::newRow("60") << 60 << QList<int>{0};
    QTest::newRow("not a period") << 7 << QList<int>{};
}

void TestAlarm::announcerMinutes() {
    QFETCH(int, period);
    QFETCH(QList<int>, minutes);
    Started s(9, 59, 59);
    Vakto& v = s.v();
    SetAnnouncer(v, std::int16_t(period));
    QList<int> rang;
    for (int i = 0; i < 3600; ++i) {
        const int before = s.h.sound.played.size();
        s.h.clock.advance(1);
        s.h.tick();
        if (s.h.sound.played.size() > before) {
            QCOMPARE(v.curSecond(), QStringLiteral("00"));
            rang << v.curMinute().toInt();
        }
        AlarmWindowTick(v);
    }
    QCOMPARE(rang, minutes);
    QCOMPARE(v.alarm.alarmOff, std::int16_t(1)); // independent of the alarm
}

void TestAlarm::announcerButtonCycle() {
    Started s(9, 0, 30);
    Vakto& v = s.v();
    QCOMPARE(v.alarm.announceEvery, std::int16_t(15));
    QCOMPARE(v.main.imgEach.pic, (PicRef{Strip::imgEach, 2}));
    const int cycle[6] = {20, 30, 60, 0, 10, 15};
    const int dial[6] = {3, 4, 5, 0, 1, 2};
    for (int i = 0; i < 6; ++i) {
        s.h.click(EachButton);
        QCOMPARE(v.alarm.announceEvery, std::int16_t(cycle[i]));
        QCOMPARE(v.main.imgEach.pic, (PicRef{Strip::imgEach, std::int16_t(dial[i])}));
        QCOMPARE(v.main.picClock.pic, (PicRef{Strip::imgDial, std::int16_t(dial[i])}));
        QCOMPARE(v.analog.dialIndex, dial[i]);
    }
    QCOMPARE(NextAnnouncePeriod(7), std::int16_t(7));
}

void TestAlarm::timerRings_data() {
    QTest::addColumn<QTime>("now");
    QTest::addColumn<int>("preset"); // -1: ToggleAlarm, 100+i: hot spot i
    QTest::addColumn<QString>("alarm");
    QTest::addColumn<int>("countdown");
    QTest::addColumn<bool>("settingMode"); // the alarm digits clicked twice, no arrow touched
    QTest::newRow("toggle at 14:07:58 crosses a minute") << QTime(14, 7, 58) << -1 << "14:08:02" << 1 << false;
    QTest::newRow("23:50:20 plus 15") << QTime(23, 50, 20) << 5 << "00:05:20" << 15 << false;
    QTest::newRow("23:30:20 plus 60") << QTime(23, 30, 20) << 9 << "00:30:20" << 60 << false;
    QTest::newRow("hot spot 2 at 23:58:00") << QTime(23, 58, 0) << 102 << "00:08:00" << 10 << false;
    QTest::newRow("toggle at 23:59:58") << QTime(23, 59, 58) << -1 << "00:00:02" << 1 << false;
    QTest::newRow("preset 0 at 23:50:20 stays off") << QTime(23, 50, 20) << 0 << "23:50:20" << 0 << false;
    QTest::newRow("23:55:10 plus 10, setting mode in and out") << QTime(23, 55, 10) << 4 << "00:05:10" << 10 << true;
    QTest::newRow("23:30:20 plus 60, setting mode in and out") << QTime(23, 30, 20) << 9 << "00:30:20" << 60 << true;
    QTest::newRow("14:07:31 plus 45, setting mode in and out") << QTime(14, 7, 31) << 8 << "14:52:31" << 45 << true;
}

void TestAlarm::timerRings() {
    QFETCH(QTime, now);
    QFETCH(int, preset);
    QFETCH(QString, alarm);
    QFETCH(int, countdown);
    Started s(now.hour(), now.minute(), now.second());
    Vakto& v = s.v();
    SetAnnouncer(v, 0);
    if (preset < 0)
        ToggleAlarm(v);
    else if (preset >= 100)
        s.h.click(OnDial(v.main.imgHotSpot[preset - 100]));
    else
        s.h.click(Preset(preset));
    QFETCH(bool, settingMode);
    if (settingMode) {
        const std::int64_t due = v.alarm.alarmDue;
        const auto runFor = [&](int seconds) {
            const QTime t = s.h.clock.t.time().addSecs(seconds);
            s.h.runTo(t.hour(), t.minute(), t.second());
        };
        runFor(5);
        s.h.click(AlarmDigits);
        QCOMPARE(v.alarm.alarmSet, std::int16_t(1));
        runFor(3); // the colon blinks meanwhile
        s.h.click(AlarmDigits);
        QCOMPARE(v.alarm.alarmSet, std::int16_t(0));
        QCOMPARE(Row(v.main.imgAlarm), alarm.left(5)); // shown with the lit colon, as armed
        QCOMPARE(v.alarm.alarmDue, due);
    }
    QCOMPARE(v.alarm.alarmTime, alarm);
    QCOMPARE(v.alarm.countdownMinutes, std::int16_t(countdown));
    QCOMPARE(v.alarm.alarmOff, std::int16_t(countdown == 0 ? 1 : 0));
    if (countdown == 0) return;
    const QTime due = QTime::fromString(alarm, QStringLiteral("hh:mm:ss"));
    s.h.runTo(due.addSecs(-1).hour(), due.addSecs(-1).minute(), due.addSecs(-1).second());
    QVERIFY(s.h.sound.played.isEmpty());
    QCOMPARE(v.alarm.alarmOff, std::int16_t(0));
    s.h.runTo(due.hour(), due.minute(), due.second());
    QCOMPARE(s.h.sound.played.size(), 1);
    QCOMPARE(s.h.clock.t.date(), QDate(2026, 12, due < now ? 10 : 9));
}

void TestAlarm::missedSecondRings_data() {
    QTest::addColumn<int>("jump"); // seconds skipped from 14:17:25
    QTest::newRow("late timer, 15 s") << 15;
    QTest::newRow("suspended 2 hours") << 7200;
    QTest::newRow("suspended 3 days") << 3 * 86400;
}

void TestAlarm::missedSecondRings() {
    QFETCH(int, jump);
    Started s(14, 7, 31);
    Vakto& v = s.v();
    SetAnnouncer(v, 0);
    s.h.click(Preset(4));
    s.h.runTo(14, 17, 25);
    QVERIFY(s.h.sound.played.isEmpty());
    s.h.clock.advance(jump);
    s.h.tick();
    QCOMPARE(s.h.sound.played.size(), 1);
    QVERIFY(v.alarmWin.open);
    QCOMPARE(v.alarm.alarmOff, std::int16_t(1));
    QCOMPARE(Countdown(v), QStringLiteral("__"));
    QCOMPARE(Row(v.main.imgAlarm), QStringLiteral("__.__"));
    for (int i = 0; i < 90; ++i) {
        s.h.clock.advance(1);
        s.h.tick();
    }
    QCOMPARE(s.h.sound.played.size(), 1); // once
}

void TestAlarm::clockSetBackRingsNothingEarly() {
    Started s(14, 7, 31);
    Vakto& v = s.v();
    SetAnnouncer(v, 0);
    s.h.click(Preset(4));
    s.h.runTo(14, 17, 25);
    s.h.clock.set(13, 0, 0);
    s.h.tick();
    QVERIFY(s.h.sound.played.isEmpty());
    QCOMPARE(v.alarm.alarmOff, std::int16_t(0));
    QCOMPARE(v.alarm.countdownMinutes, std::int16_t(60)); // 1 h 17 min ahead again
    // A forward jump that stays short of the alarm's time rings nothing either.
    s.h.clock.set(14, 10, 0);
    s.h.tick();
    QVERIFY(s.h.sound.played.isEmpty());
    // 70 full minutes passed: the steps from 60 would have reached 00 at 14:00.
    QCOMPARE(v.alarm.countdownMinutes, std::int16_t(0));
    s.h.runTo(14, 17, 31);
    QCOMPARE(s.h.sound.played.size(), 1);
}

void TestAlarm::countdownAfterGap_data() {
    QTest::addColumn<QString>("alarm"); // hh:mm set with the arrows; empty: preset 45, 14:52:31
    QTest::addColumn<QTime>("gapFrom");
    QTest::addColumn<QTime>("after");
    QTest::addColumn<int>("countdown");
    QTest::newRow("forward 22 minutes, mid-minute") << "" << QTime(14, 7, 40) << QTime(14, 30, 10) << 22;
    QTest::newRow("forward onto a full minute") << "" << QTime(14, 7, 40) << QTime(14, 40, 0) << 12;
    QTest::newRow("back 7 minutes") << "" << QTime(14, 7, 40) << QTime(14, 0, 10) << 52;
    // More than an hour ahead: the steps the missed minutes would have made, not SetAlarm's formula.
    QTest::newRow("90 minutes ahead, 3 minutes lost after reaching 00")
        << "15:37" << QTime(15, 10, 20) << QTime(15, 13, 20) << 0;
    QTest::newRow("90 minutes ahead, 10 minutes lost while counting")
        << "15:37" << QTime(14, 30, 10) << QTime(14, 40, 10) << 27;
    QTest::newRow("2 h 30 ahead, 30 minutes lost after reaching 00")
        << "16:37" << QTime(14, 50, 10) << QTime(15, 20, 10) << 0;
    QTest::newRow("90 minutes ahead, a 30-minute gap across the 00 stops at 00")
        << "15:37" << QTime(14, 50, 10) << QTime(15, 20, 10) << 0;
}

void TestAlarm::countdownAfterGap() {
    QFETCH(QString, alarm);
    QFETCH(QTime, gapFrom);
    QFETCH(QTime, after);
    QFETCH(int, countdown);
    Started s(14, 7, 31);
    Vakto& v = s.v();
    SetAnnouncer(v, 0);
    if (alarm.isEmpty())
        s.h.click(Preset(8));
    else
        SetWithArrows(s.h, alarm);
    const QString due = alarm.isEmpty() ? QStringLiteral("14:52:31") : alarm + QStringLiteral(":00");
    QCOMPARE(v.alarm.alarmTime, due);
    QCOMPARE(v.alarm.countdownMinutes, std::int16_t(alarm.isEmpty() ? 45 : alarm == "15:37" ? 60 : 30));
    s.h.runTo(gapFrom.hour(), gapFrom.minute(), gapFrom.second());
    s.h.clock.set(after.hour(), after.minute(), after.second());
    s.h.tick();
    QCOMPARE(v.alarm.countdownMinutes, std::int16_t(countdown));
    QCOMPARE(Countdown(v), QStringLiteral("%1").arg(countdown, 2, 10, QLatin1Char('0')));
    QCOMPARE(v.alarm.alarmOff, std::int16_t(0));
    // From there it steps once a minute again, and the alarm rings at its time, once.
    const QTime next = QTime(after.hour(), after.minute()).addSecs(60);
    s.h.runTo(next.hour(), next.minute(), 0);
    QCOMPARE(v.alarm.countdownMinutes, std::int16_t(std::max(0, countdown - 1)));
    const QTime ring = QTime::fromString(due, QStringLiteral("hh:mm:ss"));
    s.h.runTo(ring.addSecs(-1).hour(), ring.addSecs(-1).minute(), ring.addSecs(-1).second());
    QVERIFY(s.h.sound.played.isEmpty());
    s.h.runTo(ring.hour(), ring.minute(), ring.second());
    QCOMPARE(s.h.sound.played.size(), 1);
}

QTEST_MAIN(TestAlarm)
#include "test_alarm.moc"
