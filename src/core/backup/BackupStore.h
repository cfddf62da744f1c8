#pragma once

#include "protocol/RadioImage.h"

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <optional>

// One backup file in the folder, as the listing shows it.
struct TBackupEntry {
    QString path;
    QDateTime when;      // from the file name, local time
    QString contents;    // TRadioImage::contentsId(): "all", "main", "main-dtmf", ...
    int blockCount = 0;  // blocks the file holds
    QStringList notes;   // the file's notes (date, port, program, contents)
};

// Where a backup comes from, for its notes and its name.
struct TBackupSource {
    QString port;     // the port it was read from; empty when unknown
    QString program;  // "xiepin 1.1.4", "xiepin-cli 1.1.4"
};

// The backups folder: one image file per backup, named YYYYMMDD-HHMMSS-<contents>.img (with
// -<port> before the contents when a name needs the port), newest kept, oldest removed.
//
// Every read of the radio and every write's "before" image is saved here, so that a write cut
// short or gone wrong can be put back with a restore of the file. Files are written atomically
// and a name is never reused: a second backup in the same second gets the port in its name
// ("-ttyUSB1-" before the contents) when the port is known, and "-2", "-3", ... at the end when
// that name is taken too.
class TBackupStore {
public:
    static constexpr int kKeep = 200;

    // $XDG_DATA_HOME/xiepin/backups, ~/.local/share/xiepin/backups without XDG_DATA_HOME; on
    // Windows and macOS under the desktop's data folder.
    static QString DefaultFolder();

    explicit TBackupStore(const QString &folder = DefaultFolder());
    const QString &Folder() const { return m_folder; }

    // "20261208-104316-main-dtmf.img"; portPart (a port name) is made safe for a file name and
    // goes before the contents ("20261208-104316-ttyUSB0-main.img"); sequence 2 and up is put
    // before ".img" ("...-main-2.img").
    // A port's name as it goes into a file name: "/dev/ttyUSB0" -> "ttyUSB0", "/dev/pts/5" ->
    // "pts5", "COM3" -> "COM3"; letters, digits, '.' and '_' only.
    static QString PortPart(const QString &port);
    static QString FileName(const QDateTime &when, const QString &contents, const QString &portPart = {},
                            int sequence = 1);

    // Saves the image (with notes: date, port, program and what it holds) under a new name,
    // then removes the oldest files beyond kKeep (those noted for unfinished writes stay).
    // Returns the file's path, or nullopt with *error set (folder not writable, disk full).
    // withPortInName puts the port into the name even when the name without it is free.
    std::optional<QString> Save(const TRadioImage &image, const TBackupSource &source, QString *error,
                                const QDateTime &when = QDateTime::currentDateTime(),
                                bool withPortInName = false) const;

    // Every backup file, newest first. Files that do not load as images are left out.
    QList<TBackupEntry> List() const;

    // A port is known by any of its names: a link (/dev/serial/by-id/…) and its device are one.
    // A write that reached the radio and did not end well is noted per port with the backup of
    // what the radio held before it, until a write of those areas on that port ends well: the
    // backup a later write takes on that port holds a half-written radio in the areas already
    // noted, and the note still names the one from before for them. Areas no note stands for
    // are noted with this backup; when an earlier note stands for some of its areas, with a
    // backup of only the others (saved beside it, as read at the same time). Returns the path of
    // an earlier note that shares an area with this backup (empty when there is none, or this
    // backup is noted already).
    QString NoteUnfinishedWrite(const QString &port, const QString &backupPath) const;
    // A write on the port ended well, writing the areas `written` holds: each note goes when they
    // cover every area of its backup; when they cover some, it stands for the others alone, in a
    // backup of just them saved beside. A restore (restoredFrom, the file written back) of what
    // a backup read on the port after the noted one holds, wherever the file is kept, ends
    // nothing: it puts back the radio as that write left it. Returns a noted backup's path when
    // its note stays for an area `written` holds, or for the rest of a backup it covered in part.
    // ownBackup, the read this write took just before it, is no such read: a radio that held the
    // file already (a write cut short in its verify, done again) is not put back half written.
    std::optional<QString> EndUnfinishedWrite(const QString &port, const TRadioImage &written,
                                              const QString &restoredFrom = {}, const QString &ownBackup = {}) const;
    // Drops the port's notes, whatever they name.
    void ClearUnfinishedWrite(const QString &port) const;
    // The path of the port's first noted backup that is still here and holds any of the areas
    // `touching` holds (by default all of them).
    std::optional<QString> UnfinishedWrite(const QString &port, const TRadioImage &touching = TRadioImage()) const;
    // Whether that backup is one of the port's notes.
    bool IsNoted(const QString &port, const QString &backupPath) const;

private:
    struct TUnfinishedWrite {
        QString port;
        QString backupName;  // a file of the folder
    };

    QStringList FileNamesNewestFirst() const;
    void Prune(const QString &saved) const;
    std::optional<QString> NotedBackupName(const QString &backupPath, const std::optional<TRadioImage> &backup,
                                           const TRadioImage &fresh) const;
    bool PutsBackHalfWritten(const QString &port, const QString &notedName, const TRadioImage &noted,
                             const TRadioImage &written, const QString &restoredFrom, const QString &ownBackup) const;
    QList<TUnfinishedWrite> UnfinishedWrites() const;  // in the order they were noted
    void SaveUnfinishedWrites(const QList<TUnfinishedWrite> &writes) const;

    QString m_folder;
};
