#include "punch/ledger.h"

#include "punch/punch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Bytes 0x80..0x9F of Windows-1252; 0 marks the five bytes the code page leaves undefined.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

const char* const FieldNames[3] = {"number", "hours", "minutes"};

constexpr int HoursMax = 32767;
constexpr int HoursMin = -32768;

bool IsAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// A decimal number with optional sign and fraction, rounded half to even, inside the 16-bit range.
// The rounding works on the digits themselves, so "0.5000001" rounds up although no double says so.
bool ParseNumber(const QString& field, std::int16_t* out, QString* why) {
    const QString s = field.trimmed();
    int pos = 0;
    bool negative = false;
    if (pos < s.size() && (s[pos] == QLatin1Char('-') || s[pos] == QLatin1Char('+')))
        negative = s[pos++] == QLatin1Char('-');
    const int intStart = pos;
    while (pos < s.size() && IsAsciiDigit(s[pos]))
        ++pos;
    const QString intDigits = s.mid(intStart, pos - intStart);
    QString fracDigits;
    if (pos < s.size() && s[pos] == QLatin1Char('.')) {
        const int fracStart = ++pos;
        while (pos < s.size() && IsAsciiDigit(s[pos]))
            ++pos;
        fracDigits = s.mid(fracStart, pos - fracStart);
    }
    if (pos != s.size() || (intDigits.isEmpty() && fracDigits.isEmpty())) {
        *why = QStringLiteral("is not a number");
        return false;
    }
    int lead = 0;
    while (lead < intDigits.size() - 1 && intDigits[lead] == QLatin1Char('0'))
        ++lead;
    const QString significant = intDigits.mid(lead);
    // Six or more significant digits are out of range whatever the fraction.
    if (significant.size() > 5) {
        *why = QStringLiteral("is outside -32768 to 32767");
        return false;
    }
    long value = significant.isEmpty() ? 0 : significant.toLong();
    if (!fracDigits.isEmpty()) {
        const QChar first = fracDigits[0];
        const bool restNonZero =
            std::any_of(fracDigits.begin() + 1, fracDigits.end(), [](QChar c) { return c != QLatin1Char('0'); });
        if (first > QLatin1Char('5') || (first == QLatin1Char('5') && (restNonZero || value % 2 == 1))) ++value;
    }
    if (negative) value = -value;
    if (value < -32768 || value > 32767) {
        *why = QStringLiteral("is outside -32768 to 32767");
        return false;
    }
    *out = static_cast<std::int16_t>(value);
    return true;
}

// Splits decoded text into lines. A line ends at CR LF, a lone CR or a lone LF; the last line may
// lack its end. Each line keeps its 1-based number in the file for error reports.
struct Line {
    int number;
    QString text;
};

std::vector<Line> SplitLines(const QString& text) {
    std::vector<Line> lines;
    int number = 1;
    int start = 0;
    const int n = text.size();
    for (int i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n')) continue;
        lines.push_back({number++, text.mid(start, i - start)});
        if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n')) ++i;
        start = i + 1;
    }
    if (start < n) lines.push_back({number, text.mid(start)});
    return lines;
}

QString FileName(const Vakto& v) {
    return QDir::toNativeSeparators(LedgerPath(v));
}

bool IsValidUtf8(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString ignored = utf8(bytes);
    return !utf8.hasError();
}

// Some editors save "Unicode" as UTF-16: a byte-order mark, or a zero byte beside every ASCII
// character. No ledger in UTF-8 or an 8-bit code page holds zero bytes.
const char* Utf16Order(const QByteArray& bytes) {
    if (bytes.startsWith("\xff\xfe")) return "little-endian";
    if (bytes.startsWith("\xfe\xff")) return "big-endian";
    const int n = std::min<int>(bytes.size(), 64) & ~1;
    int evenZero = 0, oddZero = 0;
    for (int i = 0; i < n; i += 2) {
        evenZero += bytes[i] == '\0';
        oddZero += bytes[i + 1] == '\0';
    }
    if (n >= 2 && oddZero * 2 >= n / 2 && evenZero == 0) return "little-endian";
    if (n >= 2 && evenZero * 2 >= n / 2 && oddZero == 0) return "big-endian";
    return nullptr;
}

