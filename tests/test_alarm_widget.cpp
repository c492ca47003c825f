// The real main window and alarm window on the offscreen platform: clicks and drags at the real
// places reach the alarm, and the alarm window looks and closes as it should. Also the real sound
// output's fallbacks.

#include "alarm/alarmsetting.h"
#include "alarm/alarmstate.h"
#include "alarm/frmalarm.h"
#include "alarm/sound.h"
#include "app/frmvakto.h"
#include "app/shell.h"
#include "tests/support/harness.h"

#include <QGroupBox>
#include <QPushButton>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <memory>

#if defined(__SANITIZE_ADDRESS__)
// Qt's audio service keeps the audio client library's context of a failed server connection for
// the life of the process; that is not ours to free.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libpulse.so\n";
}
#endif

namespace {

const QPoint DialOrigin(248, 20);

QPoint DialAt(double minutes, double radius) {
    const double a = minutes * 6.0 * M_PI / 180.0;
    return DialOrigin +
           QPoint(int(std::lround(68.5 + radius * std::sin(a))), int(std::lround(68.5 - radius * std::cos(a))));
}

// A mouse move with the left button held: QTest::mouseMove sends none.
void DragTo(QWidget* w, QPoint p) {
    QMouseEvent ev(QEvent::MouseMove, QPointF(p), w->mapToGlobal(QPointF(p)), Qt::NoButton, Qt::LeftButton,
                   Qt::NoModifier);
    QCoreApplication::sendEvent(w, &ev);
}

} // namespace

class TestAlarmWidget : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void clicks_data();
    void clicks();
    void arrowClick();
    void dragTheMark();
    void alarmWindowLayout();
    void closing_data();
    void closing();
    void oneAlarmWindowAtATime();
    void soundFallbacks();

private:
    Vakto& v() { return *m_h->v; }
    FrmVakto* main() { return m_shell->mainWindow(); }
    void ring() {
        SoundAlarm(v());
        m_shell->sync();
    }

    std::unique_ptr<Harness> m_h;
    std::unique_ptr<Shell> m_shell;
};

void TestAlarmWidget::init() {
    m_h = std::make_unique<Harness>();
    m_h->clock.set(14, 7, 31);
    m_shell = std::make_unique<Shell>(*m_h->v);
    QVERIFY(m_h->start());
    m_h->tick();
    main()->show();
    m_shell->sync();
    QVERIFY(QTest::qWaitForWindowExposed(main()));
}

void TestAlarmWidget::cleanup() {
    m_shell.reset();
    m_h.reset();
}

void TestAlarmWidget::clicks_data() {
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QString>("alarm");
    QTest::addColumn<int>("countdown");
    QTest::newRow("preset 10") << QPoint(221 + 11, 164 + 12) << "14:17:31" << 10;
    QTest::newRow("hot spot 3") << DialOrigin + QPoint(115 + 8, 60 + 8) << "14:22:31" << 15;
    QTest::newRow("centre button") << DialOrigin + QPoint(69, 69) << "14:07:35" << 0;
}

void TestAlarmWidget::clicks() {
    QFETCH(QPoint, at);
    QFETCH(QString, alarm);
    QFETCH(int, countdown);
    QTest::mouseClick(main(), Qt::LeftButton, {}, at);
    QCOMPARE(v().alarm.alarmTime, alarm);
    QCOMPARE(v().alarm.alarmOff, std::int16_t(0));
    QCOMPARE(v().alarm.countdownMinutes, std::int16_t(countdown));
    QCOMPARE(m_h->tray.tip, QStringLiteral("Alarm ON"));
    QCOMPARE(m_h->window.icon, QStringLiteral("ICO0"));
    QTest::mouseClick(main(), Qt::LeftButton, {}, DialOrigin + QPoint(69, 69)); // the centre: off again
    QCOMPARE(v().alarm.alarmOff, std::int16_t(1));
}

void TestAlarmWidget::arrowClick() {
    QTest::mouseClick(main(), Qt::LeftButton, {}, QPoint(136 + 13, 96 + 25)); // the alarm digits
    QCOMPARE(v().alarm.alarmSet, std::int16_t(1));
    QCOMPARE(v().alarm.editAlarmTime, QStringLiteral("14:07:00"));
    QTest::mousePress(main(), Qt::LeftButton, {}, QPoint(195 + 11, 88));
    QCOMPARE(v().main.imgCorrect[3].rect.top(), 86);
    QTest::mouseRelease(main(), Qt::LeftButton, {}, QPoint(195 + 11, 88));
    QCOMPARE(v().main.imgCorrect[3].rect.top(), 84);
    QCOMPARE(v().alarm.editAlarmTime, QStringLiteral("14:08:00"));
    QTest::mouseClick(main(), Qt::LeftButton, {}, QPoint(192 + 13, 96 + 25)); // leave: applied
    QCOMPARE(v().alarm.alarmTime, QStringLiteral("14:08:00"));
    QCOMPARE(v().alarm.alarmOff, std::int16_t(0));
}

