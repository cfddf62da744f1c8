#include "backup/BackupStore.h"

#include "base/FileContents.h"
#include "base/PortDevice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <algorithm>

namespace {

const QString kStampFormat = QStringLiteral("yyyyMMdd-HHmmss");
constexpr int kStampLength = 15;
constexpr int kMaxSequence = 1000;

// "/dev/ttyUSB0" -> "ttyUSB0", "COM3" -> "COM3": the last part, letters, digits, '.', '_' only.
QString SafePortPart(const QString &port)
{
    static const QRegularExpression separator(QStringLiteral("[/\\\\]"));
    const QStringList parts = port.split(separator, Qt::SkipEmptyParts);
    QString last = parts.value(parts.size() - 1);
    if (!last.isEmpty() && last.front().isDigit())
        last.prepend(parts.value(parts.size() - 2));
    last.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9._]")), QStringLiteral("_"));
    return last;
}

QStringList NotesFor(const TRadioImage &image, const TBackupSource &source, const QDateTime &when)
{
    QStringList notes{QStringLiteral("date: %1").arg(when.toString(Qt::ISODate))};
    if (!source.port.isEmpty())
        notes << QStringLiteral("port: %1").arg(source.port);
    if (!source.program.isEmpty())
        notes << QStringLiteral("program: %1").arg(source.program);
    notes << QStringLiteral("holds: %1 (%2 blocks)").arg(image.contentsId()).arg(image.heldCount());
    return notes;
}

// The window and several xiepin-cli may end writes at the same moment: each takes its turn at
// the note of unfinished writes, so that none saves a copy without another's change. A lock not
// had within the wait (a folder that takes no files) leaves the note as unsafe as before.
class TNoteTurn {
public:
    explicit TNoteTurn(const QString &folder) : m_lock(QDir(folder).filePath(QStringLiteral("unfinished-writes.lock")))
    {
        QDir().mkpath(folder);
        m_lock.tryLock(10000);
    }

private:
    QLockFile m_lock;  // unlocks when the turn ends
};

// "20261208-104316-....img", a name without a folder in it.
bool IsBackupFileName(const QString &name)
{
    static const QRegularExpression backup(QStringLiteral("^\\d{8}-\\d{6}-[^/\\\\]*\\.img$"));
    return backup.match(name).hasMatch();
}

// Whether a note made under `noted` concerns `port`: the same name, or another name of it (a
// link and its device).
bool SamePortName(const QString &noted, const QString &port)
{
    return noted == port || SamePort(noted, port);
}

// Whether `image` holds a block of any area that `other` holds one of.
bool SharesAnArea(const TRadioImage &image, const TRadioImage &other)
{
    for (int area = 0; area < frame::kAreaCount; ++area)
        if (image.holdsAnyOf(area) && other.holdsAnyOf(area))
            return true;
    return false;
}

// Whether `image` holds a block of every area that `other` holds one of.
bool HoldsEveryAreaOf(const TRadioImage &image, const TRadioImage &other)
{
    for (int area = 0; area < frame::kAreaCount; ++area)
        if (other.holdsAnyOf(area) && !image.holdsAnyOf(area))
            return false;
    return true;
}

// The image without the areas `other` holds a block of.
TRadioImage WithoutAreasOf(TRadioImage image, const TRadioImage &other)
{
    for (int area = 0; area < frame::kAreaCount; ++area)
        if (other.holdsAnyOf(area))
            image.dropArea(area);
    return image;
}

// Whether `image` holds the blocks `noted` holds, with the data `reference` has in them.
bool SameBlocksAs(const TRadioImage &image, const TRadioImage &reference, const TRadioImage &noted)
{
    const TRadioImage wanted = reference.restrictedTo(noted);
    return wanted.heldCount() == noted.heldCount() && image.restrictedTo(noted) == wanted;
}

// What the backup's note that begins with `prefix` says after it; empty when none does.
QString BackupNote(const TRadioImage &backup, const QString &prefix)
{
    for (const QString &note : backup.notes())
        if (note.startsWith(prefix))
            return note.mid(prefix.size());
    return QString();
}

// The port a backup was read from; empty when its notes do not say.
QString BackupPort(const TRadioImage &backup)
{
    return BackupNote(backup, QStringLiteral("port: "));
}

// One line per note: the backup's file name, a tab, the port. A port may have several notes,
// for areas apart.
const QString kUnfinishedWrites = QStringLiteral("unfinished-writes.txt");
constexpr qint64 kMaxNotesSize = 1 << 20;  // a line per backup: a few kilobytes

}  // namespace

