#include "backup/BackupStore.h"
#include "fleet/Fleet.h"
#include "protocol/Areas.h"
#include "protocol/FactoryImage.h"
#include "protocol/RadioImage.h"
#include "support/core/ImageChanges.h"
#include "support/core/ProcessRun.h"
#include "support/core/RadioProcess.h"
#include "support/core/TestFiles.h"
#include "support/radio/RadioChannel.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <memory>
#include <vector>

namespace {

ProcessResult runCli(const QStringList &args)
{
    return RunProcess(QStringLiteral(XIEPIN_CLI_EXE), args);
}

// What every clone writes: the factory image with bytes changed in the channels and in DTMF.
TRadioImage cloneImage()
{
    return WithChanges(WithChanges(FactoryImage(), 0, QStringLiteral("3:0=A5 16:24=5A")), 1, QStringLiteral("0:0=12345678"));
}

TRadioImage onlyArea(TRadioImage image, int keep)
{
    for (int area = 0; area < 6; ++area)
        if (area != keep)
            image.dropArea(area);
    return image;
}

// Each radio's port opens once; from then on another program has it.
void PortTakenAfterFirstOpen(TFleet &fleet, VirtualRadio &radio)
{
    fleet.SetChannelFactory([&radio](const QString &) {
        auto channel = std::make_unique<RadioChannel>(radio);
        channel->RefuseOpensFrom(2);
        return channel;
    });
}

// The table on stdout: one row of cells per line after the header.
QList<QStringList> tableRows(const QString &out)
{
    QList<QStringList> rows;
    const QStringList lines = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    static const QRegularExpression gap(QStringLiteral(" {2,}"));
    for (int i = 1; i < lines.size(); ++i)
        rows << lines.at(i).trimmed().split(gap);
    return rows;
}

}  // namespace

class TestCliFleet : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cloneWithOneFaultyRadio_data();
    void cloneWithOneFaultyRadio();
    void cloneSubsetWritesItsArea();
    void cloneOfHalfWrittenRead();
    void cloneWithoutVerify();
    void interruptCancels();
    void backupSeveral_data();
    void backupSeveral();
    void backupSeveralWithoutBackupsFolder();
    void writePortTakenAfterBackup();
    void readPortTakenBetweenAreas();
    void commandLine_data();
    void commandLine();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QString backupsFolder() const { return path(QStringLiteral("data/xiepin/backups")); }
    std::unique_ptr<RadioProcess> startRadio(const QString &name, const TRadioImage &image, const QStringList &more = {});

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestCliFleet::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    qputenv("XDG_DATA_HOME", path(QStringLiteral("data")).toUtf8());
}

std::unique_ptr<RadioProcess> TestCliFleet::startRadio(const QString &name, const TRadioImage &image,
                                                       const QStringList &more)
{
    const QString link = path(name);
    auto radio = std::make_unique<RadioProcess>(QStringLiteral(XIEPIN_RADIO_EXE), link,
                                                RadioProcess::ImageArgs(link, image) + more);
    return radio->Started() ? std::move(radio) : nullptr;
}

void TestCliFleet::cloneWithOneFaultyRadio_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("detail");  // a pattern
    QTest::addColumn<bool>("reached");    // the write reached the radio: a restore command is printed
    QTest::addColumn<double>("atLeast");  // seconds its row shows at the least
    // Given up on no sooner than --timeout says.
    QTest::addRow("silent") << "silent" << "no answer" << "during the backup read, nothing written" << false << 3.0;
    // The backup read is 53 frames (handshake, 17 main blocks, 35 signalling ones); the radio
    // goes away in the main write that follows.
    QTest::addRow("disappearing") << "disappear=62" << "disconnected" << "\\d+ of 52 blocks written" << true << 0.0;
    // A backup read that skipped a block is no backup: nothing is written.
    QTest::addRow("answering with the wrong block") << "wrong-block=5" << "backup failed"
                                                    << "the radio never sent area 0 block 5" << false << 0.0;
    QTest::addRow("storing a byte wrong") << "corrupt=3" << "verify failed"
                                          << "1 block read back wrong, first channels \\(area 0\\) channel 3" << true << 0.0;
}

