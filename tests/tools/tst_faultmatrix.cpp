#include "backup/ImageAreas.h"
#include "cli/CliError.h"
#include "cli/CliProgress.h"
#include "cli/LinkSession.h"
#include "cli/RadioBackup.h"
#include "cli/SafeWrite.h"
#include "protocol/FactoryImage.h"
#include "support/radio/RadioChannel.h"

#include <QtTest>
#include <cstdio>
#include <functional>

// Every fault of the virtual radio against every transfer, through the command line's session
// in-process: each ends as completed (with the right data read or stored), or fails with its
// clear message. Faults strike the 2nd answer or reply, so that every transfer meets them.
namespace {

constexpr int kTimeoutMs = 1000;

const QString kCompleted = QStringLiteral("completed");
const QString kSilence = QStringLiteral("no answer from the radio");
const QString kSkipped = QStringLiteral("incomplete read");

Block Pattern(int seed)
{
    Block data{};
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(seed * 13 + static_cast<int>(i));
    return data;
}

TRadioImage NewImage()
{
    TRadioImage image;
    int seed = 1;
    for (const TRadioImage::Place &place : TRadioImage::Places())
        image.setBlock(place.area, place.block, Pattern(seed++));
    return image;
}

struct Kind {
    const char *name;
    int area;    // 0: the main transfer or the whole radio
    bool write;
};

const Kind kKinds[] = {
    {"main read", 0, false}, {"main write", 0, true},   {"DTMF read", 1, false},     {"DTMF write", 1, true},
    {"FSK read", 2, false},  {"FSK write", 2, true},    {"two-tone read", 3, false}, {"two-tone write", 3, true},
    {"five-tone read", 4, false}, {"five-tone write", 4, true}, {"backup", -1, false}, {"restore", -1, true},
};

}  // namespace

class TestFaultMatrix : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void faultMatrix_data();
    void faultMatrix();
    void randomFaultsRepeatWithTheirSeed();
    void anotherRadioOnThePort();
    void portTakenBetweenTransfers();

private:
    FILE *m_quiet = nullptr;
};

void TestFaultMatrix::initTestCase()
{
    m_quiet = std::fopen("/dev/null", "w");
    QVERIFY(m_quiet);
}

void TestFaultMatrix::cleanupTestCase()
{
    std::fclose(m_quiet);
}

void TestFaultMatrix::faultMatrix_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("kind");        // index into kKinds
    QTest::addColumn<QString>("outcome");  // kCompleted, or a phrase of the failure message

    // fault, its outcome for most transfers, and the transfers that end otherwise.
    struct Row {
        const char *fault;
        QString usual;
        QMap<QString, QString> except;
    };
    const Row rows[] = {
        {"drop=2", kCompleted,
         // The FSK area is written without check value and never resent.
         {{"FSK write", kSilence}}},
        {"split=2", kCompleted, {}},
        {"garbage=2", kCompleted, {}},
        // A reply for the next block makes a read skip the block asked for; writes get no replies.
        {"wrong-block=2", kSkipped,
         {{"main write", kCompleted}, {"DTMF write", kCompleted}, {"FSK write", kCompleted},
          {"two-tone write", kCompleted}, {"five-tone write", kCompleted}, {"restore", kCompleted}}},
        {"far-block=2", kCompleted, {}},
        // A reply whose check value is wrong is asked for again.
        {"bad-check=2", kCompleted, {}},
        {"bad-data=3", kCompleted, {}},
        // A radio none of whose check values is right is taken at its word when it sends the
        // same bytes twice.
        {"bad-check", kCompleted, {}},
        {"trailing=2", kCompleted, {}},
        {"silent", kSilence, {}},
        {"disappear=2", QStringLiteral("disconnected"), {}},
    };
    // In a restore, answers 23 to 25 acknowledge the FSK blocks (after 18 main and 4 DTMF),
    // which are never resent: the restore waits until the timeout.
    QTest::addRow("drop=23, restore") << QStringLiteral("drop=23") << 11
                                      << QStringLiteral("no answer from the radio on matrix for 1 s while writing FSK queue sync (area 2) (0 of 3 answers came)");
    for (const Row &row : rows) {
        for (int kind = 0; kind < int(std::size(kKinds)); ++kind) {
            const QString name = QString::fromLatin1(kKinds[kind].name);
            QTest::addRow("%s, %s", row.fault, kKinds[kind].name)
                << QString::fromLatin1(row.fault) << kind << row.except.value(name, row.usual);
        }
    }
}

