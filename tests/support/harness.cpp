#include "tests/support/harness.h"

#include "app/pointer.h"
#include "app/startup.h"
#include "punch/ledger.h"

#include <QFile>

QByteArray SuppliedLedger() {
    QFile f(QStringLiteral(VAKTO_SOURCE_DIR "/assets/vakto.dat"));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

Harness::Harness(const QByteArray& ledger, bool writeLedger) {
    if (writeLedger) {
        QFile f(dir.path() + QStringLiteral("/vakto.dat"));
        if (f.open(QIODevice::WriteOnly)) f.write(ledger.isNull() ? SuppliedLedger() : ledger);
    }
    v = std::make_unique<Vakto>(ports(), dir.path());
}

bool Harness::start() {
    return Startup(*v);
}

void Harness::tick(int advance) {
    Tick(*v);
    clock.advance(advance);
}

void Harness::runTo(int h, int m, int s) {
    const QTime target(h, m, s);
    for (int guard = 0; guard < 2 * 86400 && clock.t.time() != target; ++guard) {
        clock.advance(1);
        Tick(*v);
    }
}

void Harness::press(QPoint p, int button) {
    PointerPress(*v, p, button);
}
void Harness::release(QPoint p, int button) {
    PointerRelease(*v, p, button, 0);
}
void Harness::move(QPoint p, int buttons) {
    PointerMove(*v, p, buttons);
}

void Harness::click(QPoint p, int button) {
    press(p, button);
    release(p, button);
}

QString Harness::ledgerPath() const {
    return dir.path() + QStringLiteral("/vakto.dat");
}

QByteArray Harness::ledgerBytes() const {
    QFile f(ledgerPath());
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}