// Three radios verified, the faulty fourth named with its own failure; the others are not held
// up by it, and each radio's backup carries its port.
void TestCliFleet::cloneWithOneFaultyRadio()
{
    QFETCH(QString, fault);
    QFETCH(QString, result);
    QFETCH(QString, detail);
    QFETCH(bool, reached);
    QFETCH(double, atLeast);
    const TRadioImage start = FactoryImage();
    std::vector<std::unique_ptr<RadioProcess>> radios;
    for (int i = 1; i <= 4; ++i) {
        const QStringList faultArgs = i == 3 ? QStringList{QStringLiteral("--fault"), fault} : QStringList();
        radios.push_back(startRadio(QStringLiteral("radio%1").arg(i), start, faultArgs));
        QVERIFY(radios.back());
    }
    const QString image = path(QStringLiteral("clone.img"));
    QString error;
    QVERIFY(cloneImage().save(image, &error));

    // An earlier run left radios 1 and 3 part written: the one verified now is over it, the
    // faulty one is told of the older backup.
    const TBackupStore store(backupsFolder());
    const std::optional<QString> earlier = store.Save(start, {}, &error, QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)));
    QVERIFY2(earlier, qPrintable(error));
    for (std::size_t i : {0, 2})
        store.NoteUnfinishedWrite(radios.at(i)->Link(), *earlier);

    QStringList args{QStringLiteral("clone"), image, QStringLiteral("--timeout"), QStringLiteral("3")};
    for (const auto &radio : radios)
        args << QStringLiteral("--port") << radio->Link();
    const ProcessResult run = runCli(args);
    QCOMPARE(run.exitCode, 1);

    const QList<QStringList> rows = tableRows(run.out);
    QCOMPARE(rows.size(), 4);
    QStringList backupNames;
    for (int i = 0; i < 4; ++i) {
        const QStringList &row = rows.at(i);
        QVERIFY2(row.size() == 5, qPrintable(run.out));
        QCOMPARE(row.at(0), radios.at(static_cast<std::size_t>(i))->Link());
        QVERIFY2(QRegularExpression(QStringLiteral("^\\d+\\.\\d s$")).match(row.at(2)).hasMatch(), qPrintable(row.at(2)));
        const std::optional<TRadioImage> memory = radios.at(static_cast<std::size_t>(i))->Stop();
        QVERIFY(memory);
        if (i == 2) {
            QCOMPARE(row.at(1), result);
            QVERIFY2(row.at(2).chopped(2).toDouble() >= atLeast, qPrintable(row.at(2)));
            QVERIFY2(QRegularExpression(QStringLiteral("^(%1)$").arg(detail)).match(row.at(4)).hasMatch(), qPrintable(row.at(4)));
            QCOMPARE(run.err.contains(QStringLiteral("%1: %2; to put back what it held: xiepin-cli restore --port %1 ")
                                          .arg(row.at(0), result)),
                     reached);
            QCOMPARE(run.err.contains(QStringLiteral("; an earlier write on it did not finish either: if this is the same "
                                                     "radio, what it held before that write is in %1\n").arg(*earlier)),
                     reached);
            QCOMPARE(store.UnfinishedWrite(row.at(0)), earlier);
            if (!reached)
                QCOMPARE(Differences(*memory, start), QString());
            continue;
        }
        QCOMPARE(row.at(1), QStringLiteral("verified"));
        QCOMPARE(Differences(*memory, cloneImage()), QString());
        QVERIFY(!store.UnfinishedWrite(row.at(0)));
        // The backup holds what the radio held before, under a name with its port.
        const QString backup = row.at(3);
        QCOMPARE(QFileInfo(backup).absolutePath(), QDir(backupsFolder()).absolutePath());
        QVERIFY2(QRegularExpression(QStringLiteral("^\\d{8}-\\d{6}-radio%1-all\\.img$").arg(i + 1))
                     .match(QFileInfo(backup).fileName())
                     .hasMatch(),
                 qPrintable(backup));
        const std::optional<TRadioImage> before = TRadioImage::load(backup, &error);
        QVERIFY2(before, qPrintable(error));
        QCOMPARE(Differences(*before, start), QString());
        backupNames << QFileInfo(backup).fileName();
    }
    backupNames.removeDuplicates();
    QCOMPARE(backupNames.size(), 3);
}

