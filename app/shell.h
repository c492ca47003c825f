#pragma once
// The shell hub: owns the windows, the picture cache and the Timer1 tick, and brings what the
// user sees in step with the element model after every call into the core.

#include "model/pixmaps.h"
#include "platform/walltimer.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

class FrmVakto;
class FrmAlarm;
class FrmAbout;

class Shell : public QObject, public ShellHub {
    Q_OBJECT
public:
    explicit Shell(Vakto& v);
    ~Shell() override;

    Vakto& vakto() override { return m_v; }
    DepotPixmaps& pixmaps() override { return m_pixmaps; }
    FrmVakto* mainWindow() { return m_main; }
    FrmAlarm* alarmWindow();
    FrmAbout* aboutWindow();

    // After every call into the core: repaint what changed, open or close the alarm window.
    void sync() override;
    // The same after a tick, with the repaint done at once rather than posted.
    void syncNow();
    // Starts Timer1: it fires a few milliseconds after each wall-clock second boundary while the
    // window is shown, and only at the seconds the core needs while it is hidden.
    void startTicking();
    void tickNow();

    void showAbout();
    void unloadAbout();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void armTick();
    // Shown again after sleeping: the model catches up before the first frame.
    void wake();
    void syncWith(bool now);

    Vakto& m_v;
    DepotPixmaps m_pixmaps;
    FrmVakto* m_main = nullptr;
    QPointer<FrmAlarm> m_alarm;
    QPointer<FrmAbout> m_about;
    WallTimer m_wall;
    QTimer m_timer1; // only where the kernel gives no wall-clock timer
    bool m_ticking = false;
    bool m_wakePosted = false;
};
