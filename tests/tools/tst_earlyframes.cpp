#include "protocol/FactoryImage.h"
#include "protocol/ProgramLink.h"
#include "radio/PtyRadio.h"
#include "serial/Comm.h"

#include <QtTest>
#include <memory>

// The engine over a real serial port (TComm on a pseudo-terminal) and the virtual radio behind
// it: a transfer ends the same way whether each answer is handled as soon as it is complete
// (the engine's frame rule) or only after the 20 ms of silence that end every chunk. The radio
// answers at once, so replies and acknowledgements follow each other without a pause.
namespace {

constexpr int kWaitMs = 20000;  // a whole main transfer on a loaded machine, with room

// The port as the engine's, but deaf to the frame rule: chunks end only at 20 ms of silence.
class SilenceOnlyComm : public TComm {
public:
    SilenceOnlyComm()
    {
        SetOutx_XonXoffFlow(false);
        SetInx_XonXoffFlow(false);
        SetReadIntervalTimeout(20);
    }
    void SetFrameRule(TFrameRule) override {}
};

Block Pattern(int seed)
{
    Block data{};
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(seed * 29 + static_cast<int>(i) * 3);
    return data;
}

MainImage NewMain()
{
    MainImage main;
    for (int n = 0; n < frame::kChannelCount; ++n)
        main.channels[static_cast<std::size_t>(n)] = Pattern(n + 1);
    main.settings = Pattern(40);
    return main;
}

// How one transfer ended: its reason, the blocks it decoded, the radio's memory afterwards, and
// whether an acknowledgement ever moved the write on before the radio had stored the frame it
// answers.
struct Outcome {
    TransferEnd end = TransferEnd::Cancelled;
    QList<QPair<int, QByteArray>> decoded;  // area * 100 + block, data
    TRadioImage memory;
    bool ackBeforeStored = false;
};

Outcome Run(bool frameRule, const QString &fault, bool write)
{
    Outcome outcome;
    VirtualRadio radio(FactoryImage());
    RadioFaults faults;
    QString error;
    if (!fault.isEmpty() && !faults.add(fault, &error))
        qFatal("%s", qPrintable(error));
    radio.setFaults(faults);
    PtyRadio pty(radio);
    if (!pty.open(QString(), &error))
        qFatal("%s", qPrintable(error));

    std::unique_ptr<TSerialChannel> port = frameRule ? CreateComm1() : std::make_unique<SilenceOnlyComm>();
    TProgramLink link(std::move(port));
    link.SetResendInterval(2000);  // no resend on a machine that merely stalls
    QEventLoop loop;
    QObject::connect(&link, &TProgramLink::MainBlockRead, [&](int area, int block, const Block &data) {
        outcome.decoded.append({area * 100 + block, bytesFromBlock(data)});
    });
    // The handshake's acknowledgement stores nothing; the n-th answer after it follows n stores.
    QObject::connect(&link, &TProgramLink::Progressed, [&](TransferKind, int, int answers) {
        if (write && radio.blocksStored() < answers - 1)
            outcome.ackBeforeStored = true;
    });
    QObject::connect(&link, &TProgramLink::Finished, [&](TransferKind, int, TransferEnd end) {
        outcome.end = end;
        loop.quit();
    });
    QTimer::singleShot(kWaitMs, &loop, &QEventLoop::quit);
    const bool started = write ? link.StartMainWrite(pty.devicePath(), NewMain()) : link.StartMainRead(pty.devicePath());
    if (started)
        loop.exec();
    outcome.memory = radio.image();
    return outcome;
}

}  // namespace

class TestEarlyFrames : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sameOutcomeAsSilenceRule_data();
    void sameOutcomeAsSilenceRule();
};

void TestEarlyFrames::sameOutcomeAsSilenceRule_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("write");
    // The 3rd answer of a main read is the 2nd channel reply; of a main write, the 2nd block's
    // acknowledgement.
    QTest::addRow("read") << QString() << false;
    QTest::addRow("read, reply split by a 25 ms pause") << QStringLiteral("split=2") << false;
    QTest::addRow("read, reply with a wrong check value") << QStringLiteral("bad-check=2") << false;
    QTest::addRow("read, noise before a reply") << QStringLiteral("garbage=3") << false;
    QTest::addRow("read, stray bytes after a reply") << QStringLiteral("trailing=3") << false;
    QTest::addRow("read, stray bytes after every answer") << QStringLiteral("trailing") << false;
    QTest::addRow("write") << QString() << true;
    QTest::addRow("write, noise before an acknowledgement") << QStringLiteral("garbage=3") << true;
    QTest::addRow("write, stray bytes after an acknowledgement") << QStringLiteral("trailing=3") << true;
    QTest::addRow("write, stray bytes after every acknowledgement") << QStringLiteral("trailing") << true;
}

void TestEarlyFrames::sameOutcomeAsSilenceRule()
{
    QFETCH(QString, fault);
    QFETCH(bool, write);
    const Outcome early = Run(true, fault, write);
    const Outcome silence = Run(false, fault, write);

    QCOMPARE(silence.end, TransferEnd::Completed);
    QCOMPARE(early.end, silence.end);
    QCOMPARE(early.decoded, silence.decoded);
    QVERIFY(early.memory == silence.memory);
    QVERIFY(!silence.ackBeforeStored);
    QVERIFY(!early.ackBeforeStored);
    if (write) {
        TRadioImage expected = FactoryImage();
        const MainImage main = NewMain();
        for (int n = 1; n <= frame::kChannelCount; ++n)
            expected.setBlock(frame::kMainArea, n, main.channels[static_cast<std::size_t>(n - 1)]);
        expected.setBlock(frame::kSettingsArea, 0, main.settings);
        QVERIFY(early.memory == expected);
    } else {
        QCOMPARE(early.decoded.size(), frame::kChannelCount + 1);
        for (const auto &[place, data] : early.decoded)
            QCOMPARE(data, bytesFromBlock(FactoryImage().block(place / 100, place % 100)));
    }
}

QTEST_GUILESS_MAIN(TestEarlyFrames)
#include "tst_earlyframes.moc"