// Ctrl-C in the middle of the writes: every radio stops where it is, and the table still
// tells how far each got and how to put it back.
void TestCliFleet::interruptCancels()
{
    const TRadioImage start = FactoryImage();
    std::vector<std::unique_ptr<RadioProcess>> radios;
    for (const char *name : {"slow1", "slow2"}) {
        radios.push_back(startRadio(QString::fromLatin1(name), start, {QStringLiteral("--timing")}));
        QVERIFY(radios.back());
    }
    const QString image = path(QStringLiteral("clone.img"));
    QString error;
    QVERIFY2(cloneImage().save(image, &error), qPrintable(error));

    QProcess cli;
    cli.start(QStringLiteral(XIEPIN_CLI_EXE), {QStringLiteral("clone"), image, QStringLiteral("--port"), radios[0]->Link(),
                                               QStringLiteral("--port"), radios[1]->Link()});
    QVERIFY(cli.waitForStarted());
    QString err;
    const auto writing = [&] {
        return err.contains(radios[0]->Link() + QStringLiteral(": writing"))
               && err.contains(radios[1]->Link() + QStringLiteral(": writing"));
    };
    QElapsedTimer clock;
    clock.start();
    while (!writing() && cli.state() == QProcess::Running && clock.elapsed() < 60000) {
        cli.waitForReadyRead(100);
        err += QString::fromLocal8Bit(cli.readAllStandardError());
    }
    QVERIFY2(writing(), qPrintable(err));
    QCOMPARE(::kill(static_cast<pid_t>(cli.processId()), SIGINT), 0);
    QVERIFY(cli.waitForFinished(60000));
    err += QString::fromLocal8Bit(cli.readAllStandardError());
    QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
    QCOMPARE(cli.exitCode(), 1);

    const QList<QStringList> rows = tableRows(QString::fromLocal8Bit(cli.readAllStandardOutput()));
    QCOMPARE(rows.size(), 2);
    for (int i = 0; i < 2; ++i) {
        const QStringList &row = rows.at(i);
        QCOMPARE(row.value(1), QStringLiteral("cancelled"));
        QVERIFY2(QRegularExpression(QStringLiteral("^\\d+ of 52 blocks written$")).match(row.value(4)).hasMatch(),
                 qPrintable(row.join(QLatin1Char('|'))));
        QVERIFY2(err.contains(QStringLiteral("%1: cancelled; to put back what it held: xiepin-cli restore --port %1 %2")
                                  .arg(row.at(0), row.value(3))),
                 qPrintable(err));
        const std::optional<TRadioImage> before = TRadioImage::load(row.value(3), &error);
        QVERIFY2(before, qPrintable(error));
        QCOMPARE(Differences(*before, start), QString());
    }
}

// Taken by another program between the backup read and the write: nothing was written, so the
// radio's report says so and no unfinished write is noted.
void TestCliFleet::writePortTakenAfterBackup()
{
    VirtualRadio radio(FactoryImage());
    TFleet fleet(QStringLiteral("test"));
    PortTakenAfterFirstOpen(fleet, radio);
    TRadioImage channels = cloneImage();
    for (int area : {frame::kDtmfArea, frame::kFskArea, frame::kTwoToneArea, frame::kFiveToneArea})
        channels.dropArea(area);
    const QString port = QStringLiteral("/dev/ttyUSB3");
    QVERIFY(fleet.StartWrite({port}, channels, true));
    QTRY_VERIFY_WITH_TIMEOUT(!fleet.IsRunning(), 10000);
    const TFleetReport report = fleet.Reports().constFirst();
    QCOMPARE(report.phase, TFleetPhase::Backup);
    QCOMPARE(report.error, QStringLiteral("in use by another program"));
    QVERIFY(!TBackupStore().UnfinishedWrite(port));
    QCOMPARE(Differences(radio.image(), FactoryImage()), QString());
}

// The main read closes the port and the DTMF read opens it again: taken by another program
// meanwhile, the radio's report says so, beside how far the read got.
void TestCliFleet::readPortTakenBetweenAreas()
{
    VirtualRadio radio(FactoryImage());
    TFleet fleet(QStringLiteral("test"));
    PortTakenAfterFirstOpen(fleet, radio);
    TRadioImage which = FactoryImage();
    for (int area : {frame::kTwoToneArea, frame::kFiveToneArea, frame::kFskArea})
        which.dropArea(area);
    QVERIFY(fleet.StartRead({QStringLiteral("/dev/ttyUSB3")}, which));
    QTRY_VERIFY_WITH_TIMEOUT(!fleet.IsRunning(), 10000);
    const TFleetReport report = fleet.Reports().constFirst();
    QCOMPARE(report.result, TFleetResult::Disconnected);
    QCOMPARE(report.tally.done, 17);
    QCOMPARE(report.tally.total, 21);
    QCOMPARE(report.error, QStringLiteral("in use by another program"));
}