QString TBackupStore::DefaultFolder()
{
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    // %LOCALAPPDATA%, ~/Library/Application Support: where the desktop keeps a user's data.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
#else
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty())
        data = QDir::homePath() + QStringLiteral("/.local/share");
#endif
    return data + QStringLiteral("/xiepin/backups");
}

TBackupStore::TBackupStore(const QString &folder) : m_folder(folder) {}

QString TBackupStore::PortPart(const QString &port)
{
    return SafePortPart(port);
}

QString TBackupStore::FileName(const QDateTime &when, const QString &contents, const QString &portPart, int sequence)
{
    QString name = when.toString(kStampFormat);
    if (!portPart.isEmpty())
        name += QLatin1Char('-') + PortPart(portPart);
    name += QLatin1Char('-') + (contents.isEmpty() ? QStringLiteral("none") : contents);
    if (sequence > 1)
        name += QLatin1Char('-') + QString::number(sequence);
    return name + QStringLiteral(".img");
}

std::optional<QString> TBackupStore::Save(const TRadioImage &image, const TBackupSource &source, QString *error,
                                          const QDateTime &when, bool withPortInName) const
{
    if (!QDir().mkpath(m_folder)) {
        if (error)
            *error = QStringLiteral("cannot create the backups folder %1").arg(m_folder);
        return std::nullopt;
    }
    TRadioImage noted = image;
    noted.setNotes(NotesFor(image, source, when));
    const bool portKnown = !source.port.isEmpty();
    // Claiming the name with an exclusive create keeps two savers in one second apart; the
    // atomic save then replaces the empty file. A name taken in the same second gets the port
    // (radios written at once each keep their own), then a sequence number.
    for (int attempt = 1; attempt <= kMaxSequence; ++attempt) {
        const bool withPort = withPortInName || (portKnown && attempt > 1);
        const int sequence = withPortInName || !portKnown ? attempt : attempt - 1;
        const QString port = withPort ? source.port : QString();
        const QString path = QDir(m_folder).filePath(FileName(when, image.contentsId(), port, sequence));
        QFile claim(path);
        if (!claim.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (QFileInfo::exists(path))
                continue;
            if (error)
                *error = QStringLiteral("cannot create a backup file in %1: %2").arg(m_folder, claim.errorString());
            return std::nullopt;
        }
        claim.close();
        if (!noted.save(path, error)) {
            QFile::remove(path);
            return std::nullopt;
        }
        Prune(path);
        return path;
    }
    if (error)
        *error = QStringLiteral("cannot find a free backup file name in %1").arg(m_folder);
    return std::nullopt;
}

// Names start with the time stamp, so the name order is the time order; within one second the
// time each file was written decides ("...-all.img" read after "...-main.img" is the later),
// then the sequence number.
QStringList TBackupStore::FileNamesNewestFirst() const
{
    const QFileInfoList files = QDir(m_folder).entryInfoList({QStringLiteral("*.img")}, QDir::Files);
    QStringList names;
    QHash<QString, qint64> written;
    for (const QFileInfo &file : files) {
        if (!IsBackupFileName(file.fileName()))
            continue;
        names << file.fileName();
        written.insert(file.fileName(), file.lastModified().toMSecsSinceEpoch());
    }
    auto sequence = [](const QString &name) {
        static const QRegularExpression tail(QStringLiteral("-(\\d+)\\.img$"));
        const auto match = tail.match(name);
        return match.hasMatch() ? match.captured(1).toInt() : 1;
    };
    std::sort(names.begin(), names.end(), [&](const QString &a, const QString &b) {
        const QString sa = a.left(kStampLength);
        const QString sb = b.left(kStampLength);
        if (sa != sb)
            return sa > sb;
        if (written.value(a) != written.value(b))
            return written.value(a) > written.value(b);
        if (sequence(a) != sequence(b))
            return sequence(a) > sequence(b);
        return a > b;
    });
    return names;
}

// Files written more than a day later than now (by the file system's clock, in UTC) were saved
// while the clock was set ahead, so before any saved since: they go first, not the backups of a
// write that runs (a fleet saves one per radio). A name's local stamp would take the backups
// saved in a time zone further east, or before a fall back to winter time, for such; a day's
// margin leaves alone a network share whose clock runs minutes ahead.
void TBackupStore::Prune(const QString &saved) const
{
    QStringList names = FileNamesNewestFirst();
    const QDateTime now = QDateTime::currentDateTimeUtc().addDays(1);
    const QDir folder(m_folder);
    std::stable_partition(names.begin(), names.end(), [&](const QString &name) {
        return QFileInfo(folder.filePath(name)).lastModified().toUTC() <= now;
    });
    names.removeOne(QFileInfo(saved).fileName());
    // A backup noted for an unfinished write may be all that is left of a half-written radio.
    for (const TUnfinishedWrite &noted : UnfinishedWrites())
        names.removeOne(noted.backupName);
    for (int i = kKeep - 1; i < names.size(); ++i)
        QFile::remove(QDir(m_folder).filePath(names.at(i)));
}

