#include "model/vakto.h"

std::int64_t TickKey(const QDateTime& t) {
    return t.date().toJulianDay() * SecondsPerDay + t.time().msecsSinceStartOfDay() / 1000;
}

void Fail(Vakto& v, const QString& message) {
    if (v.app.ended) return;
    v.app.ended = true;
    v.ports.dialogs.error(message);
    v.ports.window.endProgram(2);
}
