#include "backup/BackupStore.h"
#include "protocol/FactoryImage.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <sys/stat.h>
#include <vector>

namespace {

const QDateTime kWhen(QDate(2026, 12, 8), QTime(10, 43, 16));

TRadioImage withAreas(const QList<int> &areas)
{
    TRadioImage image = FactoryImage();
    for (int area : {0, 1, 2, 3, 4, 5})
        if (!areas.contains(area))
            image.dropArea(area);
    return image;
}

// The areas, every block's first byte set to n: backups that differ by their data.
TRadioImage numbered(const QList<int> &areas, int n)
{
    TRadioImage image = withAreas(areas);
    for (const TRadioImage::Place &place : image.heldPlaces()) {
        Block data = image.block(place.area, place.block);
        data[0] = static_cast<std::uint8_t>(n);
        image.setBlock(place.area, place.block, data);
    }
    return image;
}

QList<int> areaList(const QString &text)
{
    QList<int> areas;
    for (const QString &area : text.split(QLatin1Char(',')))
        areas << area.toInt();
    return areas;
}

const char kNoteHelper[] = "--note-helper";

// The program run as one of several at once: notes and clears the port's unfinished write again
// and again, and ends with it noted.
int NoteRepeatedly(const QString &port, const QString &backup)
{
    const TBackupStore store;
    for (int round = 0; round < 30; ++round) {
        store.NoteUnfinishedWrite(port, backup);
        store.ClearUnfinishedWrite(port);
    }
    store.NoteUnfinishedWrite(port, backup);
    return store.UnfinishedWrite(port) == backup ? 0 : 1;
}

}  // namespace

class TestBackupStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void defaultFolder_data();
    void defaultFolder();
    void fileName_data();
    void fileName();
    void saveWritesNotesAndImage();
    void sameSecondNeverCollides();
    void sameSecondDiffersByPort_data();
    void sameSecondDiffersByPort();
    void keepsNewest();
    void keepsWhatItJustSaved_data();
    void keepsWhatItJustSaved();
    void listNewestFirst();
    void unwritableFolder_data();
    void unwritableFolder();
    void unfinishedWrites_data();
    void unfinishedWrites();
    void notesOfProgramsAtOnce();
    void noteOfAreasRead_data();
    void noteOfAreasRead();
    void portByEitherName_data();
    void portByEitherName();
    void damagedNotes_data();
    void damagedNotes();

private:
    std::unique_ptr<QTemporaryDir> m_data;
    QString folder() const { return m_data->filePath(QStringLiteral("xiepin/backups")); }
};

void TestBackupStore::init()
{
    m_data = std::make_unique<QTemporaryDir>();
    QVERIFY(m_data->isValid());
    qputenv("XDG_DATA_HOME", m_data->path().toUtf8());
}

void TestBackupStore::defaultFolder_data()
{
    QTest::addColumn<bool>("xdgSet");
    QTest::addRow("XDG_DATA_HOME set") << true;
    QTest::addRow("XDG_DATA_HOME unset") << false;
}

void TestBackupStore::defaultFolder()
{
    QFETCH(bool, xdgSet);
    if (!xdgSet)
        qunsetenv("XDG_DATA_HOME");
    const QString expected = xdgSet ? folder() : QDir::homePath() + QStringLiteral("/.local/share/xiepin/backups");
    QCOMPARE(TBackupStore::DefaultFolder(), expected);
}

