#include "alarm/frmalarm.h"

#include "app/shell.h"

FrmAlarm::FrmAlarm(Shell& shell) : m_shell(shell) { setWindowTitle(QStringLiteral("Alarm")); }

void FrmAlarm::sync() {}