ProjectRec* SelectedRecord(Vakto& v) {
    const int k = v.punch.currentProject;
    if (k < 1 || k > static_cast<int>(v.punch.projects.size())) return nullptr;
    return &v.punch.projects[static_cast<std::size_t>(k - 1)];
}

void OnLabelClick(Vakto& v, int, const MouseEv&) {
    OpenDescriptionEditor(v);
}
void OnConfirmClick(Vakto& v, int, const MouseEv&) {
    CommitDescription(v);
}

QString Errno(int e) {
    return QString::fromLocal8Bit(std::strerror(e));
}

bool Stat(const QString& path, LedgerFileMark* mark) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return false;
    mark->device = std::int64_t(st.st_dev);
    mark->inode = std::int64_t(st.st_ino);
    mark->size = std::int64_t(st.st_size);
    mark->mtimeNs = std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return S_ISREG(st.st_mode);
}

// Writes a whole file or leaves the old one as it was; returns why it failed, empty on success.
// The new file is written beside the old one, flushed to the disk, renamed over the old one, and
// the folder is flushed too, so that after a power cut the name points at one whole file, never a
// torn or empty one. A missing folder is made again. An existing file keeps its permissions; a new
// one is the user's alone.
QString WriteDurably(const QString& reached, const QByteArray& bytes) {
    // A ledger that is a symbolic link stays one: the file it points at is replaced.
    QString path = reached;
    const QFileInfo link(reached);
    if (link.isSymLink()) {
        const QString canonical = link.canonicalFilePath();
        path = canonical.isEmpty() ? link.symLinkTarget() : canonical;
    }
    const QString folder = QFileInfo(path).absolutePath();
    QString why = MakePrivateFolder(folder);
    if (!why.isEmpty()) return why;
    mode_t mode = 0600;
    struct stat old {};
    if (::stat(QFile::encodeName(path).constData(), &old) == 0 && S_ISREG(old.st_mode)) mode = old.st_mode & 07777;
    QByteArray temp = QFile::encodeName(path) + ".new-XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return Errno(errno);
    auto fail = [&](const QString& reason) {
        ::close(fd);
        ::unlink(temp.constData());
        return reason;
    };
    if (mode != 0600 && ::fchmod(fd, mode) != 0) return fail(Errno(errno));
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, std::size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            // A short write (disk full, size limit) shows as a failed second call.
            return fail(QStringLiteral("only %1 of %2 bytes could be written (%3)")
                            .arg(done)
                            .arg(bytes.size())
                            .arg(Errno(n < 0 ? errno : ENOSPC)));
        }
        done += n;
    }
    if (::fsync(fd) != 0 && errno != EINVAL) return fail(Errno(errno));
    if (::close(fd) != 0) {
        const int e = errno;
        ::unlink(temp.constData());
        return Errno(e);
    }
    if (::rename(temp.constData(), QFile::encodeName(path).constData()) != 0) {
        const int e = errno;
        ::unlink(temp.constData());
        return Errno(e);
    }
    // The rename is only durable once the folder's entry is on the disk.
    const int dir = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return QString();
}

// Remembers the file as it now is on disk, `bytes` being what it holds.
void MarkOnDisk(Vakto& v, const QByteArray& bytes) {
    LedgerFileMark& m = v.punch.onDisk;
    m.known = Stat(LedgerPath(v), &m);
    m.bytes = bytes;
    m.bytes.squeeze(); // kept all day: not the spare room of the buffer it was formatted in
}