void TestBackupStore::fileName_data()
{
    QTest::addColumn<QList<int>>("areas");
    QTest::addColumn<QString>("port");
    QTest::addColumn<int>("sequence");
    QTest::addColumn<QString>("name");
    QTest::addRow("whole radio") << QList<int>{0, 1, 2, 3, 4, 5} << QString() << 1 << "20261208-104316-all.img";
    QTest::addRow("main write") << QList<int>{0, 5} << QString() << 1 << "20261208-104316-main.img";
    QTest::addRow("two areas") << QList<int>{1, 3} << QString() << 1 << "20261208-104316-dtmf-twotone.img";
    QTest::addRow("second in the same second") << QList<int>{4} << QString() << 2 << "20261208-104316-fivetone-2.img";
    QTest::addRow("with the port") << QList<int>{2} << "/dev/ttyUSB0" << 1 << "20261208-104316-ttyUSB0-fsk.img";
    QTest::addRow("windows port") << QList<int>{0, 5} << "COM3" << 3 << "20261208-104316-COM3-main-3.img";
    QTest::addRow("pseudo-terminal") << QList<int>{0, 5} << "/dev/pts/12" << 1 << "20261208-104316-pts12-main.img";
}

void TestBackupStore::fileName()
{
    QFETCH(QList<int>, areas);
    QFETCH(QString, port);
    QFETCH(int, sequence);
    QFETCH(QString, name);
    QCOMPARE(TBackupStore::FileName(kWhen, withAreas(areas).contentsId(), port, sequence), name);
}

void TestBackupStore::saveWritesNotesAndImage()
{
    const TBackupStore store;
    QString error;
    const TRadioImage image = withAreas({0, 5});
    const auto path = store.Save(image, {QStringLiteral("/dev/pts/7"), QStringLiteral("xiepin-cli 1.1.4")}, &error, kWhen);
    QVERIFY2(path, qPrintable(error));
    QCOMPARE(*path, folder() + QStringLiteral("/20261208-104316-main.img"));
    const auto loaded = TRadioImage::load(*path, &error);
    QVERIFY2(loaded, qPrintable(error));
    QCOMPARE(*loaded, image);
    QCOMPARE(loaded->notes(), QStringList({QStringLiteral("date: 2026-12-08T10:43:16"), QStringLiteral("port: /dev/pts/7"),
                                           QStringLiteral("program: xiepin-cli 1.1.4"),
                                           QStringLiteral("holds: main (17 blocks)")}));
}

void TestBackupStore::sameSecondNeverCollides()
{
    const TBackupStore store;
    QString error;
    QStringList names;
    for (int i = 0; i < 3; ++i)
        names << QFileInfo(*store.Save(withAreas({1}), {}, &error, kWhen)).fileName();
    names << QFileInfo(*store.Save(withAreas({1}), {QStringLiteral("COM4"), {}}, &error, kWhen, true)).fileName();
    QCOMPARE(names, QStringList({"20261208-104316-dtmf.img", "20261208-104316-dtmf-2.img", "20261208-104316-dtmf-3.img",
                                 "20261208-104316-COM4-dtmf.img"}));
}

void TestBackupStore::sameSecondDiffersByPort_data()
{
    QTest::addColumn<QStringList>("ports");  // one save each, all in the same second
    QTest::addColumn<bool>("portInName");
    QTest::addColumn<QStringList>("names");
    QTest::addRow("port added when the name is taken")
        << QStringList{"COM3", "COM4", "COM4"} << false
        << QStringList{"20261208-104316-dtmf.img", "20261208-104316-COM4-dtmf.img", "20261208-104316-COM4-dtmf-2.img"};
    QTest::addRow("port always in the name")
        << QStringList{"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyUSB0"} << true
        << QStringList{"20261208-104316-ttyUSB0-dtmf.img", "20261208-104316-ttyUSB1-dtmf.img",
                       "20261208-104316-ttyUSB0-dtmf-2.img"};
    QTest::addRow("pseudo-terminals") << QStringList{"/dev/pts/3", "/dev/pts/4"} << true
                                      << QStringList{"20261208-104316-pts3-dtmf.img", "20261208-104316-pts4-dtmf.img"};
}