QList<TBackupEntry> TBackupStore::List() const
{
    QList<TBackupEntry> entries;
    for (const QString &name : FileNamesNewestFirst()) {
        TBackupEntry entry;
        entry.path = QDir(m_folder).filePath(name);
        const std::optional<TRadioImage> image = TRadioImage::load(entry.path, nullptr);
        if (!image)
            continue;
        entry.when = QDateTime::fromString(name.left(kStampLength), kStampFormat);
        entry.contents = image->contentsId();
        entry.blockCount = image->heldCount();
        entry.notes = image->notes();
        entries << entry;
    }
    return entries;
}

QList<TBackupStore::TUnfinishedWrite> TBackupStore::UnfinishedWrites() const
{
    QList<TUnfinishedWrite> writes;
    const QString path = QDir(m_folder).filePath(kUnfinishedWrites);
    // A pipe or a device in its place would hang every transfer; a damaged file of any size is
    // read no further than notes of every backup kept could reach.
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return writes;
    QByteArray text = file.read(kMaxNotesSize + 1);
    if (text.size() > kMaxNotesSize)
        text.truncate(text.lastIndexOf('\n', kMaxNotesSize) + 1);  // no line cut in two
    for (const QString &line : QString::fromUtf8(text).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        // Only a backup of this folder: a name that leads elsewhere is no note of ours.
        if (tab > 0 && IsBackupFileName(line.left(tab)))
            writes.append({line.mid(tab + 1), line.left(tab)});
    }
    return writes;
}

// A note that cannot be saved only loses the hint it gives; the write's own message still
// names its backup.
void TBackupStore::SaveUnfinishedWrites(const QList<TUnfinishedWrite> &writes) const
{
    const QString path = QDir(m_folder).filePath(kUnfinishedWrites);
    if (writes.isEmpty()) {
        QFile::remove(path);
        return;
    }
    QByteArray text;
    for (const TUnfinishedWrite &write : writes)
        text += (write.backupName + QLatin1Char('\t') + write.port + QLatin1Char('\n')).toUtf8();
    QDir().mkpath(m_folder);
    // Written in place, a pipe or a device there would take the notes, or hang.
    if (const QFileInfo there(path); there.exists() && !there.isFile() && !there.isDir())
        QFile::remove(path);
    ReplaceFileContents(path, text, nullptr);
}

QString TBackupStore::NoteUnfinishedWrite(const QString &port, const QString &backupPath) const
{
    const TNoteTurn turn(m_folder);
    QList<TUnfinishedWrite> writes = UnfinishedWrites();
    // A note whose backup is gone, perhaps under another name of the port, notes nothing.
    bool changed = writes.removeIf([&](const TUnfinishedWrite &w) {
        return SamePortName(w.port, port) && !QFileInfo::exists(QDir(m_folder).filePath(w.backupName));
    }) > 0;
    const std::optional<TRadioImage> backup =
        backupPath.isEmpty() ? std::nullopt : TRadioImage::load(backupPath, nullptr);
    QString earlier;
    TRadioImage fresh = backup.value_or(TRadioImage());  // the areas no earlier note stands for
    for (const TUnfinishedWrite &write : std::as_const(writes)) {
        if (!SamePortName(write.port, port))
            continue;
        const QString path = QDir(m_folder).filePath(write.backupName);
        if (path == backupPath)
            return {};
        // A backup that no longer loads, noted or this one, may concern any area.
        const std::optional<TRadioImage> noted = TRadioImage::load(path, nullptr);
        if (earlier.isEmpty() && (!noted || !backup || SharesAnArea(*noted, *backup)))
            earlier = path;
        fresh = noted && backup ? WithoutAreasOf(fresh, *noted) : TRadioImage::None();
    }
    if (!backupPath.isEmpty() && !fresh.isEmpty()) {
        if (const std::optional<QString> name = NotedBackupName(backupPath, backup, fresh)) {
            writes.append({port, *name});
            changed = true;
        }
    }
    if (changed)
        SaveUnfinishedWrites(writes);
    return earlier;
}

