#pragma once
// The shell's side of the floor: the depot's pictures as pixmaps, and what the windows of every
// folder need from the shell that owns them.

#include "model/vakto.h"

#include <QHash>
#include <QPixmap>

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

// The shell as a window or the tray sees it. The one implementation is the Shell at the top (app/),
// which owns the windows; the windows of the lower folders reach it only through this.
class ShellHub {
public:
    virtual Vakto& vakto() = 0;
    virtual DepotPixmaps& pixmaps() = 0;
    // After every call into the core: repaint what changed, open or close the alarm window.
    virtual void sync() = 0;

protected:
    ~ShellHub() = default;
};