// Radios written at once each keep their own backup: none overwrites another.
void TestBackupStore::sameSecondDiffersByPort()
{
    QFETCH(QStringList, ports);
    QFETCH(bool, portInName);
    QFETCH(QStringList, names);
    const TBackupStore store;
    QString error;
    QStringList saved;
    for (const QString &port : ports) {
        const auto path = store.Save(withAreas({1}), {port, {}}, &error, kWhen, portInName);
        QVERIFY2(path, qPrintable(error));
        saved << QFileInfo(*path).fileName();
        const auto loaded = TRadioImage::load(*path, &error);
        QVERIFY2(loaded, qPrintable(error));
        QVERIFY(loaded->notes().contains(QStringLiteral("port: ") + port));
    }
    QCOMPARE(saved, names);
    QCOMPARE(QDir(folder()).entryList(QDir::Files).size(), names.size());
}

// The 200 newest stay; the oldest go, whatever their contents.
void TestBackupStore::keepsNewest()
{
    const TBackupStore store;
    QString error;
    const int extra = 3;
    for (int i = 0; i < TBackupStore::kKeep + extra; ++i)
        QVERIFY2(store.Save(withAreas({i % 2 ? 1 : 2}), {}, &error, kWhen.addSecs(i)), qPrintable(error));
    const QStringList files = QDir(folder()).entryList(QDir::Files);
    QCOMPARE(files.size(), TBackupStore::kKeep);
    for (int i = 0; i < extra; ++i)
        QVERIFY(!files.contains(TBackupStore::FileName(kWhen.addSecs(i), withAreas({i % 2 ? 1 : 2}).contentsId())));
    QVERIFY(files.contains(TBackupStore::FileName(kWhen.addSecs(extra), withAreas({extra % 2 ? 1 : 2}).contentsId())));
}

void TestBackupStore::keepsWhatItJustSaved_data()
{
    QTest::addColumn<int>("stampedAhead");   // seconds the earlier backups' names are ahead of now
    QTest::addColumn<int>("writtenAhead");   // and their files' times
    QTest::addColumn<int>("older");          // of the 200, stamped and written a year before instead
    QTest::addColumn<bool>("savedBefore");   // the earlier backups count as older than those saved now
    const int year = 365 * 86400;
    QTest::addRow("saved while the clock was set ahead") << year << year << 0 << true;
    QTest::addRow("saved in a time zone 8 hours further east") << 8 * 3600 << -300 << TBackupStore::kKeep - 2 << false;
    QTest::addRow("on a share whose clock runs 5 minutes ahead") << 0 << 300 << TBackupStore::kKeep - 2 << false;
}

// Backups written later than now (a clock once set ahead) were saved before: they go first,
// not the backups just saved, one per radio of a fleet write. Names stamped ahead of a file
// written now (another time zone, winter time), or files a few minutes ahead (a network share's
// clock), are as new as they are.
void TestBackupStore::keepsWhatItJustSaved()
{
    QFETCH(int, stampedAhead);
    QFETCH(int, writtenAhead);
    QFETCH(int, older);
    QFETCH(bool, savedBefore);
    const TBackupStore store;
    QString error;
    const QDateTime now = QDateTime::currentDateTime();
    QStringList recent;
    for (int i = 0; i < TBackupStore::kKeep; ++i) {
        const bool old = i < older;
        const QDateTime stamp = old ? now.addYears(-1).addSecs(i) : now.addSecs(stampedAhead + i - TBackupStore::kKeep);
        const auto path = store.Save(withAreas({1}), {}, &error, stamp);
        QVERIFY2(path, qPrintable(error));
        QFile file(*path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(old ? stamp : now.addSecs(writtenAhead + i - TBackupStore::kKeep), QFileDevice::FileModificationTime));
        if (!old && !savedBefore)
            recent << *path;
    }
    for (int i = 0; i < 3; ++i) {
        const auto path = store.Save(numbered({0, 5}, i), {}, &error, now.addSecs(i));
        QVERIFY2(path, qPrintable(error));
        recent << *path;
    }
    for (const QString &path : recent)
        QVERIFY2(QFile::exists(path), qPrintable(path));
    QCOMPARE(QDir(folder()).entryList(QDir::Files).size(), TBackupStore::kKeep);
}

