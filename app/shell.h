#pragma once
// The shell hub: owns the windows, the picture cache and the Timer1 tick, and brings what the
// user sees in step with the element model after every call into the core.

#include "app/vakto.h"

#include <QHash>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QTimer>

class FrmVakto;
class FrmAlarm;
class FrmAbout;

// Depot pictures as pixmaps, each decoded once, on first use.
class DepotPixmaps {
public:
    const QPixmap& pixmap(PicRef ref);
    const QPixmap& skin();
    // Icon with its 16 x 16 and 32 x 32 images: "ICO0", "ICO1", tray icons, window icons.
    QIcon icon(const QString& name);

private:
    QHash<quint32, QPixmap> m_cache;
    QPixmap m_skin;
    QPixmap m_none;
};

class Shell : public QObject {
    Q_OBJECT
public:
    explicit Shell(Vakto& v);
    ~Shell() override;

    Vakto& vakto() { return m_v; }
    DepotPixmaps& pixmaps() { return m_pixmaps; }
    FrmVakto* mainWindow() { return m_main; }
    FrmAlarm* alarmWindow();
    FrmAbout* aboutWindow();

    // After every call into the core: repaint what changed (at once with `now`), open or close the
    // alarm window.
    void sync(bool now = false);
    // Starts Timer1: it fires a few milliseconds after each wall-clock second boundary.
    void startTicking();
    void tickNow();

    void showAbout();
    void unloadAbout();

private:
    void armTick();

    Vakto& m_v;
    DepotPixmaps m_pixmaps;
    FrmVakto* m_main = nullptr;
    QPointer<FrmAlarm> m_alarm;
    QPointer<FrmAbout> m_about;
    QTimer m_timer1;
};