void TestAlarmWidget::dragTheMark() {
    const QPoint mark = v().main.imgMark.rect.translated(DialOrigin).center();
    QTest::mousePress(main(), Qt::LeftButton, {}, mark);
    for (int m = 0; m <= 15; ++m)
        DragTo(main(), DialAt(m, 34));
    QTest::mouseRelease(main(), Qt::LeftButton, {}, DialAt(15, 34));
    QCOMPARE(v().alarm.countdownMinutes, std::int16_t(15));
    QCOMPARE(v().alarm.alarmTime, QStringLiteral("14:22:31"));
    QCOMPARE(v().alarm.alarmOff, std::int16_t(0));
    QVERIFY(!v().alarm.dragging);
    // The mark now sits at a quarter past, on the right of the dial.
    QVERIFY(v().main.imgMark.rect.center().x() > 110);
}

void TestAlarmWidget::alarmWindowLayout() {
    ring();
    FrmAlarm* w = m_shell->alarmWindow();
    QVERIFY(w);
    QVERIFY(w->isVisible());
    QVERIFY(!w->isModal());
    QCOMPARE(w->windowTitle(), QStringLiteral("Alarm"));
    QCOMPARE(w->size(), QSize(182, 129));
    QCOMPARE(w->minimumSize(), w->maximumSize());
    QCOMPARE(w->frame()->title(), QStringLiteral("Alarm"));
    QCOMPARE(w->frame()->geometry(), QRect(16, 8, 153, 97));
    QCOMPARE(w->doneButton()->text(), QStringLiteral("2"));
    QCOMPARE(w->doneButton()->geometry(), QRect(40, 96, 105, 25));
    QCOMPARE(w->focusWidget(), w->doneButton());
    QVERIFY(!w->windowIcon().isNull());
    // The five digits of the time it opened, inside the frame.
    const QList<PictureBox*> digits = w->frame()->findChildren<PictureBox*>();
    QCOMPARE(digits.size(), 5);
    QCOMPARE(digits[2]->geometry(), QRect(72, 24, 8, 50));
    QCOMPARE(digits[4]->geometry(), QRect(104, 24, 26, 50));
    const QImage shot = w->grab().toImage();
    const QImage one = m_shell->pixmaps().pixmap({Strip::imgTime, 1}).toImage().convertToFormat(shot.format());
    QCOMPARE(shot.copy(16 + 24, 8 + 24, 26, 50).pixel(13, 25), one.pixel(13, 25)); // "1" of 14:07
}

void TestAlarmWidget::closing_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("by itself on its second tick") << "timer";
    QTest::newRow("Done") << "done";
    QTest::newRow("title-bar close") << "close";
    QTest::newRow("escape key") << "escape";
}

void TestAlarmWidget::closing() {
    QFETCH(QString, how);
    ring();
    QPointer<FrmAlarm> w = m_shell->alarmWindow();
    QVERIFY(w);
    if (how == QLatin1String("timer")) {
        QTRY_COMPARE_WITH_TIMEOUT(w->doneButton()->text(), QStringLiteral("1"), 1600);
        QVERIFY(m_shell->alarmWindow());
        QTRY_VERIFY_WITH_TIMEOUT(!m_shell->alarmWindow(), 1600);
    } else if (how == QLatin1String("done")) {
        QTest::mouseClick(w->doneButton(), Qt::LeftButton);
    } else if (how == QLatin1String("close")) {
        w->close();
    } else {
        QTest::keyClick(w, Qt::Key_Escape);
    }
    QVERIFY(!m_shell->alarmWindow());
    QVERIFY(!v().alarmWin.open);
    QTRY_VERIFY(!w);                       // deleted
    QCOMPARE(m_h->sound.played.size(), 1); // closing leaves the sound alone
    ring();                                // the next ring opens a new window
    QVERIFY(m_shell->alarmWindow());
    QCOMPARE(m_shell->alarmWindow()->doneButton()->text(), QStringLiteral("2"));
}

void TestAlarmWidget::oneAlarmWindowAtATime() {
    ring();
    FrmAlarm* first = m_shell->alarmWindow();
    QTRY_COMPARE_WITH_TIMEOUT(first->doneButton()->text(), QStringLiteral("1"), 1600);
    ring();
    QCOMPARE(m_shell->alarmWindow(), first);
    QCOMPARE(first->doneButton()->text(), QStringLiteral("1"));
    const QWidgetList tops = QApplication::topLevelWidgets();
    QCOMPARE(std::count_if(tops.begin(), tops.end(),
                           [](QWidget* t) { return qobject_cast<FrmAlarm*>(t) && t->isVisible(); }),
             1);
}

void TestAlarmWidget::soundFallbacks() {
    MediaSound sound;
    QTemporaryDir dir;
    sound.play(dir.path() + QStringLiteral("/wav/missing.wav"));
    QCOMPARE(sound.beeps(), 1);
    QFile empty(dir.path() + QStringLiteral("/empty.wav"));
    QVERIFY(empty.open(QIODevice::WriteOnly));
    empty.close();
    sound.play(empty.fileName());
    QCOMPARE(sound.beeps(), 2);
    // The real file, twice (a new ring restarts it): no beep, no block, no crash, with or without audio.
    sound.play(QStringLiteral(VAKTO_SOURCE_DIR "/assets/wav/alarm.wav"));
    sound.play(QStringLiteral(VAKTO_SOURCE_DIR "/assets/wav/alarm.wav"));
    QTest::qWait(300);
    QCOMPARE(sound.beeps(), 2);
}

QTEST_MAIN(TestAlarmWidget)
#include "test_alarm_widget.moc"
