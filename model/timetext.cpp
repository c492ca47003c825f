#include "model/timetext.h"

#include <QTime>

QString FormatTime(const QTime& t) {
    // Built by hand: the form must not follow the user's regional time format.
    return QStringLiteral("%1:%2:%3")
        .arg(t.hour(), 2, 10, QLatin1Char('0'))
        .arg(t.minute(), 2, 10, QLatin1Char('0'))
        .arg(t.second(), 2, 10, QLatin1Char('0'));
}

QString PadTime(const QString& text) {
    if (text.size() >= 2 && text.at(1) == QLatin1Char(':')) return QLatin1Char('0') + text;
    return text;
}

TimeParts SplitTime(const QString& text) {
    TimeParts p;
    p.hour = text.left(2);
    p.minute = text.mid(3, 2);
    p.second = text.right(2);
    return p;
}

void UpdateTimeStrings(Vakto& v) {
    UpdateTimeStrings(v, v.ports.clock.now().time());
}

void UpdateTimeStrings(Vakto& v, const QTime& t) {
    // H:mm:ss first, then padded, so that curTime always has two digits per field.
    const QString unpadded = QStringLiteral("%1:%2:%3")
                                 .arg(t.hour())
                                 .arg(t.minute(), 2, 10, QLatin1Char('0'))
                                 .arg(t.second(), 2, 10, QLatin1Char('0'));
    const QString padded = PadTime(unpadded);
    v.time.curTime = padded;
    v.time.curParts = SplitTime(padded);
}