// Before a save: a file that is not the one last read or written (edited by hand, replaced by a
// sync tool) is kept beside the ledger under a name that says so, and the user is told once.
// Returns why the save must not go on (their version could not be kept), empty otherwise.
QString KeepOtherVersion(Vakto& v) {
    LedgerFileMark& m = v.punch.onDisk;
    if (!m.known) return QString();
    LedgerFileMark now;
    if (!Stat(LedgerPath(v), &now)) return QString(); // gone, or not a file: nothing of theirs to keep
    if (now.device == m.device && now.inode == m.inode && now.size == m.size && now.mtimeNs == m.mtimeNs)
        return QString();
    QFile f(LedgerPath(v));
    if (!f.open(QIODevice::ReadOnly)) return QString();
    const QByteArray theirs = f.readAll();
    if (f.error() != QFileDevice::NoError) return QString();
    if (theirs == m.bytes) { // touched, not changed
        now.bytes = theirs;
        m = now;
        return QString();
    }
    const QString stamp = v.ports.clock.now().toString(QStringLiteral("yyyy-MM-dd-HHmmss"));
    QString kept = LedgerPath(v) + QStringLiteral(".edited-") + stamp;
    for (int i = 2; QFileInfo::exists(kept); ++i)
        kept = LedgerPath(v) + QStringLiteral(".edited-%1-%2").arg(stamp).arg(i);
    const QString why = WriteDurably(kept, theirs);
    // Not kept, so not overwritten: the save fails and is tried again later.
    if (!why.isEmpty())
        return QStringLiteral("it was changed by another program and that version cannot be kept as %1: %2")
            .arg(QDir::toNativeSeparators(kept), why);
    v.ports.dialogs.warn(QStringLiteral("%1 was changed by another program while Vakto ran. That version is kept as "
                                        "%2; %1 holds Vakto's projects again.")
                             .arg(FileName(v), QDir::toNativeSeparators(kept)));
    m.known = false; // dealt with; what follows is ours
    return QString();
}

// The user's ledger on its first start: a copy of the supplied one, or the built-in records. A
// supplied ledger that does not read is reported under its own name, and nothing is created.
bool SeedLedger(Vakto& v) {
    const QString from = v.app.ledgerSeed;
    QByteArray bytes = DefaultLedger();
    if (!from.isEmpty()) {
        const QString name = QDir::toNativeSeparators(from);
        QFile f(from);
        if (!f.open(QIODevice::ReadOnly)) {
            Fail(v, QStringLiteral("%1: the supplied project file cannot be opened: %2").arg(name, f.errorString()));
            return false;
        }
        bytes = f.readAll();
        const LedgerRead r = ParseLedger(bytes);
        if (f.error() != QFileDevice::NoError || !r.ok) {
            Fail(v, QStringLiteral("%1: %2").arg(name, r.ok ? f.errorString() : r.error));
            return false;
        }
    }
    const QString why = WriteDurably(LedgerPath(v), bytes);
    if (!why.isEmpty()) {
        Fail(v, QStringLiteral("%1: the project file cannot be created: %2").arg(FileName(v), why));
        return false;
    }
    return true;
}

} // namespace

QString MakePrivateFolder(const QString& path) {
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (QFileInfo(clean).isDir()) return QString();
    const QString parent = QFileInfo(clean).absolutePath();
    if (parent != clean) {
        const QString why = MakePrivateFolder(parent);
        if (!why.isEmpty()) return why;
    }
    if (::mkdir(QFile::encodeName(clean).constData(), 0700) != 0 && errno != EEXIST)
        return QStringLiteral("the folder %1 cannot be made: %2").arg(QDir::toNativeSeparators(clean), Errno(errno));
    return QString();
}

QString DecodeWindows1252(const QByteArray& bytes) {
    QString out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        const char16_t mapped = b >= 0x80 && b < 0xA0 ? Cp1252High[b - 0x80] : 0;
        out.append(QChar(mapped ? mapped : char16_t(b)));
    }
    return out;
}