void TestBackupStore::listNewestFirst()
{
    const TBackupStore store;
    QString error;
    QVERIFY(store.Save(withAreas({3}), {}, &error, kWhen));
    QVERIFY(store.Save(FactoryImage(), {}, &error, kWhen.addSecs(60)));
    QTest::qWait(20);  // written a moment later within the same second of its name
    QVERIFY(store.Save(withAreas({0, 5}), {}, &error, kWhen));
    QFile stray(folder() + QStringLiteral("/20261208-120000-main.img"));  // not an image
    QVERIFY(stray.open(QIODevice::WriteOnly));
    stray.write("nonsense\n");
    stray.close();

    const QList<TBackupEntry> entries = store.List();
    QCOMPARE(entries.size(), 3);
    QCOMPARE(entries[0].contents, QStringLiteral("all"));
    QCOMPARE(entries[0].blockCount, 52);
    QCOMPARE(entries[0].when, kWhen.addSecs(60));
    QVERIFY(entries[0].notes.contains(QStringLiteral("holds: all (52 blocks)")));
    // Within one second the one written later comes first, whatever its name.
    QCOMPARE(entries[1].contents, QStringLiteral("main"));
    QCOMPARE(entries[2].contents, QStringLiteral("twotone"));
    QCOMPARE(entries[2].when, kWhen);
}

void TestBackupStore::unwritableFolder_data()
{
    QTest::addColumn<QString>("folder");  // empty: the default one, with a file in its place
    QTest::addColumn<QString>("error");  // how the reason begins
    QTest::addRow("a file where the folder should be")
        << QString() << QStringLiteral("cannot create the backups folder %1").arg(QStringLiteral("<default>"));
    // A folder that exists and takes no new file (not even from root): the system's reason is
    // told, not a search for a free name.
    QTest::addRow("a folder that takes no files")
        << QStringLiteral("/proc/self") << QStringLiteral("cannot create a backup file in /proc/self: ");
}