// A subset image writes its area into every radio and leaves the rest as it was.
void TestCliFleet::cloneSubsetWritesItsArea()
{
    const TRadioImage start = FactoryImage();
    auto first = startRadio(QStringLiteral("a"), start);
    auto second = startRadio(QStringLiteral("b"), start);
    QVERIFY(first && second);
    const QString image = path(QStringLiteral("dtmf.img"));
    QString error;
    QVERIFY(onlyArea(cloneImage(), 1).save(image, &error));
    // An earlier run left the first radio part written, all of it: its DTMF table written now,
    // the rest is still in doubt.
    const std::optional<QString> earlier =
        TBackupStore(backupsFolder()).Save(start, {}, &error, QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)));
    QVERIFY2(earlier, qPrintable(error));
    TBackupStore(backupsFolder()).NoteUnfinishedWrite(first->Link(), *earlier);
    const ProcessResult run =
        runCli({QStringLiteral("clone"), image, QStringLiteral("--port"), first->Link(), QStringLiteral("--port"), second->Link()});
    QVERIFY2(run.exitCode == 0, qPrintable(run.out + run.err));
    // The note stands for the areas not written, with a backup of just them.
    const std::optional<QString> rest = TBackupStore(backupsFolder()).UnfinishedWrite(first->Link());
    QVERIFY(rest && *rest != *earlier);
    QCOMPARE(TRadioImage::load(*rest, nullptr)->heldCount(), start.heldCount() - onlyArea(start, 1).heldCount());
    for (RadioProcess *radio : {first.get(), second.get()})
        QCOMPARE(run.err.contains(QStringLiteral("%1: the radio may still be half written: a write on %1 did not finish; "
                                                 "if the radio there is the same one, what it held before that write is in %2")
                                      .arg(radio->Link(), *rest)),
                 radio == first.get());
    const TRadioImage expected = WithChanges(start, 1, QStringLiteral("0:0=12345678"));
    for (RadioProcess *radio : {first.get(), second.get()}) {
        const std::optional<TRadioImage> memory = radio->Stop();
        QVERIFY(memory);
        QCOMPARE(Differences(*memory, expected), QString());
    }
    const QStringList backups = QDir(backupsFolder()).entryList({QStringLiteral("*.img")});
    QCOMPARE(backups.size(), 4);  // the earlier one and its rest first
    QVERIFY2(backups.at(2).endsWith(QStringLiteral("-a-dtmf.img")) && backups.at(3).endsWith(QStringLiteral("-b-dtmf.img")),
             qPrintable(backups.join(QLatin1Char(' '))));
}

// A write on each radio did not finish. A clone of what a later read found on the first one puts
// that radio back as the write left it: its note stays and is named. The second radio gets
// another radio's memory written whole, which ends its note.
void TestCliFleet::cloneOfHalfWrittenRead()
{
    const TRadioImage start = FactoryImage();
    auto first = startRadio(QStringLiteral("a"), start);
    auto second = startRadio(QStringLiteral("b"), start);
    QVERIFY(first && second);
    const TBackupStore store(backupsFolder());
    QString error;
    const std::optional<QString> before = store.Save(start, {}, &error, QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)));
    QVERIFY2(before, qPrintable(error));
    for (RadioProcess *radio : {first.get(), second.get()})
        store.NoteUnfinishedWrite(radio->Link(), *before);
    const TRadioImage halfWritten = WithChanges(start, 0, QStringLiteral("1:0=99"));
    const std::optional<QString> laterRead =
        store.Save(halfWritten, {first->Link(), {}}, &error, QDateTime(QDate(2026, 1, 3), QTime(3, 4, 5)));
    QVERIFY2(laterRead, qPrintable(error));

    const ProcessResult run =
        runCli({QStringLiteral("clone"), *laterRead, QStringLiteral("--port"), first->Link(), QStringLiteral("--port"), second->Link()});
    QVERIFY2(run.exitCode == 0, qPrintable(run.out + run.err));
    for (RadioProcess *radio : {first.get(), second.get()}) {
        const bool isFirst = radio == first.get();
        QCOMPARE(run.err.contains(QStringLiteral("%1: the radio may still be half written").arg(radio->Link())), isFirst);
        QCOMPARE(store.UnfinishedWrite(radio->Link()), isFirst ? before : std::nullopt);
        const std::optional<TRadioImage> memory = radio->Stop();
        QVERIFY(memory);
        QCOMPARE(Differences(*memory, halfWritten), QString());
    }
}

