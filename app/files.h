#pragma once
// Where the program's files live. A portable copy keeps everything beside the executable; an
// installed one reads its sound and supplied ledger from <prefix>/share/vakto and keeps each user's
// ledger in that user's data folder, because the program folder is not theirs to write.

#include <QString>

struct Vakto;

struct FileLayout {
    QString programFolder; // folder of the executable, no trailing separator
    QString dataFolder;    // holds wav/ and the supplied vakto.dat
    QString ledger;        // the ledger in use, as reached (symbolic links not resolved)
    // The ledger is the user's own: created on the first start from `seed`, or from the built-in
    // records when `seed` is empty.
    bool perUser = false;
    QString seed;
    // Set by ResolveLock. The single-instance lock that guards `ledger`: beside the file the ledger
    // resolves to, so every path that leads to one ledger leads to one lock.
    QString lock;
    // Where the running instance listens for a second start: only in a folder private to the user;
    // empty when there is none.
    QString socket;
};

// programFolder: the executable's folder; dataHome: $XDG_DATA_HOME (~/.local/share by default).
// Looks at the file system but changes nothing.
FileLayout ChooseFiles(const QString& programFolder, const QString& dataHome);

// Chooses `lock` and `socket` for the chosen ledger. For a user's ledger it first makes the data
// folder (MakePrivateFolder), since the lock lives beside the ledger. runtimeDir: $XDG_RUNTIME_DIR,
// used for the socket only when it is private. Empty on success, else why there is no lock
// (`lock` is then empty).
QString ResolveLock(FileLayout& files, const QString& runtimeDir);

// Points the core at the chosen files (the sound, the ledger, the first-start seeding).
void UseFiles(Vakto& v, const FileLayout& files);