void TestBackupStore::unwritableFolder()
{
    QFETCH(QString, folder);
    QFETCH(QString, error);
    if (folder.isEmpty()) {
        QFile blocker(m_data->filePath(QStringLiteral("xiepin")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        error.replace(QStringLiteral("<default>"), this->folder());
    }
    QString reason;
    QVERIFY(!(folder.isEmpty() ? TBackupStore() : TBackupStore(folder)).Save(FactoryImage(), {}, &reason, kWhen));
    QVERIFY2(reason.startsWith(error), qPrintable(reason));
}

void TestBackupStore::unfinishedWrites_data()
{
    QTest::addColumn<QStringList>("steps");  // "note PORT N" (backup N), "clear PORT", "remove N" (its file),
                                             // "save N": N newer backups, "end PORT A,B": a write of
                                             // areas A and B ended well (the backups hold 0 and 5),
                                             // "forge PORT N": a note line naming backup N by a path,
                                             // "read PORT [A,B]": a backup read there (the next N),
                                             // "copy N": backup N kept outside the folder (the next N),
                                             // "restore PORT N [own]": backup N written back there
                                             // (own: N is the read that write took just before),
                                             // "check PORT A,B N": the note for those areas names N
    QTest::addColumn<QStringList>("noted");  // the backup each of the ports /a/radio, /b/radio names; "-": none,
                                             // "new:dtmf": a backup of the store's own, holding that
    QTest::addColumn<int>("kept");           // backups in the folder at the end
    QTest::addRow("noted") << QStringList{"note /a/radio 1"} << QStringList{"1", "-"} << 2;
    QTest::addRow("the earlier note kept") << QStringList{"note /a/radio 1", "note /a/radio 2"} << QStringList{"1", "-"} << 2;
    QTest::addRow("cleared") << QStringList{"note /a/radio 1", "clear /a/radio"} << QStringList{"-", "-"} << 2;
    QTest::addRow("each port its own, though their names end alike")
        << QStringList{"note /a/radio 1", "note /b/radio 2", "clear /a/radio"} << QStringList{"-", "2"} << 2;
    QTest::addRow("backup removed") << QStringList{"note /a/radio 1", "remove 1"} << QStringList{"-", "-"} << 1;
    QTest::addRow("backup removed, noted anew") << QStringList{"note /a/radio 1", "remove 1", "note /a/radio 2"}
                                                << QStringList{"2", "-"} << 1;
    QTest::addRow("cleared without a note") << QStringList{"clear /b/radio"} << QStringList{"-", "-"} << 2;
    QTest::addRow("ended by a write of its areas") << QStringList{"note /a/radio 1", "end /a/radio 0,5"} << QStringList{"-", "-"} << 2;
    QTest::addRow("ended by a write of more") << QStringList{"note /a/radio 1", "end /a/radio 0,1,5"} << QStringList{"-", "-"} << 2;
    QTest::addRow("kept by a write of another area") << QStringList{"note /a/radio 1", "end /a/radio 1"} << QStringList{"1", "-"} << 2;
    // The areas written well leave the note, which stands for the others in a backup of their own.
    QTest::addRow("narrowed by a write of part of its areas")
        << QStringList{"note /a/radio 1", "end /a/radio 0"} << QStringList{"new:main", "-"} << 3;
    QTest::addRow("ended by writes of its areas one at a time")
        << QStringList{"read /a/radio 0,1,5", "note /a/radio 3", "end /a/radio 0,5", "check /a/radio 0,5 -",
                       "check /a/radio 1 new:dtmf", "end /a/radio 1"}
        << QStringList{"-", "-"} << 4;
    QTest::addRow("kept whole by a restore of part of a later read there")
        << QStringList{"read /a/radio 0,1,5", "note /a/radio 3", "read /a/radio 0,1,5", "read /a/radio 0,5", "restore /a/radio 5"}
        << QStringList{"3", "-"} << 5;
    QTest::addRow("a note that leads out of the folder is none")
        << QStringList{"forge /a/radio 1"} << QStringList{"-", "-"} << 2;
    QTest::addRow("ended on its own port only")
        << QStringList{"note /a/radio 1", "note /b/radio 2", "end /b/radio 0,5"} << QStringList{"1", "-"} << 2;
    // A backup read on the port since holds the radio as that write left it.
    QTest::addRow("kept by a restore of a later read there")
        << QStringList{"note /a/radio 1", "read /a/radio", "restore /a/radio 3"} << QStringList{"1", "-"} << 3;
    // The write was whole, only its verify cut short: done again, its own read finds it there.
    QTest::addRow("ended by the same write again, its read before finding it")
        << QStringList{"note /a/radio 1", "read /a/radio", "restore /a/radio 3 own"} << QStringList{"-", "-"} << 3;
    QTest::addRow("ended by a restore of the noted backup")
        << QStringList{"note /a/radio 1", "read /a/radio", "restore /a/radio 1"} << QStringList{"-", "-"} << 3;
    QTest::addRow("ended by a restore of a later read elsewhere")
        << QStringList{"note /a/radio 1", "read /b/radio", "restore /a/radio 3"} << QStringList{"-", "-"} << 3;
    QTest::addRow("ended by a restore of an earlier read there")
        << QStringList{"read /a/radio", "read /a/radio", "note /a/radio 4", "restore /a/radio 3"} << QStringList{"-", "-"} << 4;
    QTest::addRow("kept by a restore of a copy of a later read there")
        << QStringList{"note /a/radio 1", "read /a/radio", "copy 3", "restore /a/radio 4"} << QStringList{"1", "-"} << 3;
    QTest::addRow("ended by a restore of a copy of the noted backup")
        << QStringList{"note /a/radio 1", "read /a/radio", "copy 1", "restore /a/radio 4"} << QStringList{"-", "-"} << 3;
    // Each area stays noted with the backup from before the first write that left it in doubt.
    QTest::addRow("a later write of another area noted beside")
        << QStringList{"note /a/radio 1", "read /a/radio 1", "note /a/radio 3", "check /a/radio 1 3", "check /a/radio 0,5 1",
                       "restore /a/radio 1", "check /a/radio 1 3"}
        << QStringList{"3", "-"} << 3;
    QTest::addRow("a later write of more areas noted for the others")
        << QStringList{"note /a/radio 1", "read /a/radio 0,1,5", "note /a/radio 3", "check /a/radio 0,5 1",
                       "check /a/radio 1 new:dtmf", "restore /a/radio 3", "check /a/radio 1 -"}
        << QStringList{"1", "-"} << 4;
    // A noted backup is the one a half-written radio needs: it outlives the newest 200.
    const QString many = QStringLiteral("save %1").arg(TBackupStore::kKeep);
    QTest::addRow("noted backup kept beyond the newest 200")
        << QStringList{"note /a/radio 1", many} << QStringList{"1", "-"} << TBackupStore::kKeep + 1;
    QTest::addRow("pruned once the note is cleared")
        << QStringList{"note /a/radio 1", many, "clear /a/radio", "save 1"} << QStringList{"-", "-"} << TBackupStore::kKeep;
}

// What a later write on the port is told of a write that did not end well, across processes.
void TestBackupStore::unfinishedWrites()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, noted);
    QFETCH(int, kept);
    QStringList backups;
    QString error;
    for (int i = 0; i < 2; ++i) {
        const std::optional<QString> path = TBackupStore().Save(numbered({0, 5}, i + 1), {}, &error, kWhen.addSecs(i));
        QVERIFY2(path, qPrintable(error));
        backups << *path;
    }
    // A backup by its number, or "new:" and what it holds for one the store made itself.
    const auto label = [&backups](const std::optional<QString> &path) {
        if (!path)
            return QStringLiteral("-");
        if (backups.contains(*path))
            return QString::number(backups.indexOf(*path) + 1);
        const std::optional<TRadioImage> image = TRadioImage::load(*path, nullptr);
        return QStringLiteral("new:") + (image ? image->contentsId() : QStringLiteral("?"));
    };
    int saved = 0;
    for (const QString &step : steps) {
        const QStringList words = step.split(QLatin1Char(' '));
        const TBackupStore store;  // each step as another run of the program would take it
        if (words.at(0) == QLatin1String("note"))
            store.NoteUnfinishedWrite(words.at(1), backups.at(words.at(2).toInt() - 1));
        else if (words.at(0) == QLatin1String("clear"))
            store.ClearUnfinishedWrite(words.at(1));
        else if (words.at(0) == QLatin1String("forge")) {
            QFile note(QDir(folder()).filePath(QStringLiteral("unfinished-writes.txt")));
            QVERIFY(note.open(QIODevice::WriteOnly));
            note.write(QStringLiteral("../backups/%1\t%2\n").arg(QFileInfo(backups.at(words.at(2).toInt() - 1)).fileName(), words.at(1)).toUtf8());
        } else if (words.at(0) == QLatin1String("end")) {
            store.EndUnfinishedWrite(words.at(1), withAreas(areaList(words.at(2))));
        } else if (words.at(0) == QLatin1String("read")) {
            const QList<int> areas = areaList(words.value(2, QStringLiteral("0,5")));
            const std::optional<QString> path = store.Save(numbered(areas, backups.size() + 1), {words.at(1), {}}, &error,
                                                           kWhen.addDays(1).addSecs(saved++));
            QVERIFY2(path, qPrintable(error));
            backups << *path;
        } else if (words.at(0) == QLatin1String("copy")) {
            const QString copy = m_data->filePath(QStringLiteral("copy-%1.img").arg(backups.size() + 1));
            QVERIFY(QFile::copy(backups.at(words.at(1).toInt() - 1), copy));
            backups << copy;
        } else if (words.at(0) == QLatin1String("restore")) {
            const QString file = backups.at(words.at(2).toInt() - 1);
            const std::optional<TRadioImage> image = TRadioImage::load(file, &error);
            QVERIFY2(image, qPrintable(error));
            store.EndUnfinishedWrite(words.at(1), *image, file, words.value(3) == QLatin1String("own") ? file : QString());
        } else if (words.at(0) == QLatin1String("check"))
            QCOMPARE(label(store.UnfinishedWrite(words.at(1), withAreas(areaList(words.at(2))))), words.at(3));
        else if (words.at(0) == QLatin1String("save"))
            for (int i = 0; i < words.at(1).toInt(); ++i)
                QVERIFY2(store.Save(withAreas({1}), {}, &error, kWhen.addDays(1).addSecs(saved++)), qPrintable(error));
        else
            QVERIFY(QFile::remove(backups.at(words.at(1).toInt() - 1)));
    }
    QStringList got;
    for (const QString &port : {QStringLiteral("/a/radio"), QStringLiteral("/b/radio")})
        got << label(TBackupStore().UnfinishedWrite(port));
    QCOMPARE(got, noted);
    QCOMPARE(TBackupStore().List().size(), kept);
}

