// The real main window and alarm window on the offscreen platform: clicks and drags at the real
// places reach the alarm, and the alarm window looks and closes as it should. Also the real sound
// output and its fallbacks against a private audio server.

#include "alarm/alarmsetting.h"
#include "alarm/alarmstate.h"
#include "alarm/frmalarm.h"
#include "alarm/sound.h"
#include "app/frmvakto.h"
#include "app/shell.h"
#include "tests/support/harness.h"

#include <QGroupBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <memory>

#if defined(__SANITIZE_ADDRESS__)
// The audio client library keeps the context of a failed server connection, and the sound library
// its loaded backend, for the life of the process; neither is ours to free.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libpulse.so\nleak:libcanberra\nleak:libltdl\n";
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

// A private PulseAudio server with one null sink, so that the sound tests neither depend on nor
// disturb the desktop's audio.
class AudioServer {
public:
    bool start() {
        if (QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty()) return false;
        m_runtime = m_dir.path() + QStringLiteral("/pulse");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), m_dir.path());
        env.insert(QStringLiteral("PULSE_RUNTIME_PATH"), m_runtime);
        env.insert(QStringLiteral("PULSE_STATE_PATH"), m_dir.path() + QStringLiteral("/state"));
        m_server.setProcessEnvironment(env);
        m_server.setStandardOutputFile(QProcess::nullDevice());
        m_server.setStandardErrorFile(QProcess::nullDevice());
        m_server.start(QStringLiteral("pulseaudio"),
                       {QStringLiteral("-n"), QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
                        QStringLiteral("-L"), QStringLiteral("module-native-protocol-unix"), QStringLiteral("-L"),
                        QStringLiteral("module-null-sink sink_name=nullsink")});
        if (!m_server.waitForStarted()) return false;
        for (int i = 0; i < 100 && !QFileInfo::exists(socket()); ++i)
            QTest::qWait(50);
        return QFileInfo::exists(socket());
    }
    void stop() {
        if (m_server.state() == QProcess::NotRunning) return;
        m_server.kill();
        m_server.waitForFinished();
    }
    ~AudioServer() { stop(); }
    QString socket() const { return m_runtime + QStringLiteral("/native"); }

private:
    QTemporaryDir m_dir;
    QString m_runtime;
    QProcess m_server;
};

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
    void soundFallbacks_data();
    void soundFallbacks();
    void soundFallsBackWhenTheServerGoes();

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

void TestAlarmWidget::soundFallbacks_data() {
    QTest::addColumn<QString>("file"); // relative to a temporary folder, or "alarm" for the real chime
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("server");
    QTest::addColumn<int>("outcome");
    const int file = int(CanberraSound::Outcome::File);
    const int theme = int(CanberraSound::Outcome::ThemeEvent);
    const int beep = int(CanberraSound::Outcome::Beep);
    QTest::newRow("the chime plays") << "alarm" << QByteArray() << true << file;
    QTest::newRow("missing WAV: the theme's alarm") << "wav/missing.wav" << QByteArray() << true << theme;
    QTest::newRow("empty WAV: the theme's alarm") << "empty.wav" << QByteArray("") << true << theme;
    QTest::newRow("not a sound: the theme's alarm") << "text.wav" << QByteArray("RIFF? no.\n") << true << theme;
    QTest::newRow("a folder named like the WAV") << "folder.wav" << QByteArray() << true << theme;
    QTest::newRow("no audio server: beep") << "alarm" << QByteArray() << false << beep;
    QTest::newRow("no audio server, missing WAV: beep") << "wav/missing.wav" << QByteArray() << false << beep;
}

void TestAlarmWidget::soundFallbacks() {
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, server);
    AudioServer audio;
    if (server && !audio.start()) QSKIP("pulseaudio cannot run here (scripts/install-deps installs it)");
    // Read when the sound's context is created, at its first ring: only this private server is reached.
    qputenv("CANBERRA_DRIVER", "pulse");
    qputenv("PULSE_SERVER", ("unix:" + (server ? audio.socket() : m_h->dir.path() + QStringLiteral("/none"))).toUtf8());
    QString path = m_h->dir.path() + QLatin1Char('/') + file;
    if (file == QLatin1String("alarm")) path = QStringLiteral(VAKTO_SOURCE_DIR "/assets/wav/alarm.wav");
    if (file == QLatin1String("folder.wav")) QVERIFY(QDir(m_h->dir.path()).mkdir(file));
    if (!bytes.isNull()) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    CanberraSound sound;
    sound.play(path, QStringLiteral("Timer or alarm"));
    QTEST(int(sound.outcome()), "outcome");
    QCOMPARE(sound.beeps(), server ? 0 : 1);
    // A second ring replaces the first; the chime's end then arrives as success and changes nothing.
    sound.play(path, QStringLiteral("Timer or alarm"));
    QTEST(int(sound.outcome()), "outcome");
    QTest::qWait(!server ? 0 : file == QLatin1String("alarm") ? 2500 : 300);
    QTEST(int(sound.outcome()), "outcome");
    QCOMPARE(sound.beeps(), server ? 0 : 2);
}

void TestAlarmWidget::soundFallsBackWhenTheServerGoes() {
    AudioServer audio;
    if (!audio.start()) QSKIP("pulseaudio cannot run here (scripts/install-deps installs it)");
    qputenv("CANBERRA_DRIVER", "pulse");
    qputenv("PULSE_SERVER", ("unix:" + audio.socket()).toUtf8());
    CanberraSound sound;
    sound.play(QStringLiteral(VAKTO_SOURCE_DIR "/assets/wav/alarm.wav"), QStringLiteral("Timer or alarm"));
    QCOMPARE(sound.outcome(), CanberraSound::Outcome::File);
    // The server goes while the chime plays: the failure arrives later on the library's thread, the
    // theme's alarm cannot play either, and the ring ends as the beep.
    audio.stop();
    QTRY_COMPARE_WITH_TIMEOUT(sound.outcome(), CanberraSound::Outcome::Beep, 5000);
    QCOMPARE(sound.beeps(), 1);
}

QTEST_MAIN(TestAlarmWidget)
#include "test_alarm_widget.moc"
