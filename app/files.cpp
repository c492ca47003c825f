#include "app/files.h"

#include "model/vakto.h"
#include "punch/ledger.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
// A short, stable name for a resolved ledger path: the same ledger always gets the same socket.
QString Tag(const QString& ledger) {
    const QByteArray sha = QCryptographicHash::hash(ledger.toUtf8(), QCryptographicHash::Sha1);
    return QString::fromLatin1(sha.toHex().left(16));
}

// A folder no other user can put a file into: ours, and writable by nobody else. A socket or lock
// there cannot be made or replaced by someone else.
bool IsPrivateFolder(const QString& folder) {
    struct stat st {};
    if (folder.isEmpty() || ::stat(QFile::encodeName(folder).constData(), &st) != 0) return false;
    return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// A socket's path must fit sockaddr_un::sun_path with its terminating NUL.
bool FitsSocket(const QString& path) {
    return std::size_t(QFile::encodeName(path).size()) < sizeof(sockaddr_un::sun_path);
}

// The file the ledger is finally written to, with every symbolic link resolved (the save replaces
// the link's target, not the link). A ledger not made yet resolves through its folder.
QString ResolvedLedger(const QString& ledger) {
    const QFileInfo info(ledger);
    const QString existing = info.canonicalFilePath();
    if (!existing.isEmpty()) return existing;
    // A link to a file that does not exist yet: the first save creates the target.
    const QFileInfo target(info.isSymLink() ? info.symLinkTarget() : info.absoluteFilePath());
    const QString folder = QFileInfo(target.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? QString() : folder + QLatin1Char('/') + target.fileName();
}
} // namespace

FileLayout ChooseFiles(const QString& programFolder, const QString& dataHome) {
    FileLayout f;
    f.programFolder = QDir::cleanPath(programFolder);
    const QString beside = f.programFolder + QStringLiteral("/vakto.dat");
    const bool besideLedger = QFileInfo::exists(beside);

    // Files beside the executable make a portable copy; otherwise the installed layout
    // <prefix>/bin/vakto with <prefix>/share/vakto/.
    const QString share = QDir::cleanPath(f.programFolder + QStringLiteral("/../share/vakto"));
    const bool besideData = besideLedger || QFileInfo(f.programFolder + QStringLiteral("/wav")).isDir();
    f.dataFolder = !besideData && QFileInfo(share).isDir() ? share : f.programFolder;

    // A ledger beside the executable is used where it is only when it can be saved there: the save
    // writes a new file and renames it over the old one, so the folder must be writable.
    if (besideLedger && QFileInfo(f.programFolder).isWritable()) {
        f.ledger = beside;
    } else {
        f.ledger = QDir::cleanPath(dataHome + QStringLiteral("/vakto/vakto.dat"));
        f.perUser = true;
        const QString supplied = f.dataFolder + QStringLiteral("/vakto.dat");
        if (QFileInfo::exists(supplied)) f.seed = supplied;
    }
    return f;
}

QString ResolveLock(FileLayout& files, const QString& runtimeDir) {
    files.lock.clear();
    files.socket.clear();
    if (files.perUser) {
        const QString why = MakePrivateFolder(QFileInfo(files.ledger).absolutePath());
        if (!why.isEmpty()) return why;
    }
    const QString resolved = ResolvedLedger(files.ledger);
    if (resolved.isEmpty()) return QStringLiteral("%1: the folder does not exist").arg(files.ledger);
    const QFileInfo ledger(resolved);
    const QString folder = ledger.absolutePath();
    files.lock = folder + QStringLiteral("/.") + ledger.fileName() + QStringLiteral(".lock");

    // The runtime folder first: it is meant for sockets, and it is empty after a reboot. Never a
    // shared folder such as /tmp: whoever made a file at the socket's name there could make every
    // second start talk to them.
    const QString runtime = runtimeDir.isEmpty() ? QString() : QDir::cleanPath(runtimeDir);
    const QString inRuntime = runtime + QStringLiteral("/vakto-") + Tag(resolved) + QStringLiteral(".socket");
    const QString besideLedger = folder + QStringLiteral("/.") + ledger.fileName() + QStringLiteral(".socket");
    if (IsPrivateFolder(runtime) && FitsSocket(inRuntime))
        files.socket = inRuntime;
    else if (IsPrivateFolder(folder) && FitsSocket(besideLedger))
        files.socket = besideLedger;
    return QString();
}

void UseFiles(Vakto& v, const FileLayout& files) {
    v.app.programFolder = files.programFolder;
    v.app.dataFolder = files.dataFolder;
    v.app.ledgerPath = files.ledger;
    v.app.seedLedger = files.perUser;
    v.app.ledgerSeed = files.seed;
}
