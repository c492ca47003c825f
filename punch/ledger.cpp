#include "punch/ledger.h"
LedgerRead ParseLedger(const QByteArray&) { return {}; }
QByteArray FormatLedger(const std::vector<ProjectRec>&, bool) { return {}; }
QString LedgerPath(const Vakto& v) { return v.app.programFolder + QStringLiteral("/vakto.dat"); }
bool LoadProjects(Vakto&) { return true; }
bool SaveProjects(Vakto&) { return true; }
void AddToProject(Vakto&) {}
QString SayProjectTime(const Vakto&, std::int16_t) { return {}; }
void InstallLedgerHandlers(Vakto&) {}
