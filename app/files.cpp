#include "app/files.h"

#include "model/vakto.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

namespace {
// A short, stable name for a ledger path: the same ledger always gets the same lock and socket.
QString Tag(const QString& ledger) {
    const QByteArray sha = QCryptographicHash::hash(ledger.toUtf8(), QCryptographicHash::Sha1);
    return QString::fromLatin1(sha.toHex().left(16));
}
} // namespace

FileLayout ChooseFiles(const QString& programFolder, const QString& dataHome, const QString& runtimeDir) {
    FileLayout f;
    f.programFolder = QDir::cleanPath(programFolder);
    const QString beside = f.programFolder + QStringLiteral("/vakto.dat");
    const bool besideLedger = QFileInfo::exists(beside);

    // Files beside the executable make a portable copy; otherwise the installed layout
    // <prefix>/bin/vakto with <prefix>/share/vakto/.
    const QString share = QDir::cleanPath(f.programFolder + QStringLiteral("/../share/vakto"));
    const bool besideData = besideLedger || QFileInfo(f.programFolder + QStringLiteral("/wav")).isDir();
    f.dataFolder = !besideData && QFileInfo(share).isDir() ? share : f.programFolder;

    const QString runtime = runtimeDir.isEmpty() ? QDir::tempPath() : QDir::cleanPath(runtimeDir);
    // A ledger beside the executable is used where it is only when it can be saved there: the save
    // writes a new file and renames it over the old one, so the folder must be writable.
    if (besideLedger && QFileInfo(f.programFolder).isWritable()) {
        f.ledger = beside;
        f.lock = f.programFolder + QStringLiteral("/.vakto.lock");
    } else {
        f.ledger = QDir::cleanPath(dataHome + QStringLiteral("/vakto/vakto.dat"));
        f.perUser = true;
        const QString supplied = f.dataFolder + QStringLiteral("/vakto.dat");
        if (QFileInfo::exists(supplied)) f.seed = supplied;
        f.lock = runtime + QStringLiteral("/vakto-") + Tag(f.ledger) + QStringLiteral(".lock");
    }
    // Always in the runtime folder: a socket path must stay short (108 bytes), and the folder is
    // private to the user.
    f.socket = runtime + QStringLiteral("/vakto-") + Tag(f.ledger) + QStringLiteral(".socket");
    return f;
}

void UseFiles(Vakto& v, const FileLayout& files) {
    v.app.programFolder = files.programFolder;
    v.app.dataFolder = files.dataFolder;
    v.app.ledgerPath = files.ledger;
    v.app.seedLedger = files.perUser;
    v.app.ledgerSeed = files.seed;
}