void TestFaultMatrix::faultMatrix()
{
    QFETCH(QString, fault);
    QFETCH(int, kind);
    QFETCH(QString, outcome);
    const Kind &k = kKinds[kind];

    RadioFaults faults;
    QString error;
    QVERIFY2(faults.add(fault, &error), qPrintable(error));
    VirtualRadio radio(FactoryImage());
    radio.setFaults(faults);
    TCliProgress progress(m_quiet);
    auto channel = std::make_unique<RadioChannel>(radio);
    channel->SetHangUpWhenGone(true);
    TLinkSession session(std::move(channel), QStringLiteral("matrix"), kTimeoutMs, progress);
    const TRadioImage written = NewImage();

    // What the transfer must leave: the blocks it read, or the radio's memory after a write.
    std::function<void()> run;
    std::function<void()> check;
    TRadioImage read;
    std::vector<Block> blocks;  // an area read's; outlives the two functions that use it
    if (k.area == 0 && !k.write) {
        run = [&] { SetMainImage(read, session.MainRead()); };
        check = [&] { QCOMPARE(MainPart(read).channels, MainPart(FactoryImage()).channels);
                      QCOMPARE(MainPart(read).settings, MainPart(FactoryImage()).settings); };
    } else if (k.area == 0) {
        run = [&] { session.MainWrite(MainPart(written)); };
        check = [&] { TRadioImage expected = FactoryImage();
                      SetMainImage(expected, MainPart(written));
                      QVERIFY(radio.image() == expected); };
    } else if (k.area > 0 && !k.write) {
        run = [&] { session.OpenPort(); blocks = session.AreaRead(k.area, AreaFacts(k.area).read); };
        check = [&] { QCOMPARE(int(blocks.size()), AreaFacts(k.area).blockCount);
                      for (int b = 0; b < int(blocks.size()); ++b)
                          QCOMPARE(blocks[std::size_t(b)], FactoryImage().block(k.area, b)); };
    } else if (k.area > 0) {
        run = [&] { std::vector<Block> toWrite;
                    for (int b = 0; b < AreaFacts(k.area).blockCount; ++b)
                        toWrite.push_back(written.block(k.area, b));
                    session.OpenPort();
                    session.AreaWrite(k.area, toWrite, AreaFacts(k.area).framing); };
        check = [&] { for (int b = 0; b < AreaFacts(k.area).blockCount; ++b)
                          QCOMPARE(radio.image().block(k.area, b), written.block(k.area, b)); };
    } else if (!k.write) {
        run = [&] { read = BackupRadio(session); };
        check = [&] { QVERIFY(read == FactoryImage()); };
    } else {
        run = [&] { int blocksWritten = 0; WriteRadio(session, written, &blocksWritten); };
        check = [&] { QVERIFY(radio.image() == written); };
    }

    QString failure;
    try {
        run();
    } catch (const ECliError &e) {
        failure = e.message();
    }
    if (outcome == kCompleted) {
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        check();
    } else {
        QVERIFY2(failure.contains(outcome), qPrintable(QStringLiteral("failure: \"%1\"").arg(failure)));
    }
}

// The soak's random faults: the same seed strikes the same answers, and about the share asked.
void TestFaultMatrix::randomFaultsRepeatWithTheirSeed()
{
    auto runWith = [](const QStringList &specs) {
        RadioFaults faults;
        for (const QString &spec : specs) {
            QString error;
            if (!faults.add(spec, &error))
                qFatal("%s", qPrintable(error));
        }
        VirtualRadio radio(FactoryImage());
        radio.setFaults(faults);
        QByteArray answers;
        for (int i = 0; i < 400; ++i) {
            const auto place = TRadioImage::Places()[std::size_t(i) % TRadioImage::Places().size()];
            for (const RadioSend &part : radio.handle(readRequest(place.area, place.block)))
                answers += part.bytes + '|';
        }
        return std::make_pair(answers, radio.randomFaults().total());
    };
    const auto first = runWith({QStringLiteral("random=10%"), QStringLiteral("seed=7")});
    QCOMPARE(runWith({QStringLiteral("random=10%"), QStringLiteral("seed=7")}), first);
    QVERIFY(runWith({QStringLiteral("random=10%"), QStringLiteral("seed=8")}).first != first.first);
    QVERIFY2(first.second >= 20 && first.second <= 60, qPrintable(QString::number(first.second)));  // 40 expected
    QCOMPARE(runWith({}).second, 0);
}

// After a radio that sends right check values, one on the same port whose check values are all
// wrong: its first replies are asked for again, then it is taken at its word.
void TestFaultMatrix::anotherRadioOnThePort()
{
    VirtualRadio radio(FactoryImage());
    TCliProgress progress(m_quiet);
    auto channel = std::make_unique<RadioChannel>(radio);
    TLinkSession session(std::move(channel), QStringLiteral("matrix"), kTimeoutMs, progress);
    session.MainRead();
    RadioFaults faults;
    faults.badCheck = FaultTrigger::always();
    radio.setFaults(faults);
    session.OpenPort();
    const std::vector<Block> blocks = session.AreaRead(frame::kDtmfArea, AreaFacts(frame::kDtmfArea).read);
    QCOMPARE(int(blocks.size()), AreaFacts(frame::kDtmfArea).blockCount);
    for (int b = 0; b < int(blocks.size()); ++b)
        QCOMPARE(blocks[std::size_t(b)], FactoryImage().block(frame::kDtmfArea, b));
}

// Another program takes the port after the channels were written: the command still says how
// far it got and how to put the radio back.
void TestFaultMatrix::portTakenBetweenTransfers()
{
    VirtualRadio radio(FactoryImage());
    TCliProgress progress(m_quiet);
    auto channel = std::make_unique<RadioChannel>(radio);
    channel->RefuseOpensFrom(2);
    TLinkSession session(std::move(channel), QStringLiteral("matrix"), kTimeoutMs, progress);
    const TRadioImage written = NewImage();
    QString failure;
    try {
        WriteWithBackup(session, written, QStringLiteral("matrix"), QStringLiteral("before.img"));
    } catch (const ECliError &e) {
        failure = e.message();
    }
    QCOMPARE(failure, QStringLiteral("cannot open matrix: in use by another program; %1 of %2 blocks written; the radio's "
                                     "contents before the write are in before.img; to put them back: xiepin-cli restore "
                                     "--port matrix before.img")
                          .arg(frame::kMainAnswers - 1)
                          .arg(written.heldCount()));
}

QTEST_GUILESS_MAIN(TestFaultMatrix)
#include "tst_faultmatrix.moc"