void TestBackupStore::noteOfAreasRead_data()
{
    QTest::addColumn<QList<int>>("noted");  // the areas the noted backup holds
    QTest::addColumn<QList<int>>("read");
    QTest::addColumn<bool>("named");
    QTest::addRow("the same areas") << QList<int>{0, 5} << QList<int>{0, 5} << true;
    QTest::addRow("one of them") << QList<int>{0, 5} << QList<int>{5} << true;
    QTest::addRow("another area") << QList<int>{0, 5} << QList<int>{1} << false;
    QTest::addRow("the four tables, main noted") << QList<int>{0, 5} << QList<int>{1, 2, 3, 4} << false;
    QTest::addRow("the whole radio") << QList<int>{3} << QList<int>{0, 1, 2, 3, 4, 5} << true;
}

// A read is told of an unfinished write only when it read an area that write left in doubt.
void TestBackupStore::noteOfAreasRead()
{
    QFETCH(QList<int>, noted);
    QFETCH(QList<int>, read);
    QFETCH(bool, named);
    QString error;
    const std::optional<QString> backup = TBackupStore().Save(withAreas(noted), {}, &error, kWhen);
    QVERIFY2(backup, qPrintable(error));
    TBackupStore().NoteUnfinishedWrite(QStringLiteral("/a/radio"), *backup);
    QCOMPARE(TBackupStore().UnfinishedWrite(QStringLiteral("/a/radio"), withAreas(read)).has_value(), named);
}

