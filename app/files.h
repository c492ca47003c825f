#pragma once
// Where the program's files live. A portable copy keeps everything beside the executable; an
// installed one reads its sound and supplied ledger from <prefix>/share/vakto and keeps each user's
// ledger in that user's data folder, because the program folder is not theirs to write.

#include <QString>

struct Vakto;

struct FileLayout {
    QString programFolder; // folder of the executable, no trailing separator
    QString dataFolder;    // holds wav/ and the supplied vakto.dat
    QString ledger;        // the ledger in use
    // The ledger is the user's own: created on the first start from `seed`, or from the built-in
    // records when `seed` is empty.
    bool perUser = false;
    QString seed;
    QString lock;   // the single-instance lock that guards `ledger`
    QString socket; // where the running instance listens for a second start, named after `ledger`
};

// programFolder: the executable's folder; dataHome: $XDG_DATA_HOME (~/.local/share by default);
// runtimeDir: $XDG_RUNTIME_DIR. Looks at the file system but changes nothing.
FileLayout ChooseFiles(const QString& programFolder, const QString& dataHome, const QString& runtimeDir);

// Points the core at the chosen files (the sound, the ledger, the first-start seeding).
void UseFiles(Vakto& v, const FileLayout& files);
