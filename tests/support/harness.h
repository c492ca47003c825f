#pragma once
// A whole Vakto core with recording fakes and a private program folder holding a ledger.

#include "model/vakto.h"
#include "tests/support/fakes.h"

#include <QTemporaryDir>
#include <memory>

// A core over a given program folder, with recording fakes.
struct FakeCore : FakePorts {
    Vakto v;
    explicit FakeCore(const QString& folder) : v(ports(), folder) {}
};

struct Harness : FakePorts {
    QTemporaryDir dir;
    std::unique_ptr<Vakto> v;

    // Copies the supplied ledger into the folder unless `ledger` gives other bytes.
    explicit Harness(const QByteArray& ledger = QByteArray(), bool writeLedger = true);
    // Runs the start-up sequence at the clock's current time.
    bool start();
    // One tick at the clock's time; then the clock moves on by `advance` seconds.
    void tick(int advance = 0);
    // Moves the clock one second at a time up to hh:mm:ss, ticking at every second.
    void runTo(int h, int m, int s);
    // Simulates a click (press and release) at a window point, as the shell routes it.
    void click(QPoint windowPoint, int button = 1);
    void press(QPoint windowPoint, int button = 1);
    void release(QPoint windowPoint, int button = 1);
    void move(QPoint windowPoint, int buttons = 0);
    QByteArray ledgerBytes() const;
    QString ledgerPath() const;
};

QByteArray SuppliedLedger();

// Window points of the punch clock's elements, at the centre of each.
inline QPoint ProjectButton(int k) {
    return {8 + 32 * ((k - 1) % 3) + 15, 33 + 29 * ((k - 1) / 3) + 14};
}
inline constexpr QPoint PunchButton{248 + 15, 20 + 107 + 15};
