#pragma once

#include <QByteArray>

// The alarm chime as a complete WAV file: 44.1 kHz, 16-bit PCM, mono.
QByteArray alarmChimeWav();

// The ledger supplied with the program: twelve empty projects in the data file format.
QByteArray defaultLedger();
