#include "backup/BackupStore.h"
#include "mainconfig/ChannelCsv.h"
#include "mainconfig/ChannelLists.h"
#include "mainconfig/ConfigFile.h"
#include "mainconfig/MainConfig.h"
#include "base/FileContents.h"
#include "protocol/FactoryImage.h"
#include "support/core/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// While it lives, no file of this process may grow past `room` bytes: the write that would
// fails as on a full disk.
class TNoRoom {
public:
    explicit TNoRoom(rlim_t room)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldSignal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit none = m_old;
        none.rlim_cur = room;
        setrlimit(RLIMIT_FSIZE, &none);
    }
    ~TNoRoom()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldSignal);
    }
    TNoRoom(const TNoRoom &) = delete;
    TNoRoom &operator=(const TNoRoom &) = delete;

private:
    rlimit m_old{};
    void (*m_oldSignal)(int) = SIG_DFL;
};

// Saves version 1 or 2 of something to the file; false (with the reason) when it was not saved.
using Saver = std::function<bool(const QString &path, int version, QString *reason)>;

void SetPlanVersion(TMainConfig &config, int version)
{
    config.SetEditText(1, col::RxFreq, version == 1 ? QStringLiteral("438.5") : QStringLiteral("439"));
}

template <typename Error, typename Save>
bool Refused(QString *reason, Save save)
{
    try {
        save();
        return true;
    } catch (const Error &e) {
        *reason = e.message();
        return false;
    }
}

bool SaveBackup(const QString &path, int version, QString *reason)
{
    TRadioImage image = FactoryImage();
    if (version == 2)
        image.dropArea(1);
    const QDateTime when(QDate(2026, 12, 9), QTime(8, 0, version));
    return TBackupStore(QFileInfo(path).path()).Save(image, {}, reason, when).has_value();
}

QStringList FilesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden);
}

}  // namespace

class TestFileContents : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fullDiskKeepsOldFile_data();
    void fullDiskKeepsOldFile();
    void targetNotARegularFile();
    void ownDescriptorAppends_data();
    void ownDescriptorAppends();
};

void TestFileContents::fullDiskKeepsOldFile_data()
{
    QTest::addColumn<int>("room");  // bytes a file may hold
    QTest::addColumn<Saver>("save");
    QTest::addRow("configuration file") << 0 << Saver([](const QString &path, int version, QString *reason) {
        TMainConfig config;
        SetPlanVersion(config, version);
        return Refused<EConfigFileError>(reason, [&] { SaveConfigFile(config, path); });
    });
    QTest::addRow("channel plan CSV") << 0 << Saver([](const QString &path, int version, QString *reason) {
        TMainConfig config;
        SetPlanVersion(config, version);
        return Refused<EChannelCsvError>(reason, [&] { WriteChannelCsvFile(config, path); });
    });
    QTest::addRow("radio image") << 0 << Saver([](const QString &path, int version, QString *reason) {
        TRadioImage image = FactoryImage();
        if (version == 2)
            image.dropArea(1);
        return image.save(path, reason);
    });
    QTest::addRow("backup") << 0 << Saver(SaveBackup);
    // Larger than the room left: the first write is cut short without a reason of its own.
    QTest::addRow("bytes beyond the room") << 8000 << Saver([](const QString &path, int version, QString *reason) {
        return ReplaceFileContents(path, QByteArray(version * 6000, 'x'), reason);
    });
}

// A save that cannot write every byte says so and leaves the old file, and nothing else, behind.
void TestFileContents::fullDiskKeepsOldFile()
{
    QFETCH(int, room);
    QFETCH(Saver, save);
    const QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("saved"));
    QString reason;
    QVERIFY2(save(path, 1, &reason), qPrintable(reason));
    const QStringList files = FilesIn(dir.path());
    QCOMPARE(files.size(), 1);
    const QByteArray before = ReadWholeFile(dir.filePath(files.first()));
    QVERIFY(!before.isEmpty());

    bool saved = true;
    {
        const TNoRoom full{rlim_t(room)};
        saved = save(path, 2, &reason);
    }
    QVERIFY2(!saved, "a save without room was reported as done");
    QVERIFY2(!reason.isEmpty() && reason != QStringLiteral("Unknown error"), qPrintable(reason));
    QCOMPARE(FilesIn(dir.path()), files);
    QCOMPARE(ReadWholeFile(dir.filePath(files.first())), before);
}

