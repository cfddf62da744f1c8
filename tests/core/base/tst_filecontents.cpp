#include "backup/BackupStore.h"
#include "mainconfig/ChannelCsv.h"
#include "mainconfig/ChannelLists.h"
#include "mainconfig/ConfigFile.h"
#include "mainconfig/MainConfig.h"
#include "protocol/FactoryImage.h"
#include "support/core/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <functional>
#include <sys/resource.h>

namespace {

// While it lives, no file of this process may grow: every write fails as on a full disk.
class TNoRoom {
public:
    TNoRoom()
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldSignal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit none = m_old;
        none.rlim_cur = 0;
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
};

void TestFileContents::fullDiskKeepsOldFile_data()
{
    QTest::addColumn<Saver>("save");
    QTest::addRow("configuration file") << Saver([](const QString &path, int version, QString *reason) {
        TMainConfig config;
        SetPlanVersion(config, version);
        return Refused<EConfigFileError>(reason, [&] { SaveConfigFile(config, path); });
    });
    QTest::addRow("channel plan CSV") << Saver([](const QString &path, int version, QString *reason) {
        TMainConfig config;
        SetPlanVersion(config, version);
        return Refused<EChannelCsvError>(reason, [&] { WriteChannelCsvFile(config, path); });
    });
    QTest::addRow("radio image") << Saver([](const QString &path, int version, QString *reason) {
        TRadioImage image = FactoryImage();
        if (version == 2)
            image.dropArea(1);
        return image.save(path, reason);
    });
    QTest::addRow("backup") << Saver(SaveBackup);
}

// A save that cannot write every byte says so and leaves the old file, and nothing else, behind.
void TestFileContents::fullDiskKeepsOldFile()
{
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
        const TNoRoom full;
        saved = save(path, 2, &reason);
    }
    QVERIFY2(!saved, "a save without room was reported as done");
    QVERIFY2(!reason.isEmpty(), "no reason given");
    QCOMPARE(FilesIn(dir.path()), files);
    QCOMPARE(ReadWholeFile(dir.filePath(files.first())), before);
}

QTEST_GUILESS_MAIN(TestFileContents)
#include "tst_filecontents.moc"