// The areas an earlier note stands for are half written in this backup: only the rest is
// noted, in a backup of their own beside it, read at the same time from the same port.
std::optional<QString> TBackupStore::NotedBackupName(const QString &backupPath, const std::optional<TRadioImage> &backup,
                                                     const TRadioImage &fresh) const
{
    const QString name = QFileInfo(backupPath).fileName();
    if (!backup || fresh.heldCount() == backup->heldCount())
        return name;
    const QDateTime when = QDateTime::fromString(name.left(kStampLength), kStampFormat);
    const TBackupSource source{BackupPort(*backup), BackupNote(*backup, QStringLiteral("program: "))};
    const std::optional<QString> path = Save(fresh, source, nullptr, when);
    return path ? std::optional<QString>(QFileInfo(*path).fileName()) : std::nullopt;
}

std::optional<QString> TBackupStore::EndUnfinishedWrite(const QString &port, const TRadioImage &written,
                                                        const QString &restoredFrom, const QString &ownBackup) const
{
    const TNoteTurn turn(m_folder);
    std::optional<QString> still;
    bool changed = false;
    QList<TUnfinishedWrite> kept;
    for (TUnfinishedWrite write : UnfinishedWrites()) {
        if (!SamePortName(write.port, port)) {
            kept.append(write);
            continue;
        }
        const QString path = QDir(m_folder).filePath(write.backupName);
        // A backup that no longer loads names nothing to keep the note for.
        const std::optional<TRadioImage> noted = TRadioImage::load(path, nullptr);
        if (!noted) {
            changed = true;
            continue;
        }
        const bool whole = HoldsEveryAreaOf(written, *noted);
        const TRadioImage part = noted->restrictedTo(written);  // its areas this write holds
        if ((!whole && !SharesAnArea(*noted, written))
            || PutsBackHalfWritten(port, write.backupName, part, written, restoredFrom, ownBackup)) {
            if (!still && SharesAnArea(*noted, written))
                still = path;
            kept.append(write);
            continue;
        }
        changed = true;
        if (whole)
            continue;
        // Some of its areas written well: the note stands for the others alone, in a backup of
        // just them beside it.
        if (const std::optional<QString> rest = NotedBackupName(path, noted, WithoutAreasOf(*noted, written)))
            write.backupName = *rest;
        if (!still)
            still = QDir(m_folder).filePath(write.backupName);  // kept whole if its rest was not saved
        kept.append(write);
    }
    if (changed)
        SaveUnfinishedWrites(kept);
    return still;
}

// What the noted backup holds, put back, is the radio as before that write. What a backup read
// on the port since holds is the radio as that write left it: put back, it is as half written
// as it was. Known by the data, so a copy of such a backup kept elsewhere counts too.
bool TBackupStore::PutsBackHalfWritten(const QString &port, const QString &notedName, const TRadioImage &noted,
                                       const TRadioImage &written, const QString &restoredFrom,
                                       const QString &ownBackup) const
{
    if (restoredFrom.isEmpty() || SameBlocksAs(written, noted, noted))
        return false;
    const QString own = QFileInfo(ownBackup).fileName();
    for (const QString &name : FileNamesNewestFirst()) {
        if (name == notedName)
            return false;
        if (!own.isEmpty() && name == own)
            continue;
        const std::optional<TRadioImage> later = TRadioImage::load(QDir(m_folder).filePath(name), nullptr);
        const QString from = later ? BackupPort(*later) : QString();
        if (!from.isEmpty() && SamePortName(from, port) && SameBlocksAs(written, *later, noted))
            return true;
    }
    return false;
}

void TBackupStore::ClearUnfinishedWrite(const QString &port) const
{
    const TNoteTurn turn(m_folder);
    QList<TUnfinishedWrite> writes = UnfinishedWrites();
    if (writes.removeIf([&port](const TUnfinishedWrite &w) { return SamePortName(w.port, port); }) > 0)
        SaveUnfinishedWrites(writes);
}

bool TBackupStore::IsNoted(const QString &port, const QString &backupPath) const
{
    const QList<TUnfinishedWrite> writes = UnfinishedWrites();
    return std::any_of(writes.cbegin(), writes.cend(), [&](const TUnfinishedWrite &write) {
        return SamePortName(write.port, port) && QDir(m_folder).filePath(write.backupName) == backupPath;
    });
}

std::optional<QString> TBackupStore::UnfinishedWrite(const QString &port, const TRadioImage &touching) const
{
    for (const TUnfinishedWrite &write : UnfinishedWrites()) {
        const QString path = QDir(m_folder).filePath(write.backupName);
        if (!SamePortName(write.port, port) || !QFileInfo::exists(path))
            continue;
        if (touching.isWhole())
            return path;
        // One that no longer loads may concern any area.
        const std::optional<TRadioImage> noted = TRadioImage::load(path, nullptr);
        if (!noted || SharesAnArea(*noted, touching))
            return path;
    }
    return std::nullopt;
}
