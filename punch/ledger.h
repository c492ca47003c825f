#pragma once
// The project ledger: its text file format, loading and saving it, and the description line that
// shows and edits the selected project.
#include "model/vakto.h"

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
// Writes UTF-8, or Windows-1252 when `legacyEncoding` is set and every name fits that code page.
QByteArray FormatLedger(const std::vector<ProjectRec>& projects, bool legacyEncoding = false);

// Windows-1252 both ways. The five bytes the code page leaves undefined map to the C1 controls of
// the same value, so any byte string survives a round trip.
QString DecodeWindows1252(const QByteArray& bytes);
// False when a character has no Windows-1252 byte; `out` then holds '?' in its place.
bool EncodeWindows1252(const QString& text, QByteArray* out);

// A name as the editor hands it over, made safe for the file: TAB, CR and LF become spaces.
QString SanitiseName(const QString& typed);

QString LedgerPath(const Vakto& v);

// Makes `folder` and every missing folder above it, each private to the user (0700): the ledger
// holds project names and hours. Folders that exist stay as they are. Returns why it failed,
// empty on success.
QString MakePrivateFolder(const QString& folder);
// The twelve records a new user starts with, in the file format.
QByteArray DefaultLedger();
// Read at start-up (after creating a missing per-user ledger); false after a fatal report.
bool LoadProjects(Vakto& v);
// Rewrites the whole file, durably. False when it could not: the old file stays as it was, the
// failure is reported once (not fatally) and the records stay in memory for the next try.
bool SaveProjects(Vakto& v);
// The session's save: the file gets the selected project's minutes punched so far, while the records
// in memory and the punch clock stay as they are, so that the minutes are added once, later.
bool SaveProjectsWithPunched(Vakto& v);
// At a full minute: `counted` punched minutes were just counted; the file gets them at once, so that
// however the program ends it loses at most the running minute. A failed earlier save is tried again.
void SaveAtFullMinute(Vakto& v, int counted);
// The quit's save, one more try; a failure is a fatal report that says what is not on disk.
bool SaveProjectsAtQuit(Vakto& v);
void AddToProject(Vakto& v);
QString SayProjectTime(const Vakto& v, std::int16_t parWhat);
// Description line: the label click opens the editor, the confirm button commits it.
void OpenDescriptionEditor(Vakto& v);
void CommitDescription(Vakto& v);
void InstallLedgerHandlers(Vakto& v);