// --no-verify: nothing is read back, so a byte stored wrong goes unnoticed and the write counts.
void TestCliFleet::cloneWithoutVerify()
{
    auto radio = startRadio(QStringLiteral("radio"), FactoryImage(), {QStringLiteral("--fault"), QStringLiteral("corrupt=3")});
    QVERIFY(radio);
    const QString image = path(QStringLiteral("clone.img"));
    QString error;
    QVERIFY(cloneImage().save(image, &error));
    const ProcessResult run = runCli({QStringLiteral("clone"), image, QStringLiteral("--port"), radio->Link(), QStringLiteral("--no-verify")});
    QCOMPARE(run.exitCode, 0);
    const QList<QStringList> rows = tableRows(run.out);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.at(0).value(1), QStringLiteral("written"));
    QVERIFY(!run.err.contains(QStringLiteral("verifying")));
}

void TestCliFleet::backupSeveral_data()
{
    QTest::addColumn<bool>("withMissingPort");
    QTest::addColumn<QString>("areas");        // --areas; empty: not given
    QTest::addColumn<QString>("secondFault");  // of the second radio
    QTest::addColumn<QStringList>("radios");     // the ports' paths in the test folder
    QTest::addColumn<QString>("folder");         // -o
    QTest::addColumn<QStringList>("files");
    const QStringList plain{"first", "second"};
    const QStringList plainFiles{"first.img", "second.img"};
    QTest::addRow("every radio there") << false << QString() << QString() << plain << "out" << plainFiles;
    // The missing port's file from an earlier backup stays, and is said to be.
    QTest::addRow("one port missing") << true << QString() << QString() << plain << "out"
                                      << QStringList{"first.img", "missing.img", "second.img"};
    // Only the channels and settings are read: a radio gone right after them is saved.
    QTest::addRow("main only, radio gone after it") << false << "main" << "disappear=19" << plain << "out" << plainFiles;
    // A folder name with a percent sign is taken as it stands.
    QTest::addRow("ports of the same name") << false << QString() << QString() << QStringList{"a/radio", "b/radio"}
                                            << "out%2" << QStringList{"radio-2.img", "radio.img"};
    // Windows opens the device for COM3.img or nul.img, whatever the folder: such files are named
    // apart on every system, so a folder copied there still opens.
    QTest::addRow("ports named as Windows devices") << false << QString() << QString() << QStringList{"COM3", "nul"}
                                                    << "out" << QStringList{"port-COM3.img", "port-nul.img"};
}

// One file per port in the folder, each the radio on that port.
void TestCliFleet::backupSeveral()
{
    QFETCH(bool, withMissingPort);
    QFETCH(QString, areas);
    QFETCH(QString, secondFault);
    QFETCH(QStringList, radios);
    QFETCH(QString, folder);
    QFETCH(QStringList, files);
    const QList<TRadioImage> images{FactoryImage(), cloneImage()};
    for (const QString &radio : radios)
        QVERIFY(QDir().mkpath(QFileInfo(path(radio)).path()));
    auto first = startRadio(radios.at(0), images.at(0));
    auto second = startRadio(radios.at(1), images.at(1),
                             secondFault.isEmpty() ? QStringList() : QStringList{QStringLiteral("--fault"), secondFault});
    QVERIFY(first && second);
    folder = path(folder);
    QStringList args{QStringLiteral("backup"), QStringLiteral("--port"), first->Link(), QStringLiteral("--port"),
                     second->Link(), QStringLiteral("-o"), folder};
    if (!areas.isEmpty())
        args << QStringLiteral("--areas") << areas;
    const QString missing = path(QStringLiteral("missing"));
    const QString earlier = QDir(folder).filePath(QStringLiteral("missing.img"));
    if (withMissingPort) {
        args << QStringLiteral("--port") << missing;
        QVERIFY(QDir().mkpath(folder) && FactoryImage().save(earlier, nullptr));
    }
    // A write on the second port did not finish: its file may hold a half-written radio.
    const TBackupStore store(backupsFolder());
    QString error;
    const std::optional<QString> unfinished = store.Save(images.at(1), {}, &error);
    QVERIFY2(unfinished, qPrintable(error));
    store.NoteUnfinishedWrite(second->Link(), *unfinished);
    const ProcessResult run = runCli(args);
    store.ClearUnfinishedWrite(second->Link());
    QCOMPARE(run.exitCode, withMissingPort ? 1 : 0);
    QCOMPARE(QDir(folder).entryList(QDir::Files), files);
    QVERIFY2(run.err.contains(QStringLiteral("what was read may be half written: a write on %1 did not finish").arg(second->Link())),
             qPrintable(run.err));
    QCOMPARE(run.err.count(QStringLiteral("half written")), 1);
    // Each radio's file as its row names it.
    const QList<QStringList> rows = tableRows(run.out);
    QCOMPARE(rows.size(), withMissingPort ? 3 : 2);
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(QFileInfo(rows.at(i).value(3)).absolutePath(), QDir(folder).absolutePath());
        const std::optional<TRadioImage> saved = TRadioImage::load(rows.at(i).value(3), &error);
        QVERIFY2(saved, qPrintable(error));
        TRadioImage expected = images.at(i);
        if (!areas.isEmpty())
            for (int area : kSignallingAreas)
                expected.dropArea(area);
        QCOMPARE(Differences(*saved, expected), QString());
    }
    QCOMPARE(rows.at(0).value(1), QStringLiteral("saved"));
    QCOMPARE(rows.at(1).value(1), QStringLiteral("saved"));
    if (withMissingPort) {
        QCOMPARE(rows.at(2).value(0), missing);
        QCOMPARE(rows.at(2).value(1), QStringLiteral("could not open"));
        QCOMPARE(rows.at(2).value(3), QStringLiteral("-"));
        QVERIFY2(rows.at(2).value(4).endsWith(QStringLiteral("; %1 is from an earlier backup").arg(earlier)),
                 qPrintable(rows.at(2).join(QLatin1Char('|'))));
    }
}