// A pipe given as the output (as /dev/stdout may be) is written to, not replaced by a regular
// file; a folder is refused.
void TestFileContents::targetNotARegularFile()
{
    const QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray fifo = dir.filePath(QStringLiteral("pipe")).toLocal8Bit();
    QCOMPARE(mkfifo(fifo.constData(), 0600), 0);
    const int reader = open(fifo.constData(), O_RDONLY | O_NONBLOCK);
    QVERIFY(reader >= 0);
    QString reason;
    const bool written = ReplaceFileContents(QString::fromLocal8Bit(fifo), QByteArrayLiteral("plan\r\n"), &reason);
    char got[16] = {};
    const ssize_t n = read(reader, got, sizeof got);
    close(reader);
    QVERIFY2(written, qPrintable(reason));
    QCOMPARE(QByteArray(got, int(std::max<ssize_t>(n, 0))), QByteArrayLiteral("plan\r\n"));
    struct stat st {};
    QCOMPARE(stat(fifo.constData(), &st), 0);
    QVERIFY(S_ISFIFO(st.st_mode));

    QVERIFY(!ReplaceFileContents(dir.path(), QByteArrayLiteral("plan"), &reason));
    QVERIFY(!reason.isEmpty());
    QVERIFY(QFileInfo(dir.path()).isDir());
}

void TestFileContents::ownDescriptorAppends_data()
{
    QTest::addColumn<QString>("name");  // {fd}: the descriptor of a file opened to append
    QTest::addRow("/dev/fd/N") << "/dev/fd/{fd}";
    QTest::addRow("/proc/self/fd/N") << "/proc/self/fd/{fd}";
    QTest::addRow("/dev/stdout, redirected with >>") << "/dev/stdout";
    // Past any descriptor: no open file of ours, refused as the system refuses it, and never
    // written to another descriptor (the number read as 0 went to standard input).
    QTest::addRow("/dev/fd/99999999999") << "/dev/fd/99999999999";
    QTest::addRow("/proc/self/fd/4294967296") << "/proc/self/fd/4294967296";
}

// An output named by one of the program's own open files (-o /dev/stdout >> log) is written
// through that descriptor: appended to the file the caller redirected, which stays the same file.
void TestFileContents::ownDescriptorAppends()
{
    QFETCH(QString, name);
    const QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString log = dir.filePath(QStringLiteral("log.txt"));
    QVERIFY(WriteWholeFile(log, QByteArrayLiteral("line 1\n")));
    const int appending = open(QFile::encodeName(log).constData(), O_WRONLY | O_APPEND);
    QVERIFY(appending >= 0);
    struct stat before {};
    QCOMPARE(fstat(appending, &before), 0);
    // /dev/stdout stands for the log; so does standard input where no descriptor is named, to
    // catch a write that goes there.
    const bool named = name.contains(QLatin1String("{fd}")) || name == QLatin1String("/dev/stdout");
    const int standIn = name == QLatin1String("/dev/stdout") ? 1 : named ? -1 : 0;
    int saved = -1;
    if (standIn >= 0) {
        std::fflush(stdout);
        saved = dup(standIn);
        dup2(appending, standIn);
    }
    QString reason;
    const bool written = ReplaceFileContents(QString(name).replace(QStringLiteral("{fd}"), QString::number(appending)),
                                             QByteArrayLiteral("plan\r\n"), &reason);
    if (saved >= 0) {
        dup2(saved, standIn);
        close(saved);
    }
    close(appending);
    if (!named) {
        QVERIFY(!written);
        QVERIFY(!reason.isEmpty());
        QCOMPARE(ReadWholeFile(log), QByteArrayLiteral("line 1\n"));
        return;
    }
    QVERIFY2(written, qPrintable(reason));
    QCOMPARE(ReadWholeFile(log), QByteArrayLiteral("line 1\nplan\r\n"));
    struct stat after {};
    QCOMPARE(stat(QFile::encodeName(log).constData(), &after), 0);
    QCOMPARE(after.st_ino, before.st_ino);
}

QTEST_GUILESS_MAIN(TestFileContents)
#include "tst_filecontents.moc"
