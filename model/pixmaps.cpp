#include "model/pixmaps.h"

#include "model/depot.h"

#include <QIcon>

const QPixmap& DepotPixmaps::pixmap(PicRef ref) {
    if (ref.strip == Strip::None) return m_none;
    const quint32 key = (quint32(ref.strip) << 16) | quint16(ref.index);
    auto it = m_cache.find(key);
    if (it == m_cache.end()) it = m_cache.insert(key, QPixmap(DepotPath(ref)));
    return *it;
}

const QPixmap& DepotPixmaps::skin() {
    if (m_skin.isNull()) m_skin = QPixmap(QStringLiteral(":/skin.png"));
    return m_skin;
}

QIcon DepotPixmaps::icon(const QString& name) {
    QIcon icon;
    for (int size : {16, 32}) {
        if (name.startsWith(QLatin1String("imgTrayIcon")))
            icon.addFile(DepotPath({Strip::imgTrayIcon, std::int16_t(name.right(1).toInt())}, size));
        else
            icon.addFile(QStringLiteral(":/icons/%1_%2.png").arg(name).arg(size));
    }
    return icon;
}