// The files asked for are saved; that the backups folder took no copy is said for each port.
void TestCliFleet::backupSeveralWithoutBackupsFolder()
{
    auto first = startRadio(QStringLiteral("first"), FactoryImage());
    auto second = startRadio(QStringLiteral("second"), cloneImage());
    QVERIFY(first && second);
    const QString notAFolder = path(QStringLiteral("file"));
    QVERIFY(WriteWholeFile(notAFolder, "x"));
    qputenv("XDG_DATA_HOME", notAFolder.toUtf8());
    const ProcessResult run = runCli({QStringLiteral("backup"), QStringLiteral("--port"), first->Link(), QStringLiteral("--port"),
                                      second->Link(), QStringLiteral("-o"), path(QStringLiteral("out"))});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(QDir(path(QStringLiteral("out"))).entryList(QDir::Files), (QStringList{"first.img", "second.img"}));
    for (const RadioProcess *radio : {first.get(), second.get()})
        QVERIFY2(run.err.contains(QStringLiteral("%1: warning: no backup copy saved: cannot create the backups folder %2/xiepin/backups\n")
                                      .arg(radio->Link(), notAFolder)),
                 qPrintable(run.err));
}

void TestCliFleet::commandLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("message");
    QTest::addRow("a port twice") << "clone x.img --port /dev/a --port /dev/a"
                                  << "xiepin-cli: clone: a port is given twice; try 'xiepin-cli clone --help'";
    // A link and the device it points to are one radio.
    QTest::addRow("a device and its link") << "clone x.img --port {dir}/link --port {dir}/device"
                                           << "xiepin-cli: clone: a port is given twice; try 'xiepin-cli clone --help'";
    QTest::addRow("no port") << "clone x.img" << "xiepin-cli: clone: --port is required; try 'xiepin-cli clone --help'";
    QTest::addRow("no image") << "clone --port /dev/a" << "xiepin-cli: clone: no file given; try 'xiepin-cli clone --help'";
    QTest::addRow("restore takes one port")
        << "restore x.img --port /dev/a --port /dev/b"
        << "xiepin-cli: restore: --port is given more than once; try 'xiepin-cli restore --help'";
}

void TestCliFleet::commandLine()
{
    QFETCH(QString, line);
    QFETCH(QString, message);
    QFile device(path(QStringLiteral("device")));
    QVERIFY(device.open(QIODevice::WriteOnly));
    QVERIFY(QFile::link(device.fileName(), path(QStringLiteral("link"))));
    const ProcessResult run = runCli(line.replace(QStringLiteral("{dir}"), m_dir->path()).split(QLatin1Char(' ')));
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.lastErrLine(), message);
}

QTEST_GUILESS_MAIN(TestCliFleet)
#include "tst_clifleet.moc"