void TestBackupStore::portByEitherName_data()
{
    QTest::addColumn<QString>("noted");  // the names, in the test's folder: "device", "link" (to device), "other"
    QTest::addColumn<QString>("asked");
    QTest::addColumn<bool>("found");
    QTest::addRow("the same name") << "device" << "device" << true;
    QTest::addRow("noted by its link, asked by its device") << "link" << "device" << true;
    QTest::addRow("noted by its device, asked by its link") << "device" << "link" << true;
    QTest::addRow("another device") << "link" << "other" << false;
    QTest::addRow("a name that is no file") << "COM3" << "COM4" << false;
}

// The window opens a port by its stable link (/dev/serial/by-id/…), a user types its device to
// xiepin-cli: the note of an unfinished write is found, and ended, under either name.
void TestBackupStore::portByEitherName()
{
    QFETCH(QString, noted);
    QFETCH(QString, asked);
    QFETCH(bool, found);
    const QDir dir(m_data->path());
    for (const char *name : {"device", "other"}) {
        QFile file(dir.filePath(QLatin1String(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("device")), dir.filePath(QStringLiteral("link"))));
    const auto port = [&dir](const QString &name) { return name.startsWith(QLatin1String("COM")) ? name : dir.filePath(name); };
    QString error;
    const std::optional<QString> backup = TBackupStore().Save(withAreas({0, 5}), {}, &error, kWhen);
    QVERIFY2(backup, qPrintable(error));
    const TBackupStore store;
    store.NoteUnfinishedWrite(port(noted), *backup);
    QCOMPARE(store.UnfinishedWrite(port(asked)).has_value(), found);
    store.EndUnfinishedWrite(port(asked), withAreas({0, 5}));
    QCOMPARE(store.UnfinishedWrite(port(noted)).has_value(), !found);
}

void TestBackupStore::damagedNotes_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<bool>("kept");  // the note written before the damage is still found
    QTest::addRow("grown to 256 MiB of zeros") << "grown" << true;
    QTest::addRow("a pipe in its place") << "pipe" << false;
    QTest::addRow("a folder in its place") << "folder" << false;
}

