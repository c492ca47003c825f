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

namespace {
// Writes the two digits of n (0..99) at d.
void PutTwoDigits(QChar* d, int n) {
    d[0] = QLatin1Char(char('0' + n / 10));
    d[1] = QLatin1Char(char('0' + n % 10));
}

// The text's own buffer of `size` characters: allocated on the first call only, and again only
// when someone else holds a copy of the text (data() detaches then).
QChar* OwnBuffer(QString& text, qsizetype size) {
    if (text.size() != size) text.resize(size);
    return text.data();
}
} // namespace

void UpdateTimeStrings(Vakto& v, const QTime& t) {
    // "H:mm:ss" padded to two digits per field is always "hh:mm:ss". Written into the texts' own
    // buffers, so that a tick allocates nothing.
    QChar* d = OwnBuffer(v.time.curTime, 8);
    PutTwoDigits(d, t.hour());
    d[2] = QLatin1Char(':');
    PutTwoDigits(d + 3, t.minute());
    d[5] = QLatin1Char(':');
    PutTwoDigits(d + 6, t.second());
    PutTwoDigits(OwnBuffer(v.time.curParts.hour, 2), t.hour());
    PutTwoDigits(OwnBuffer(v.time.curParts.minute, 2), t.minute());
    PutTwoDigits(OwnBuffer(v.time.curParts.second, 2), t.second());
}