bool EncodeWindows1252(const QString& text, QByteArray* out) {
    out->clear();
    out->reserve(text.size());
    bool all = true;
    for (QChar qc : text) {
        const char16_t c = qc.unicode();
        int byte = -1;
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
            byte = c;
        else if (c < 0xA0 && Cp1252High[c - 0x80] == 0)
            byte = c; // an undefined byte read back as its C1 control
        else
            for (int i = 0; i < 32; ++i)
                if (Cp1252High[i] == c) byte = 0x80 + i;
        if (byte < 0) {
            all = false;
            byte = '?';
        }
        out->append(static_cast<char>(byte));
    }
    return all;
}

QString SanitiseName(const QString& typed) {
    QString name = typed;
    for (QChar& c : name)
        if (c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n')) c = QLatin1Char(' ');
    return name;
}

LedgerRead ParseLedger(const QByteArray& bytes) {
    LedgerRead r;
    if (const char* order = Utf16Order(bytes)) {
        r.error = QStringLiteral("the file is UTF-16 text (%1); Vakto reads UTF-8 or Windows-1252: save the file in "
                                 "one of those encodings")
                      .arg(QLatin1String(order));
        return r;
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (utf8.hasError()) {
        // Not UTF-8: an 8-bit file from the system code page of old.
        text = DecodeWindows1252(bytes);
        r.legacyEncoding = true;
    }
    for (const Line& line : SplitLines(text)) {
        QString s = line.text;
        if (s.isEmpty() || s.startsWith(QLatin1Char('#'))) continue;
        // Six passes of pair-wise shortening: a run of up to 64 TABs separates like one.
        for (int pass = 0; pass < 6; ++pass)
            s.replace(QLatin1String("\t\t"), QLatin1String("\t"));
        const QStringList fields = s.split(QLatin1Char('\t'));
        const QString where = QStringLiteral("line %1: ").arg(line.number);
        if (fields.size() < 4) {
            r.error = where + QStringLiteral("fewer than four fields (%1 found)").arg(fields.size());
            return r;
        }
        ProjectRec rec;
        std::int16_t* targets[3] = {&rec.number, &rec.hours, &rec.minutes};
        for (int i = 0; i < 3; ++i) {
            // "_" stands for an empty number; names keep their underscores.
            QString field = fields[i];
            field.replace(QLatin1Char('_'), QLatin1Char('0'));
            QString why;
            if (!ParseNumber(field, targets[i], &why)) {
                r.error =
                    where + QStringLiteral("the %1 field \"%2\" %3").arg(QLatin1String(FieldNames[i]), fields[i], why);
                return r;
            }
        }
        rec.name = fields[3];
        r.projects.push_back(rec);
    }
    if (r.projects.empty()) {
        r.error = QStringLiteral("no project line (a line of number, hours, minutes and name, separated by TABs)");
        return r;
    }
    r.ok = true;
    return r;
}

QByteArray FormatLedger(const std::vector<ProjectRec>& projects, bool legacyEncoding) {
    const QString crlf = QStringLiteral("\r\n");
    const QChar tab = QLatin1Char('\t');
    QString text = QStringLiteral("#\th\tm\tproject") + crlf + crlf;
    for (const ProjectRec& r : projects)
        text += QString::number(r.number) + tab + QString::number(r.hours) + tab + QString::number(r.minutes) + tab +
                SanitiseName(r.name) + crlf;
    // The reader takes any valid UTF-8 as UTF-8. So the old code page is kept only where its bytes
    // cannot pass for UTF-8 (they could once the comment holding the only odd byte is gone), and a
    // name it cannot hold moves the whole file to UTF-8 rather than losing letters.
    QByteArray bytes;
    if (legacyEncoding && EncodeWindows1252(text, &bytes) && !IsValidUtf8(bytes)) return bytes;
    return text.toUtf8();
}

QString LedgerPath(const Vakto& v) {
    return v.app.ledgerPath;
}

QByteArray DefaultLedger() {
    std::vector<ProjectRec> projects;
    for (std::int16_t k = 1; k <= 12; ++k)
        projects.push_back(ProjectRec{k, 0, 0, QStringLiteral("Project %1").arg(k)});
    return FormatLedger(projects);
}

bool LoadProjects(Vakto& v) {
    if (v.app.seedLedger && !QFileInfo::exists(LedgerPath(v)) && !SeedLedger(v)) return false;
    QFile f(LedgerPath(v));
    if (!f.exists()) {
        Fail(v, QStringLiteral("%1: the project file does not exist").arg(FileName(v)));
        return false;
    }
    if (!f.open(QIODevice::ReadOnly)) {
        Fail(v, QStringLiteral("%1: the project file cannot be opened: %2").arg(FileName(v), f.errorString()));
        return false;
    }
    // Looked at before reading: a change made while reading then shows at the first save.
    LedgerFileMark mark;
    mark.known = Stat(LedgerPath(v), &mark);
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        Fail(v, QStringLiteral("%1: the project file cannot be read: %2").arg(FileName(v), f.errorString()));
        return false;
    }
    LedgerRead r = ParseLedger(bytes);
    if (!r.ok) {
        Fail(v, QStringLiteral("%1: %2").arg(FileName(v), r.error));
        return false;
    }
    v.punch.projects = std::move(r.projects);
    v.punch.legacyEncoding = r.legacyEncoding;
    v.punch.loaded = true;
    mark.bytes = bytes;
    v.punch.onDisk = mark;
    return true;
}

namespace {
QString UnsavedText(const Vakto& v) {
    const int n = v.punch.unsavedMinutes;
    if (n == 0) return QStringLiteral("The file does not hold the latest change yet.");
    return n == 1 ? QStringLiteral("1 punched minute is not on disk yet.")
                  : QStringLiteral("%1 punched minutes are not on disk yet.").arg(n);
}

// Writes the ledger. A failure is reported once (file and fault) and ends nothing: the records stay
// in memory and the next minute, the next change and the quit try again.
bool WriteProjects(Vakto& v, const std::vector<ProjectRec>& projects) {
    // After a fatal report (a ledger that never loaded) nothing may touch the file.
    if (v.app.ended) return false;
    if (!v.punch.loaded) return true; // nothing of the user's to write yet; the file stays as it is
    const QByteArray bytes = FormatLedger(projects, v.punch.legacyEncoding);
    QString why = KeepOtherVersion(v);
    if (why.isEmpty()) why = WriteDurably(LedgerPath(v), bytes);
    v.punch.lastSaveError = why;
    if (!why.isEmpty()) {
        // While quitting, the quit's own report says it all.
        if (!v.punch.saveFailing && v.app.quitPass == 0) {
            v.punch.saveFailing = true;
            v.ports.dialogs.warn(QStringLiteral("%1: the project file cannot be written: %2. Vakto keeps the projects "
                                                "and tries again every minute. %3")
                                     .arg(FileName(v), why, UnsavedText(v)));
        }
        return false;
    }
    MarkOnDisk(v, bytes);
    v.punch.saveFailing = false;
    v.punch.unsavedMinutes = 0;
    // From now on the file reads as what it was written as.
    v.punch.legacyEncoding = !IsValidUtf8(bytes);
    return true;
}

// Adds punched minutes to a record, as whole hours and the rest.
void AddMinutes(ProjectRec& rec, int punched) {
    // In 32 bits: hours x 60 alone passes 16 bits beyond 546 hours.
    std::int32_t total = std::int32_t(rec.hours) * 60 + rec.minutes + punched;
    total = std::clamp<std::int32_t>(total, HoursMin * 60 - 59, HoursMax * 60 + 59);
    // Whole hours and the rest, for every total: the same as carrying only past 60, and also right
    // when the file held more than 59 or negative minutes.
    rec.minutes = static_cast<std::int16_t>(total % 60);
    rec.hours = static_cast<std::int16_t>(total / 60);
}

int PunchedSoFar(const Vakto& v) {
    return v.punch.punchMinutes == PunchOff ? 0 : v.punch.punchMinutes;
}
} // namespace

bool SaveProjects(Vakto& v) {
    return WriteProjects(v, v.punch.projects);
}

bool SaveProjectsWithPunched(Vakto& v) {
    const int k = v.punch.currentProject;
    if (k < 1 || k > static_cast<int>(v.punch.projects.size()) || PunchedSoFar(v) == 0) return SaveProjects(v);
    std::vector<ProjectRec> withPunched = v.punch.projects;
    AddMinutes(withPunched[std::size_t(k - 1)], PunchedSoFar(v));
    return WriteProjects(v, withPunched);
}

void SaveAtFullMinute(Vakto& v, int counted) {
    if (counted > 0 && SelectedRecord(v)) {
        v.punch.unsavedMinutes += counted;
        SaveProjectsWithPunched(v);
    } else if (v.punch.saveFailing) {
        SaveProjectsWithPunched(v);
    }
}

bool SaveProjectsAtQuit(Vakto& v) {
    if (SaveProjects(v)) return true;
    if (!v.app.ended)
        Fail(v, QStringLiteral("%1: the project file cannot be written: %2. %3")
                    .arg(FileName(v), v.punch.lastSaveError, UnsavedText(v)));
    return false;
}

void AddToProject(Vakto& v) {
    ProjectRec* rec = SelectedRecord(v);
    if (!rec) return;
    AddMinutes(*rec, PunchedSoFar(v));
    SetText(v.main.lblDescription,
            rec->name + SayProjectTime(v, static_cast<std::int16_t>(v.punch.currentProject - 1)));
    SaveProjects(v);
}

QString SayProjectTime(const Vakto& v, std::int16_t parWhat) {
    if (parWhat < 0 || parWhat >= static_cast<int>(v.punch.projects.size())) return QString();
    const ProjectRec& rec = v.punch.projects[static_cast<std::size_t>(parWhat)];
    QString m = QString::number(rec.minutes);
    if (m.size() == 1) m.prepend(QLatin1Char('0'));
    return QStringLiteral(" [") + QString::number(rec.hours) + QLatin1Char(':') + m + QLatin1Char(']');
}

void OpenDescriptionEditor(Vakto& v) {
    if (v.punch.punchMinutes != PunchOff) return;
    const ProjectRec* rec = SelectedRecord(v);
    if (!rec) return;
    SetVisible(v.main.txtDescription, true);
    SetText(v.main.txtDescription, rec->name);
    SetVisible(v.main.imgDescription, true);
}

void CommitDescription(Vakto& v) {
    ProjectRec* rec = SelectedRecord(v);
    if (!rec) {
        // The selection was cleared while the editor was open: keep the typed name for a later commit.
        v.ports.dialogs.message(QStringLiteral("Select a project first; the name stays in the editor."));
        return;
    }
    const QString name = SanitiseName(v.main.txtDescription.text);
    // The line keeps the time the project had; the record starts again from 0:00.
    SetText(v.main.lblDescription, name + SayProjectTime(v, static_cast<std::int16_t>(v.punch.currentProject - 1)));
    rec->name = name;
    rec->hours = 0;
    rec->minutes = 0;
    // A failed save keeps the new name in memory and tries again later, like every other change.
    SaveProjects(v);
    if (v.app.ended) return;
    SetText(v.main.txtDescription, name);
    SetVisible(v.main.txtDescription, false);
    SetVisible(v.main.imgDescription, false);
    SetVisible(v.main.lblDescription, true);
}

void InstallLedgerHandlers(Vakto& v) {
    v.main.lblDescription.onClick = OnLabelClick;
    v.main.imgDescription.onClick = OnConfirmClick;
}
