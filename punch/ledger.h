#pragma once
#include "app/vakto.h"

#include <QByteArray>
#include <vector>

// Result of reading a ledger; on failure `error` names the line and the fault.
struct LedgerRead {
    bool ok = false;
    std::vector<ProjectRec> projects;
    bool legacyEncoding = false;
    QString error;
};

// The file format, independent of where the bytes come from.
LedgerRead ParseLedger(const QByteArray& bytes);
QByteArray FormatLedger(const std::vector<ProjectRec>& projects, bool legacyEncoding = false);

QString LedgerPath(const Vakto& v);
// Read at start-up; false after a fatal report.
bool LoadProjects(Vakto& v);
// Rewrites the whole file; false after a fatal report (the old file stays as it was).
bool SaveProjects(Vakto& v);
void AddToProject(Vakto& v);
QString SayProjectTime(const Vakto& v, std::int16_t parWhat);
void InstallLedgerHandlers(Vakto& v);