// Every transfer reads the notes of unfinished writes: a damaged file costs no more than its
// first megabyte, and a pipe in its place no hang; a new note is kept all the same.
void TestBackupStore::damagedNotes()
{
    QFETCH(QString, damage);
    QFETCH(bool, kept);
    QString error;
    const TBackupStore store;
    const std::optional<QString> first = store.Save(withAreas({0, 5}), {}, &error, kWhen);
    const std::optional<QString> second = store.Save(withAreas({0, 5}), {}, &error, kWhen.addSecs(1));
    QVERIFY2(first && second, qPrintable(error));
    store.NoteUnfinishedWrite(QStringLiteral("/a/radio"), *first);
    const QString notes = QDir(store.Folder()).filePath(QStringLiteral("unfinished-writes.txt"));
    QVERIFY(QFileInfo(notes).isFile());
    if (damage == QLatin1String("grown")) {
        QFile file(notes);
        QVERIFY(file.resize(256LL << 20));  // sparse: no disk taken
    } else {
        QVERIFY(QFile::remove(notes));
        if (damage == QLatin1String("pipe"))
            QCOMPARE(::mkfifo(QFile::encodeName(notes).constData(), 0600), 0);
        else
            QVERIFY(QDir().mkpath(notes));
    }
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(store.UnfinishedWrite(QStringLiteral("/a/radio")), kept ? first : std::nullopt);
    QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
    store.NoteUnfinishedWrite(QStringLiteral("/b/radio"), *second);
    QCOMPARE(store.UnfinishedWrite(QStringLiteral("/b/radio")), damage == QLatin1String("folder") ? std::nullopt : second);
}

// The window and several xiepin-cli may end writes at the same moment: each keeps its note.
void TestBackupStore::notesOfProgramsAtOnce()
{
    QString error;
    const std::optional<QString> backup = TBackupStore().Save(withAreas({0, 5}), {}, &error, kWhen);
    QVERIFY2(backup, qPrintable(error));
    std::vector<std::unique_ptr<QProcess>> programs;
    const auto port = [](int i) { return QStringLiteral("/dev/ttyUSB%1").arg(i); };
    for (int i = 0; i < 6; ++i) {
        programs.push_back(std::make_unique<QProcess>());
        programs.back()->start(QCoreApplication::applicationFilePath(), {QLatin1String(kNoteHelper), port(i), *backup});
    }
    for (const auto &program : programs) {
        QVERIFY(program->waitForFinished(60000));
        QCOMPARE(program->exitStatus(), QProcess::NormalExit);
    }
    for (int i = 0; i < 6; ++i)
        QVERIFY2(TBackupStore().UnfinishedWrite(port(i)) == backup, qPrintable(port(i)));
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], kNoteHelper) == 0)
        return NoteRepeatedly(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    TestBackupStore test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_backupstore.moc"
