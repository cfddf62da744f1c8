#include "protocol/ProgramLink.h"
#include "support/core/FakeChannel.h"

#include <QtTest>
#include <memory>

Q_DECLARE_METATYPE(NextRead)
Q_DECLARE_METATYPE(TransferKind)
Q_DECLARE_METATYPE(TransferEnd)

namespace {

// Long enough that no resend falls into a test that does not wait for one.
constexpr int kQuietMs = 60000;
// Short enough to count resends quickly.
constexpr int kFastMs = 20;
// Seeds of replies in wrongCheckValues: the check value in a chunk of its own, or none at all.
constexpr int kApart = 100;
constexpr int kNoCheck = 200;
const QString kPortName = QStringLiteral("/dev/ttyFAKE0");

struct Rig {
    explicit Rig(int resendMs = kQuietMs)
    {
        auto port = std::make_unique<FakeChannel>();
        fake = port.get();
        link = std::make_unique<TProgramLink>(std::move(port));
        link->SetResendInterval(resendMs);
    }
    FakeChannel *fake;
    std::unique_ptr<TProgramLink> link;
};

Block pattern(int seed)
{
    Block data{};
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(seed * 31 + int(i));
    return data;
}

// A read reply as the radio sends it: a 34-byte 'W' frame.
QByteArray reply(int area, int block, const Block &data = Block{})
{
    return blockFrame(area, block, data);
}

const QByteArray kAck("\x06", 1);

// The bytes handed to the port one write per byte.
QList<QByteArray> singles(const QByteArray &bytes)
{
    QList<QByteArray> result;
    for (char c : bytes)
        result.append(QByteArray(1, c));
    return result;
}

MainImage sampleImage()
{
    MainImage image;
    image.channels[0][27] = 0xFF;  // channel 1 not in use: zero data, byte 27 0xFF
    for (int n = 2; n <= 16; ++n)
        image.channels[std::size_t(n - 1)] = pattern(n);
    image.settings = pattern(50);
    return image;
}

std::vector<Block> areaBlocks(int area)
{
    std::vector<Block> blocks;
    for (int b = 0; b < frame::blockCount(area); ++b)
        blocks.push_back(pattern(area * 20 + b));
    return blocks;
}

// Main read up to the request for channel block 2.
void readToBlock2(Rig &rig)
{
    QVERIFY(rig.link->StartMainRead(kPortName));
    rig.fake->Inject(kAck);
    rig.fake->Inject(reply(0, 1));
}

// Main read up to the settings request, which follows a pause.
void readToSettings(Rig &rig)
{
    QVERIFY(rig.link->StartMainRead(kPortName));
    rig.fake->Inject(kAck);
    for (int b = 1; b <= 16; ++b)
        rig.fake->Inject(reply(0, b));
    QTRY_COMPARE(rig.fake->allBytes().right(4), readRequest(5, 0));
}

}  // namespace

class TestProgramLink : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void mainReadWire();
    void mainWriteWire();
    void openFailureStartsNothing_data();
    void openFailureStartsNothing();
    void resendRepeatsLastFrame_data();
    void resendRepeatsLastFrame();
    void resendEvery300ms();
    void silenceUntilCancel();
    void restartFromHandshake_data();
    void restartFromHandshake();
    void startRefusedWhileBusy_data();
    void startRefusedWhileBusy();
    void replyBlockDecidesNextRequest();
    void mainReadIgnoresStrayReplies_data();
    void mainReadIgnoresStrayReplies();
    void wrongCheckValues_data();
    void wrongCheckValues();
    void areaReplyWithoutCheckValue_data();
    void areaReplyWithoutCheckValue();
    void toolAckLeavesResendFrame_data();
    void toolAckLeavesResendFrame();
    void splitReplyDecodedOnce_data();
    void splitReplyDecodedOnce();
    void stalePartialReplyDropped_data();
    void stalePartialReplyDropped();
    void frameCutWithItsRest_data();
    void frameCutWithItsRest();
    void portEndsChunksAtFrames();
    void partialReplyDroppedBySettingsRequest();
    void areaRead_data();
    void areaRead();
    void ackOfEveryCopy_data();
    void ackOfEveryCopy();
    void areaWriteCompletesOnLastAck_data();
    void areaWriteCompletesOnLastAck();
    void fskWriteHeadThenDataNoResend();
    void areaStartNeedsOpenPortAndValidArea();
    void abandonAreaTransfer();
    void ackDuringMainWriteStaysThere();
    void handlerCancellingStopsTransfer();
    void endReasons_data();
    void endReasons();
    void hangupWhileIdle();
};

void TestProgramLink::mainReadWire()
{
    Rig rig;
    QSignalSpy decoded(rig.link.get(), &TProgramLink::MainBlockRead);
    QSignalSpy finished(rig.link.get(), &TProgramLink::Finished);
    QSignalSpy progress(rig.link.get(), &TProgramLink::Progressed);
    QSignalSpy portOpen(rig.link.get(), &TProgramLink::PortOpenChanged);
    QSignalSpy busy(rig.link.get(), &TProgramLink::BusyChanged);

    QVERIFY(rig.link->StartMainRead(kPortName));
    QCOMPARE(rig.fake->CommName(), kPortName);
    QVERIFY(rig.fake->IsOpen());
    QCOMPARE(rig.link->Running(), TransferKind::MainRead);
    QVERIFY(rig.link->IsResending());
    QList<QByteArray> expected = singles("PROGRAM");
    QCOMPARE(rig.fake->writtenChunks(), expected);

    rig.fake->Inject(kAck);
    expected += singles(QByteArray::fromHex("52000120"));
    QCOMPARE(rig.fake->writtenChunks(), expected);

    for (int b = 1; b <= 16; ++b) {
        rig.fake->Inject(reply(0, b, pattern(b)));
        if (b < 16)  // channel requests after the first go out as one 4-byte write
            expected << readRequest(0, b + 1);
        QCOMPARE(rig.fake->writtenChunks(), expected);
    }
    QVERIFY(!rig.link->IsResending());  // nothing to repeat during the pause
    expected += singles(QByteArray::fromHex("52050020"));
    QTRY_COMPARE(rig.fake->writtenChunks(), expected);
    QVERIFY(rig.link->IsResending());
    QCOMPARE(finished.size(), 0);

    rig.fake->Inject(reply(5, 0, pattern(99)));
    QCOMPARE(rig.fake->writtenChunks(), expected);
    QCOMPARE(decoded.size(), 17);
    for (int b = 1; b <= 16; ++b) {
        QCOMPARE(decoded[b - 1][0].toInt(), 0);
        QCOMPARE(decoded[b - 1][1].toInt(), b);
        QCOMPARE(qvariant_cast<Block>(decoded[b - 1][2]), pattern(b));
    }
    QCOMPARE(decoded[16][0].toInt(), 5);
    QCOMPARE(decoded[16][1].toInt(), 0);
    QCOMPARE(qvariant_cast<Block>(decoded[16][2]), pattern(99));
    QCOMPARE(progress.size(), 18);
    QCOMPARE(progress.last()[2].toInt(), 18);

    QCOMPARE(finished.size(), 1);
    QCOMPARE(qvariant_cast<TransferKind>(finished[0][0]), TransferKind::MainRead);
    QCOMPARE(finished[0][1].toInt(), -1);
    QCOMPARE(qvariant_cast<TransferEnd>(finished[0][2]), TransferEnd::Completed);
    QVERIFY(!rig.fake->IsOpen());
    QVERIFY(!rig.link->IsBusy());
    QVERIFY(!rig.link->IsResending());
    QCOMPARE(portOpen.size(), 2);
    QCOMPARE(portOpen[0][0].toBool(), true);
    QCOMPARE(portOpen[1][0].toBool(), false);
    QCOMPARE(busy.size(), 2);
    QCOMPARE(busy[0][0].toBool(), true);
    QCOMPARE(busy[1][0].toBool(), false);
}

void TestProgramLink::mainWriteWire()
{
    Rig rig;
    QSignalSpy finished(rig.link.get(), &TProgramLink::Finished);
    QSignalSpy progress(rig.link.get(), &TProgramLink::Progressed);
    const MainImage image = sampleImage();

    QVERIFY(rig.link->StartMainWrite(kPortName, image));
    QList<QByteArray> expected = singles("PROGRAM");
    QCOMPARE(rig.fake->writtenChunks(), expected);

    for (int step = 1; step <= 18; ++step) {
        rig.fake->Inject(kAck);
        if (step <= 16)
            expected += singles(blockFrame(0, step, image.channels[std::size_t(step - 1)]));
        else if (step == 17)
            expected += singles(blockFrame(5, 0, image.settings));
        QCOMPARE(rig.fake->writtenChunks(), expected);
        QCOMPARE(progress.last()[2].toInt(), step);
        QCOMPARE(finished.size(), step == 18 ? 1 : 0);
    }

    // The empty channel 1 frame as it appears on the wire.
    const QByteArray channel1 = rig.fake->allBytes(7).left(34);
    QCOMPARE(channel1, QByteArray::fromHex("57000120") + QByteArray(27, '\0') + QByteArray::fromHex("FF386F"));

    QCOMPARE(qvariant_cast<TransferKind>(finished[0][0]), TransferKind::MainWrite);
    QCOMPARE(qvariant_cast<TransferEnd>(finished[0][2]), TransferEnd::Completed);
    QVERIFY(!rig.fake->IsOpen());
    QVERIFY(!rig.link->IsBusy());
    QVERIFY(!rig.link->IsResending());

    // A late acknowledgement after completion changes nothing.
    rig.fake->Inject(kAck);
    QCOMPARE(rig.fake->writtenChunks(), expected);
    QCOMPARE(finished.size(), 1);
}

void TestProgramLink::openFailureStartsNothing_data()
{
    QTest::addColumn<bool>("write");
    QTest::addRow("read") << false;
    QTest::addRow("write") << true;
}

void TestProgramLink::openFailureStartsNothing()
{
    QFETCH(bool, write);
    Rig rig(kFastMs);
    QSignalSpy busy(rig.link.get(), &TProgramLink::BusyChanged);
    rig.fake->SetOpenError(QStringLiteral("Error opening serial port"));
    QString message;
    try {
        if (write)
            rig.link->StartMainWrite(kPortName, MainImage{});
        else
            rig.link->StartMainRead(kPortName);
    } catch (const ECommsError &e) {
        message = QString::fromStdString(e.what());
    }
    QCOMPARE(message, QStringLiteral("Error opening serial port"));
    QVERIFY(!rig.link->IsBusy());
    QVERIFY(!rig.link->IsResending());
    QCOMPARE(busy.size(), 0);
    QTest::qWait(5 * kFastMs);
    QCOMPARE(rig.fake->writeCount(), 0);
    QCOMPARE(rig.fake->refusedWrites(), 0);

    // Once the port opens, the same start works.
    rig.fake->SetOpenError(QString());
    QVERIFY(write ? rig.link->StartMainWrite(kPortName, MainImage{}) : rig.link->StartMainRead(kPortName));
    QCOMPARE(rig.fake->allBytes(), QByteArray("PROGRAM"));
}

// Scenarios that leave one frame waiting for its answer.
enum class Waiting { ReadHandshake, ChannelRequest, LaterRequest, SettingsRequest, WriteHandshake,
                     ChannelBlock, SettingsBlock, AreaRequest, AreaBlock };

void TestProgramLink::resendRepeatsLastFrame_data()
{
    QTest::addColumn<int>("scenario");
    QTest::addColumn<QByteArray>("frame");
    const MainImage image = sampleImage();
    QTest::addRow("read handshake") << int(Waiting::ReadHandshake) << QByteArray("PROGRAM");
    QTest::addRow("first channel request") << int(Waiting::ChannelRequest) << readRequest(0, 1);
    QTest::addRow("later channel request") << int(Waiting::LaterRequest) << readRequest(0, 2);
    QTest::addRow("settings request") << int(Waiting::SettingsRequest) << readRequest(5, 0);
    QTest::addRow("write handshake") << int(Waiting::WriteHandshake) << QByteArray("PROGRAM");
    QTest::addRow("channel block") << int(Waiting::ChannelBlock) << blockFrame(0, 2, image.channels[1]);
    QTest::addRow("settings block") << int(Waiting::SettingsBlock) << blockFrame(5, 0, image.settings);
    QTest::addRow("area request") << int(Waiting::AreaRequest) << readRequest(3, 1);
    QTest::addRow("area block") << int(Waiting::AreaBlock) << blockFrame(1, 1, areaBlocks(1)[1]);
}

void TestProgramLink::resendRepeatsLastFrame()
{
    QFETCH(int, scenario);
    QFETCH(QByteArray, frame);
    Rig rig(kFastMs);
    switch (Waiting(scenario)) {
    case Waiting::ReadHandshake: QVERIFY(rig.link->StartMainRead(kPortName)); break;
    case Waiting::ChannelRequest:
        QVERIFY(rig.link->StartMainRead(kPortName));
        rig.fake->Inject(kAck);
        break;
    case Waiting::LaterRequest: readToBlock2(rig); break;
    case Waiting::SettingsRequest: readToSettings(rig); break;
    case Waiting::WriteHandshake: QVERIFY(rig.link->StartMainWrite(kPortName, sampleImage())); break;
    case Waiting::ChannelBlock:
    case Waiting::SettingsBlock: {
        QVERIFY(rig.link->StartMainWrite(kPortName, sampleImage()));
        const int acks = Waiting(scenario) == Waiting::ChannelBlock ? 2 : 17;
        for (int i = 0; i < acks; ++i)
            rig.fake->Inject(kAck);
        break;
    }
    case Waiting::AreaRequest:
        rig.link->OpenPort(kPortName);
        QVERIFY(rig.link->StartAreaRead(3, NextRead::FollowReply));
        rig.fake->Inject(reply(3, 0));
        break;
    case Waiting::AreaBlock:
        rig.link->OpenPort(kPortName);
        QVERIFY(rig.link->StartAreaWrite(1, areaBlocks(1), WriteFraming::WithCrc));
        rig.fake->Inject(kAck);
        break;
    }
    QVERIFY(rig.fake->allBytes().endsWith(frame));
    const int mark = rig.fake->writeCount();
    QTRY_VERIFY(rig.fake->writeCount() >= mark + 3);
    for (const QByteArray &resent : rig.fake->writtenChunks(mark))
        QCOMPARE(resent, frame);
}

// Each frame gets the full interval: the resend comes 300 ms after the last frame, also when
// an answer moved the transfer on in the middle of an interval.
void TestProgramLink::resendEvery300ms()
{
    Rig rig;
    rig.link->SetResendInterval(300);
    const MainImage image = sampleImage();
    QVERIFY(rig.link->StartMainWrite(kPortName, image));
    const qint64 sent = rig.fake->writes().last().atMs;
    QTRY_COMPARE_WITH_TIMEOUT(rig.fake->writeCount(), 9, 2000);
    QCOMPARE(rig.fake->writes().last().bytes, QByteArray("PROGRAM"));
    QVERIFY(qAbs(rig.fake->writes()[7].atMs - sent - 300) <= 50);
    QVERIFY(qAbs(rig.fake->writes()[8].atMs - rig.fake->writes()[7].atMs - 300) <= 50);

    QTest::qWait(150);  // the acknowledgement comes in the middle of an interval
    rig.fake->Inject(kAck);
    // The handshake went out three times: the block waits one interval for the acknowledgements
    // of the other copies (a lower bound only, which a loaded machine cannot break).
    QCOMPARE(rig.fake->writeCount(), 9);
    QTRY_COMPARE_WITH_TIMEOUT(rig.fake->writeCount(), 9 + 34, 2000);
    QVERIFY(rig.fake->writes().last().atMs - rig.fake->writes()[8].atMs >= 150 + 300 - 5);
    const qint64 blockSent = rig.fake->writes().last().atMs;
    const int mark = rig.fake->writeCount();
    QTRY_COMPARE_WITH_TIMEOUT(rig.fake->writeCount(), mark + 1, 2000);
    QCOMPARE(rig.fake->writes().last().bytes, blockFrame(0, 1, image.channels[0]));
    QVERIFY2(qAbs(rig.fake->writes().last().atMs - blockSent - 300) <= 50,
             qPrintable(QString::number(rig.fake->writes().last().atMs - blockSent)));
}

void TestProgramLink::silenceUntilCancel()
{
    Rig rig(kFastMs);
    QSignalSpy finished(rig.link.get(), &TProgramLink::Finished);
    QVERIFY(rig.link->StartMainRead(kPortName));
    QTRY_VERIFY(rig.fake->writeCount() >= 7 + 3);
    QCOMPARE(finished.size(), 0);

    rig.link->Cancel();
    QCOMPARE(finished.size(), 1);
    QCOMPARE(qvariant_cast<TransferKind>(finished[0][0]), TransferKind::MainRead);
    QCOMPARE(qvariant_cast<TransferEnd>(finished[0][2]), TransferEnd::Cancelled);
    QVERIFY(!rig.fake->IsOpen());
    QVERIFY(!rig.link->IsBusy());
    QVERIFY(!rig.link->IsResending());

    const int count = rig.fake->writeCount();
    rig.fake->Inject(kAck);
    QTest::qWait(5 * kFastMs);
    QCOMPARE(rig.fake->writeCount(), count);
    QCOMPARE(rig.fake->refusedWrites(), 0);  // nothing was even tried
    QCOMPARE(finished.size(), 1);
}

void TestProgramLink::restartFromHandshake_data()
{
    QTest::addColumn<bool>("write");
    QTest::addRow("F12 during read") << false;
    QTest::addRow("F11 during write") << true;
}

void TestProgramLink::restartFromHandshake()
{
    QFETCH(bool, write);
    Rig rig;
    QSignalSpy finished(rig.link.get(), &TProgramLink::Finished);
    QSignalSpy busy(rig.link.get(), &TProgramLink::BusyChanged);
    const MainImage image = sampleImage();
    const auto start = [&] {
        return write ? rig.link->StartMainWrite(kPortName, image) : rig.link->StartMainRead(kPortName);
    };
    QVERIFY(start());
    for (int i = 0; i < 4; ++i)
        rig.fake->Inject(write ? kAck : (i == 0 ? kAck : reply(0, i)));

    const int mark = rig.fake->writeCount();
    QVERIFY(start());
    QCOMPARE(rig.fake->writtenChunks(mark), singles("PROGRAM"));
    rig.fake->Inject(kAck);
    const QByteArray next = write ? blockFrame(0, 1, image.channels[0]) : readRequest(0, 1);
    QCOMPARE(rig.fake->allBytes(mark + 7), next);
    QCOMPARE(finished.size(), 0);
    QCOMPARE(busy.size(), 1);
    QCOMPARE(rig.fake->opens(), 1);
}

void TestProgramLink::startRefusedWhileBusy_data()
{
    QTest::addColumn<TransferKind>("running");
    QTest::addColumn<TransferKind>("attempt");
    const QList<TransferKind> kinds{TransferKind::MainRead, TransferKind::MainWrite, TransferKind::AreaRead,
                                    TransferKind::AreaWrite};
    const QStringList names{"main read", "main write", "area read", "area write"};
    for (int r = 0; r < kinds.size(); ++r) {
        for (int a = 0; a < kinds.size(); ++a) {
            const bool restart = r == a && r < 2;
            if (!restart)
                QTest::addRow("%s, then %s", qPrintable(names[r]), qPrintable(names[a])) << kinds[r] << kinds[a];
        }
    }
}

void TestProgramLink::startRefusedWhileBusy()
{
    QFETCH(TransferKind, running);
    QFETCH(TransferKind, attempt);
    Rig rig;
    rig.link->OpenPort(kPortName);
    const auto start = [&](TransferKind kind) {
        switch (kind) {
        case TransferKind::MainRead: return rig.link->StartMainRead(kPortName);
        case TransferKind::MainWrite: return rig.link->StartMainWrite(kPortName, sampleImage());
        case TransferKind::AreaRead: return rig.link->StartAreaRead(1, NextRead::CountReplies);
        case TransferKind::AreaWrite: return rig.link->StartAreaWrite(4, areaBlocks(4), WriteFraming::WithCrc);
        case TransferKind::None: break;
        }
        return false;
    };
    QVERIFY(start(running));
    const int mark = rig.fake->writeCount();
    const int area = rig.link->RunningArea();
    QVERIFY(!start(attempt));
    QCOMPARE(rig.fake->writeCount(), mark);
    QCOMPARE(rig.link->Running(), running);
    QCOMPARE(rig.link->RunningArea(), area);
}

void TestProgramLink::replyBlockDecidesNextRequest()
{
    Rig rig;
    QSignalSpy decoded(rig.link.get(), &TProgramLink::MainBlockRead);
    readToBlock2(rig);
    const int mark = rig.fake->writeCount();
    rig.fake->Inject(reply(0, 3, pattern(3)));
    QCOMPARE(rig.fake->writtenChunks(mark), QList<QByteArray>{readRequest(0, 4)});
    QCOMPARE(decoded.last()[1].toInt(), 3);
    QCOMPARE(qvariant_cast<Block>(decoded.last()[2]), pattern(3));
}

void TestProgramLink::mainReadIgnoresStrayReplies_data()
{
    QTest::addColumn<bool>("settingsPhase");
    QTest::addColumn<int>("area");
    QTest::addColumn<int>("block");
    QTest::addRow("signalling area") << false << 3 << 2;
    QTest::addRow("channel block 0") << false << 0 << 0;
    QTest::addRow("channel block 17") << false << 0 << 17;
    QTest::addRow("block 200") << false << 0 << 200;
    QTest::addRow("area 6") << false << 6 << 2;
    QTest::addRow("earlier channel block") << false << 0 << 1;
    QTest::addRow("settings not yet asked") << false << 5 << 0;
    QTest::addRow("channel while settings asked") << true << 0 << 16;
    QTest::addRow("settings block 1") << true << 5 << 1;
}

void TestProgramLink::mainReadIgnoresStrayReplies()
{
    QFETCH(bool, settingsPhase);
    QFETCH(int, area);
    QFETCH(int, block);
    Rig rig(kFastMs);
    QSignalSpy decoded(rig.link.get(), &TProgramLink::MainBlockRead);
    if (settingsPhase)
        readToSettings(rig);
    else
        readToBlock2(rig);
    const QByteArray pending = settingsPhase ? readRequest(5, 0) : readRequest(0, 2);
    const int decodedBefore = decoded.size();
    const int mark = rig.fake->writeCount();

    rig.fake->Inject(reply(area, block, pattern(7)));
    QCOMPARE(decoded.size(), decodedBefore);
    QVERIFY(rig.link->IsBusy());
    QTRY_VERIFY(rig.fake->writeCount() > mark);
    for (const QByteArray &resent : rig.fake->writtenChunks(mark))
        QCOMPARE(resent, pending);

    // The right reply still moves the read on.
    rig.fake->Inject(settingsPhase ? reply(5, 0) : reply(0, 2));
    QCOMPARE(decoded.size(), decodedBefore + 1);
    if (settingsPhase)
        QVERIFY(!rig.link->IsBusy());
    else
        QCOMPARE(rig.fake->writtenChunks().last(), readRequest(0, 3));
}

// The replies for channel block 3, after blocks 1 and 2 came with right check values or not.
void TestProgramLink::wrongCheckValues_data()
{
    QTest::addColumn<bool>("trusted");
    // Block 3's replies by seed: negative, a wrong check value; plus kApart, the check value in
    // a chunk of its own; plus kNoCheck, a reply of 32 bytes that never gets one.
    QTest::addColumn<QList<int>>("replies");
    QTest::addColumn<int>("taken");  // the seed decoded; 0: none
    QTest::addColumn<int>("asked");  // requests for block 3 sent again at once
    QTest::addRow("unknown radio, one damaged reply") << false << QList<int>{-3} << 0 << 1;
    QTest::addRow("unknown radio, damaged then right") << false << QList<int>{-3, 4} << 4 << 1;
    QTest::addRow("unknown radio, the same bytes twice") << false << QList<int>{-3, -3} << 3 << 1;
    QTest::addRow("unknown radio, two different replies") << false << QList<int>{-3, -4} << 0 << 2;
    QTest::addRow("unknown radio, two different then one again") << false << QList<int>{-3, -4, -4} << 4 << 2;
    QTest::addRow("trusted radio, damaged then right") << true << QList<int>{-3, 4} << 4 << 1;
    QTest::addRow("trusted radio, the same damage twice") << true << QList<int>{-3, -3} << 0 << 2;
    QTest::addRow("trusted radio, damage three times then again") << true << QList<int>{-3, -3, -3, -3} << 3 << 3;
    // A reply cut after its data waits for its check value, which must be right.
    QTest::addRow("trusted radio, check value apart") << true << QList<int>{3 + kApart} << 3 << 0;
    QTest::addRow("trusted radio, damaged, check value apart") << true << QList<int>{-(3 + kApart)} << 0 << 1;
    QTest::addRow("trusted radio, damaged apart then right") << true << QList<int>{-(3 + kApart), 4} << 4 << 1;
    // A radio that stops sending check values is taken at its word again after three replies.
    QTest::addRow("trusted radio, replies without check value")
        << true << QList<int>{3 + kNoCheck, 4 + kNoCheck, 5 + kNoCheck, 6 + kNoCheck} << 6 << 0;
    QTest::addRow("unknown radio, reply without check value") << false << QList<int>{3 + kNoCheck} << 3 << 0;
}

void TestProgramLink::wrongCheckValues()
{
    QFETCH(bool, trusted);
    QFETCH(QList<int>, replies);
    QFETCH(int, taken);
    QFETCH(int, asked);
    const auto damaged = [](int block, int seed) {
        QByteArray bytes = reply(0, block, pattern(seed));
        bytes[33] = static_cast<char>(bytes[33] ^ 0x5A);
        return bytes;
    };
    Rig rig;
    QSignalSpy decoded(rig.link.get(), &TProgramLink::MainBlockRead);
    QVERIFY(rig.link->StartMainRead(kPortName));
    rig.fake->Inject(kAck);
    for (int block = 1; block <= 2; ++block) {
        const QByteArray first = trusted ? reply(0, block, pattern(block)) : damaged(block, block);
        rig.fake->Inject(first);
        if (!trusted)
            rig.fake->Inject(first);
    }
    QCOMPARE(decoded.size(), 2);

    const int mark = rig.fake->writeCount();
    for (int seed : replies) {
        const int plain = std::abs(seed) % kApart;
        const QByteArray bytes = seed < 0 ? damaged(3, plain) : reply(0, 3, pattern(plain));
        if (std::abs(seed) >= kNoCheck) {
            rig.fake->Inject(bytes.left(frame::kBodySize));
        } else if (std::abs(seed) >= kApart) {
            rig.fake->Inject(bytes.left(frame::kBodySize));
            QCOMPARE(decoded.size(), 2);
            rig.fake->Inject(bytes.mid(frame::kBodySize));
        } else {
            rig.fake->Inject(bytes);
        }
    }
    QCOMPARE(decoded.size(), taken ? 3 : 2);
    if (taken)
        QCOMPARE(qvariant_cast<Block>(decoded.last()[2]), pattern(taken));
    // A reply not taken is asked for again at once, without waiting for the resend.
    QCOMPARE(rig.fake->writtenChunks(mark).count(readRequest(0, 3)), asked);
}

void TestProgramLink::areaReplyWithoutCheckValue_data()
{
    QTest::addColumn<int>("area");
    QTest::addColumn<bool>("takenAtOnce");
    QTest::addRow("DTMF waits for the check value") << 1 << false;
    QTest::addRow("FSK, whose blocks carry none") << 2 << true;
}

// A radio known to send right check values, in an area read, sends a reply of 32 bytes.
void TestProgramLink::areaReplyWithoutCheckValue()
{
    QFETCH(int, area);
    QFETCH(bool, takenAtOnce);
    Rig rig;
    QVERIFY(rig.link->StartMainRead(kPortName));
    rig.fake->Inject(kAck);
    rig.fake->Inject(reply(0, 1, pattern(1)));
    rig.fake->Inject(reply(0, 2, pattern(2)));
    rig.link->Cancel();
    rig.link->OpenPort(kPortName);
    QSignalSpy blocks(rig.link.get(), &TProgramLink::AreaBlockRead);
    QVERIFY(rig.link->StartAreaRead(area, NextRead::CountReplies));
    const QByteArray whole = reply(area, 0, pattern(7));
    rig.fake->Inject(whole.left(frame::kBodySize));
    QCOMPARE(blocks.size(), takenAtOnce ? 1 : 0);
    rig.fake->Inject(whole.mid(frame::kBodySize));
    QCOMPARE(blocks.size(), 1);
    QCOMPARE(qvariant_cast<Block>(blocks[0][2]), pattern(7));
}

void TestProgramLink::toolAckLeavesResendFrame_data()
{
    QTest::addColumn<int>("scenario");
    QTest::addColumn<QByteArray>("answer");  // what the tool sends at once
    QTest::addColumn<QByteArray>("resent");  // what it repeats afterwards (empty: nothing)
    QTest::addColumn<int>("decoded");        // blocks decoded from the reply
    QTest::addRow("main read reply") << 0 << readRequest(0, 3) + kAck << readRequest(0, 3) << 1;
    QTest::addRow("during main write") << 1 << kAck << QByteArray("PROGRAM") << 0;
    QTest::addRow("during area read") << 2 << readRequest(1, 1) + kAck << readRequest(1, 1) << 1;
    QTest::addRow("idle, port open") << 3 << kAck << QByteArray() << 0;
}

void TestProgramLink::toolAckLeavesResendFrame()
{
    QFETCH(int, scenario);
    QFETCH(QByteArray, answer);
    QFETCH(QByteArray, resent);
    QFETCH(int, decoded);
    Rig rig(kFastMs);
    Block asking = pattern(4);
    asking[1] = 0x30;  // frame byte 5: the radio asks for an acknowledgement
    QByteArray radio;
    switch (scenario) {
    case 0:
        readToBlock2(rig);
        radio = reply(0, 2, asking);
        break;
    case 1:
        QVERIFY(rig.link->StartMainWrite(kPortName, sampleImage()));
        radio = reply(0, 1, asking);
        break;
    case 2:
        rig.link->OpenPort(kPortName);
        QVERIFY(rig.link->StartAreaRead(1, NextRead::CountReplies));
        radio = reply(1, 0, asking);
        break;
    default:
        rig.link->OpenPort(kPortName);
        radio = reply(2, 0, asking);
        break;
    }
    QSignalSpy mainDecoded(rig.link.get(), &TProgramLink::MainBlockRead);
    QSignalSpy areaDecoded(rig.link.get(), &TProgramLink::AreaBlockRead);
    const int mark = rig.fake->writeCount();
    rig.fake->Inject(radio);
    QCOMPARE(rig.fake->allBytes(mark), answer);
    QCOMPARE(rig.fake->writtenChunks().last(), kAck);  // one single byte 0x06

    QSignalSpy &spy = scenario == 2 ? areaDecoded : mainDecoded;
    QCOMPARE(mainDecoded.size() + areaDecoded.size(), decoded);
    if (decoded > 0)
        QCOMPARE(qvariant_cast<Block>(spy.last()[2]), asking);

    const int afterAnswer = rig.fake->writeCount();
    QTest::qWait(5 * kFastMs);
    if (resent.isEmpty()) {
        QCOMPARE(rig.fake->writeCount(), afterAnswer);
    } else {
        QVERIFY(rig.fake->writeCount() > afterAnswer);
        for (const QByteArray &chunk : rig.fake->writtenChunks(afterAnswer))
            QCOMPARE(chunk, resent);
    }
}

void TestProgramLink::splitReplyDecodedOnce_data()
{
    QTest::addColumn<QList<int>>("cuts");
    QTest::addRow("after the command byte") << QList<int>{1};
    QTest::addRow("inside the head") << QList<int>{3};
    QTest::addRow("inside the data") << QList<int>{10};
    QTest::addRow("one data byte missing") << QList<int>{31};
    QTest::addRow("three pieces") << QList<int>{2, 20};
    QTest::addRow("check value apart") << QList<int>{32};
}

void TestProgramLink::splitReplyDecodedOnce()
{
    QFETCH(QList<int>, cuts);
    Rig rig;
    QSignalSpy decoded(rig.link.get(), &TProgramLink::MainBlockRead);
    readToBlock2(rig);
    // An earlier reply that filled the receive buffers with other bytes.
    QCOMPARE(decoded.size(), 1);
    const QByteArray whole = reply(0, 2, pattern(2));
    const int mark = rig.fake->writeCount();
    int from = 0;
    for (int cut : cuts) {
        rig.fake->Inject(whole.mid(from, cut - from));
        from = cut;
        if (cut < frame::kBodySize) {
            QCOMPARE(decoded.size(), 1);
            QCOMPARE(rig.fake->writeCount(), mark);
        }
    }
    rig.fake->Inject(whole.mid(from));
    QCOMPARE(decoded.size(), 2);
    QCOMPARE(decoded.last()[1].toInt(), 2);
    QCOMPARE(qvariant_cast<Block>(decoded.last()[2]), pattern(2));
    QCOMPARE(rig.fake->writtenChunks(mark), QList<QByteArray>{readRequest(0, 3)});
}

void TestProgramLink::frameCutWithItsRest_data()
{
    QTest::addColumn<QString>("state");  // what runs when the chunk comes
    QTest::addColumn<QByteArray>("chunk");  // as the 20 ms rule delivers it
    QTest::addColumn<int>("cut");           // where the frame rule ends it; the rest follows
    const QByteArray stray = QByteArray::fromHex("065706");
    Block ackAsked = pattern(2);
    ackAsked[1] = 0x06;  // frame byte 5: a chunk that starts there starts with 06
    const QByteArray ackFirst = reply(0, 2, ackAsked);
    QTest::addRow("handshake acknowledged, stray bytes") << "read" << kAck + stray << 1;
    QTest::addRow("reply, stray bytes") << "read at block 2" << reply(0, 2, pattern(2)) + stray << 34;
    QTest::addRow("reply, its own next reply") << "read at block 2" << reply(0, 2) + reply(0, 3) << 34;
    QTest::addRow("acknowledgement in a write, two more") << "write" << kAck + kAck + kAck << 1;
    QTest::addRow("acknowledgement in an area write, stray bytes") << "area write" << kAck + stray << 1;
    QTest::addRow("06 inside a reply that came in two chunks")
        << "read at block 2, 5 bytes of the reply" << ackFirst.mid(5) << 1;
}

// The port ends a chunk at a complete frame and delivers what followed it as the rest: the
// engine does what it would have done with the whole chunk, and a rest never counts as an
// answer of its own.
void TestProgramLink::frameCutWithItsRest()
{
    QFETCH(QString, state);
    QFETCH(QByteArray, chunk);
    QFETCH(int, cut);
    Block ackAsked = pattern(2);
    ackAsked[1] = 0x06;
    const auto play = [&](bool cutAtFrame) {
        Rig rig;
        QSignalSpy progressed(rig.link.get(), &TProgramLink::Progressed);
        QSignalSpy decoded(rig.link.get(), &TProgramLink::MainBlockRead);
        if (state.startsWith(QStringLiteral("read"))) {
            if (!rig.link->StartMainRead(kPortName))
                qFatal("main read did not start");
            if (state.startsWith(QStringLiteral("read at block 2"))) {
                rig.fake->Inject(kAck);
                rig.fake->Inject(reply(0, 1));
            }
            if (state.endsWith(QStringLiteral("5 bytes of the reply")))
                rig.fake->Inject(reply(0, 2, ackAsked).left(5));
        } else if (state == QStringLiteral("write")) {
            rig.link->StartMainWrite(kPortName, sampleImage());
        } else {
            rig.link->OpenPort(kPortName);
            rig.link->StartAreaWrite(frame::kDtmfArea, areaBlocks(frame::kDtmfArea), WriteFraming::WithCrc);
        }
        if (cutAtFrame) {
            rig.fake->Inject(chunk.left(cut));
            rig.fake->InjectRest(chunk.mid(cut));
        } else {
            rig.fake->Inject(chunk);
        }
        QList<QByteArray> blocks;
        for (const QList<QVariant> &signal : decoded)
            blocks << bytesFromBlock(qvariant_cast<Block>(signal[2]));
        return std::make_tuple(rig.fake->allBytes(), int(progressed.size()), blocks);
    };
    const auto whole = play(false);
    QCOMPARE(play(true), whole);
    QVERIFY(std::get<1>(whole) > 0);  // the chunk did move the transfer on
}

// The engine gives the port its frame rule: an acknowledgement, or a reply with a right check
// value, is complete without the silence after it; anything else waits for the silence.
void TestProgramLink::portEndsChunksAtFrames()
{
    Rig rig;
    const TFrameRule rule = rig.fake->frameRule();
    QVERIFY(rule != nullptr);
    const QByteArray good = reply(0, 3, pattern(3));
    QCOMPARE(rule(kAck.constData(), 1), std::size_t(1));
    QCOMPARE(rule(good.constData(), std::size_t(good.size())), std::size_t(34));
    QCOMPARE(rule(good.constData(), 33), std::size_t(0));
}

void TestProgramLink::stalePartialReplyDropped_data()
{
    QTest::addColumn<QByteArray>("partial");
    QTest::addColumn<bool>("waitForResend");
    QTest::addColumn<QByteArray>("later");  // what arrives after the partial reply
    const QByteArray whole = reply(0, 2, pattern(2));
    QTest::addRow("tail after a resend") << whole.left(12) << true << whole.mid(12);
    QTest::addRow("garbage before a whole reply") << QByteArray::fromHex("57AA") << false << QByteArray();
    QTest::addRow("garbage without reply start") << QByteArray::fromHex("AA5706") << false << QByteArray();
}

// A partial reply lives only while its frame is the last one sent, and a whole reply in one
// chunk stands for itself: a reply is never decoded with bytes of another.
void TestProgramLink::stalePartialReplyDropped()
{
    QFETCH(QByteArray, partial);
    QFETCH(bool, waitForResend);
    QFETCH(QByteArray, later);
    Rig rig(waitForResend ? kFastMs : kQuietMs);
    QSignalSpy decoded(rig.link.get(), &TProgramLink::MainBlockRead);
    readToBlock2(rig);
    const int mark = rig.fake->writeCount();
    rig.fake->Inject(partial);
    if (waitForResend)
        QTRY_VERIFY(rig.fake->writeCount() > mark);
    if (!later.isEmpty())
        rig.fake->Inject(later);
    QCOMPARE(decoded.size(), 1);

    rig.link->SetResendInterval(kQuietMs);
    const int beforeReply = rig.fake->writeCount();
    rig.fake->Inject(reply(0, 2, pattern(2)));
    QCOMPARE(decoded.size(), 2);
    QCOMPARE(decoded.last()[1].toInt(), 2);
    QCOMPARE(qvariant_cast<Block>(decoded.last()[2]), pattern(2));
    QCOMPARE(rig.fake->writtenChunks(beforeReply), QList<QByteArray>{readRequest(0, 3)});
}

// Bytes that came during the pause before the settings request do not belong to its reply.
void TestProgramLink::partialReplyDroppedBySettingsRequest()
{
    Rig rig;
    QSignalSpy decoded(rig.link.get(), &TProgramLink::MainBlockRead);
    QSignalSpy finished(rig.link.get(), &TProgramLink::Finished);
    QVERIFY(rig.link->StartMainRead(kPortName));
    rig.fake->Inject(kAck);
    for (int b = 1; b <= 16; ++b)
        rig.fake->Inject(reply(0, b));
    rig.fake->Inject(QByteArray::fromHex("570010"));
    QTRY_COMPARE(rig.fake->allBytes().right(4), readRequest(5, 0));

    const QByteArray settings = reply(5, 0, pattern(5));
    rig.fake->Inject(settings.left(10));
    rig.fake->Inject(settings.mid(10));
    QCOMPARE(decoded.size(), 17);
    QCOMPARE(decoded.last()[0].toInt(), 5);
    QCOMPARE(qvariant_cast<Block>(decoded.last()[2]), pattern(5));
    QCOMPARE(finished.size(), 1);
}

using Replies = QList<QPair<int, int>>;  // area, block

void TestProgramLink::areaRead_data()
{
    QTest::addColumn<int>("area");
    QTest::addColumn<NextRead>("rule");
    QTest::addColumn<Replies>("replies");
    QTest::addColumn<QList<int>>("requested");
    QTest::addColumn<QList<int>>("decoded");
    QTest::addColumn<bool>("completed");
    const auto all = [](int area) {
        Replies r;
        for (int b = 0; b < frame::blockCount(area); ++b)
            r.append({area, b});
        return r;
    };
    const auto upTo = [](int n) {
        QList<int> blocks;
        for (int b = 0; b < n; ++b)
            blocks.append(b);
        return blocks;
    };
    QTest::addRow("DTMF, four replies") << 1 << NextRead::CountReplies << all(1) << upTo(4) << upTo(4) << true;
    QTest::addRow("FSK counts a repeated block") << 2 << NextRead::CountReplies << Replies{{2, 0}, {2, 2}, {2, 2}}
                                                << upTo(3) << QList<int>{0, 2, 2} << true;
    QTest::addRow("DTMF ignores a late copy of an earlier reply")
        << 1 << NextRead::CountReplies << Replies{{1, 0}, {1, 0}, {1, 1}, {1, 1}, {1, 2}, {1, 3}} << upTo(4)
        << upTo(4) << true;
    QTest::addRow("FSK ignores other areas and blocks beyond")
        << 2 << NextRead::CountReplies << Replies{{3, 0}, {2, 3}, {2, 0}, {1, 1}, {2, 1}, {2, 200}, {2, 2}}
        << upTo(3) << upTo(3) << true;
    QTest::addRow("two-tone, eleven replies") << 3 << NextRead::FollowReply << all(3) << upTo(11) << upTo(11) << true;
    QTest::addRow("two-tone follows a skipped block")
        << 3 << NextRead::FollowReply << Replies{{3, 0}, {3, 2}, {3, 3}} << QList<int>{0, 1, 3, 4}
        << QList<int>{0, 2, 3} << false;
    QTest::addRow("two-tone ignores earlier, foreign and beyond")
        << 3 << NextRead::FollowReply << Replies{{3, 0}, {3, 0}, {4, 1}, {3, 11}, {0, 1}} << upTo(2)
        << QList<int>{0} << false;
    QTest::addRow("five-tone, seventeen replies") << 4 << NextRead::FollowReply << all(4) << upTo(17) << upTo(17)
                                                  << true;
    QTest::addRow("five-tone, last block ends it")
        << 4 << NextRead::FollowReply << Replies{{4, 0}, {4, 16}} << upTo(2) << QList<int>{0, 16} << true;
}

void TestProgramLink::areaRead()
{
    QFETCH(int, area);
    QFETCH(NextRead, rule);
    QFETCH(Replies, replies);
    QFETCH(QList<int>, requested);
    QFETCH(QList<int>, decoded);
    QFETCH(bool, completed);
    Rig rig;
    QSignalSpy blocks(rig.link.get(), &TProgramLink::AreaBlockRead);
    QSignalSpy finished(rig.link.get(), &TProgramLink::Finished);
    QSignalSpy mainDecoded(rig.link.get(), &TProgramLink::MainBlockRead);
    rig.link->OpenPort(kPortName);
    QVERIFY(rig.link->StartAreaRead(area, rule));
    QVERIFY(rig.link->IsResending());
    for (const auto &r : replies)
        rig.fake->Inject(reply(r.first, r.second, pattern(r.first * 20 + r.second)));

    QList<QByteArray> wire;
    for (int b : requested)
        wire += singles(readRequest(area, b));
    QCOMPARE(rig.fake->writtenChunks(), wire);
    QCOMPARE(blocks.size(), decoded.size());
    for (int i = 0; i < decoded.size(); ++i) {
        QCOMPARE(blocks[i][0].toInt(), area);
        QCOMPARE(blocks[i][1].toInt(), decoded[i]);
        QCOMPARE(qvariant_cast<Block>(blocks[i][2]), pattern(area * 20 + decoded[i]));
    }
    QCOMPARE(mainDecoded.size(), 0);
    QCOMPARE(finished.size(), completed ? 1 : 0);
    QCOMPARE(rig.link->IsBusy(), !completed);
    QCOMPARE(rig.link->IsResending(), !completed);
    QVERIFY(rig.fake->IsOpen());
    if (completed) {
        QCOMPARE(qvariant_cast<TransferKind>(finished[0][0]), TransferKind::AreaRead);
        QCOMPARE(finished[0][1].toInt(), area);
        QCOMPARE(qvariant_cast<TransferEnd>(finished[0][2]), TransferEnd::Completed);
    }
}

void TestProgramLink::ackOfEveryCopy_data()
{
    QTest::addColumn<bool>("area");      // a DTMF write, else the main write
    QTest::addColumn<int>("acked");      // frames acknowledged before the one that is resent
    QTest::addColumn<int>("copies");     // times that frame goes out
    QTest::addColumn<int>("answered");   // acknowledgements the radio sends for them
    QTest::addRow("main write, handshake") << false << 0 << 2 << 2;
    QTest::addRow("main write, channel 2") << false << 2 << 2 << 2;
    QTest::addRow("main write, channel 2, three copies") << false << 2 << 3 << 3;
    QTest::addRow("main write, channel 16") << false << 16 << 2 << 2;
    QTest::addRow("DTMF write, block 1") << true << 1 << 2 << 2;
    // Copies the radio never got: the write goes on after a wait.
    QTest::addRow("main write, channel 2, one copy unanswered") << false << 2 << 3 << 2;
    QTest::addRow("main write, settings, one copy answered") << false << 17 << 4 << 1;
}

// A radio slow to answer gets a frame several times and acknowledges the copies. Their
// acknowledgements are not the next frames': every frame is still acknowledged before the one
// after it goes out, and the write ends on its last frame's own acknowledgement.
void TestProgramLink::ackOfEveryCopy()
{
    QFETCH(bool, area);
    QFETCH(int, acked);
    QFETCH(int, copies);
    QFETCH(int, answered);
    Rig rig;
    QSignalSpy finished(rig.link.get(), &TProgramLink::Finished);
    QList<QByteArray> frames;  // the write's frames in order
    if (area) {
        const std::vector<Block> blocks = areaBlocks(1);
        for (std::size_t b = 0; b < blocks.size(); ++b)
            frames << blockFrame(1, int(b), blocks[b]);
        rig.link->OpenPort(kPortName);
        QVERIFY(rig.link->StartAreaWrite(1, blocks, WriteFraming::WithCrc));
    } else {
        const MainImage image = sampleImage();
        frames << QByteArray("PROGRAM");
        for (int n = 1; n <= 16; ++n)
            frames << blockFrame(0, n, image.channels[std::size_t(n - 1)]);
        frames << blockFrame(5, 0, image.settings);
        QVERIFY(rig.link->StartMainWrite(kPortName, image));
    }
    for (int i = 0; i < acked; ++i)
        rig.fake->Inject(kAck);
    int mark = rig.fake->writeCount();
    for (int i = 1; i < copies; ++i)
        QMetaObject::invokeMethod(rig.link.get(), "Tim1Timer", Qt::DirectConnection);  // the resend
    QCOMPARE(rig.fake->allBytes(mark), frames[acked].repeated(copies - 1));

    // A wait for copies that stay unanswered is short here; the frames after are never resent.
    rig.link->SetResendInterval(kFastMs);
    mark = rig.fake->writeCount();
    for (int i = 0; i < answered; ++i)
        rig.fake->Inject(kAck);
    rig.link->SetResendInterval(kQuietMs);
    const QByteArray next = acked + 1 < frames.size() ? frames[acked + 1] : QByteArray();
    if (answered < copies) {
        QCOMPARE(rig.fake->allBytes(mark), QByteArray());
        QCOMPARE(finished.size(), 0);
        QTRY_VERIFY(!rig.link->IsHoldingAck());
    }
    QCOMPARE(rig.fake->allBytes(mark), next);
    for (int later = acked + 2; later <= frames.size(); ++later) {
        QCOMPARE(finished.size(), 0);
        mark = rig.fake->writeCount();
        rig.fake->Inject(kAck);
        QCOMPARE(rig.fake->allBytes(mark), later < frames.size() ? frames[later] : QByteArray());
    }
    QCOMPARE(finished.size(), 1);
    QCOMPARE(qvariant_cast<TransferEnd>(finished[0][2]), TransferEnd::Completed);
}

void TestProgramLink::areaWriteCompletesOnLastAck_data()
{
    QTest::addColumn<int>("area");
    QTest::addRow("DTMF") << 1;
    QTest::addRow("two-tone") << 3;
    QTest::addRow("five-tone") << 4;
    QTest::addRow("settings") << 5;
}

void TestProgramLink::areaWriteCompletesOnLastAck()
{
    QFETCH(int, area);
    Rig rig;
    QSignalSpy finished(rig.link.get(), &TProgramLink::Finished);
    const std::vector<Block> blocks = areaBlocks(area);
    rig.link->OpenPort(kPortName);
    QVERIFY(rig.link->StartAreaWrite(area, blocks, WriteFraming::WithCrc));
    QList<QByteArray> wire = singles(blockFrame(area, 0, blocks[0]));
    QCOMPARE(rig.fake->writtenChunks(), wire);
    for (std::size_t b = 1; b < blocks.size(); ++b) {
        rig.fake->Inject(kAck);
        wire += singles(blockFrame(area, int(b), blocks[b]));
        QCOMPARE(rig.fake->writtenChunks(), wire);
    }
    // The last block is out, but the radio has not confirmed it yet.
    QCOMPARE(finished.size(), 0);
    QVERIFY(rig.link->IsBusy());
    QVERIFY(rig.link->IsResending());

    rig.fake->Inject(kAck);
    QCOMPARE(rig.fake->writtenChunks(), wire);
    QCOMPARE(finished.size(), 1);
    QCOMPARE(qvariant_cast<TransferKind>(finished[0][0]), TransferKind::AreaWrite);
    QCOMPARE(finished[0][1].toInt(), area);
    QCOMPARE(qvariant_cast<TransferEnd>(finished[0][2]), TransferEnd::Completed);
    QVERIFY(!rig.link->IsResending());
    QVERIFY(rig.fake->IsOpen());
}

void TestProgramLink::fskWriteHeadThenDataNoResend()
{
    Rig rig(kFastMs);
    QSignalSpy finished(rig.link.get(), &TProgramLink::Finished);
    const std::vector<Block> blocks = areaBlocks(2);
    rig.link->OpenPort(kPortName);
    QVERIFY(rig.link->StartAreaWrite(2, blocks, WriteFraming::HeadThenData));
    QList<QByteArray> wire = singles(blockFrameWithoutCrc(2, 0, blocks[0]));
    QCOMPARE(rig.fake->writtenChunks(), wire);
    QVERIFY(!rig.link->IsResending());
    QTest::qWait(5 * kFastMs);
    QCOMPARE(rig.fake->writtenChunks(), wire);  // never repeated

    for (int b = 1; b <= 2; ++b) {
        rig.fake->Inject(kAck);
        wire += singles(blockFrameWithoutCrc(2, b, blocks[std::size_t(b)]));
    }
    QCOMPARE(rig.fake->writtenChunks(), wire);
    QCOMPARE(rig.fake->allBytes().size(), 3 * 32);
    QCOMPARE(finished.size(), 0);
    rig.fake->Inject(kAck);
    QCOMPARE(finished.size(), 1);
    QCOMPARE(qvariant_cast<TransferEnd>(finished[0][2]), TransferEnd::Completed);
    QCOMPARE(rig.fake->writtenChunks(), wire);
}

void TestProgramLink::areaStartNeedsOpenPortAndValidArea()
{
    Rig rig;
    QVERIFY(!rig.link->StartAreaRead(1, NextRead::CountReplies));
    QVERIFY(!rig.link->StartAreaWrite(1, areaBlocks(1), WriteFraming::WithCrc));
    QCOMPARE(rig.fake->writeCount() + rig.fake->refusedWrites(), 0);
    QCOMPARE(rig.fake->opens(), 0);

    rig.link->OpenPort(kPortName);
    QVERIFY(!rig.link->StartAreaRead(0, NextRead::CountReplies));
    QVERIFY(!rig.link->StartAreaRead(6, NextRead::CountReplies));
    QVERIFY(!rig.link->StartAreaWrite(1, {}, WriteFraming::WithCrc));
    std::vector<Block> tooMany = areaBlocks(1);
    tooMany.push_back(Block{});
    QVERIFY(!rig.link->StartAreaWrite(1, tooMany, WriteFraming::WithCrc));
    QCOMPARE(rig.fake->writeCount(), 0);
    QVERIFY(!rig.link->IsBusy());
}

void TestProgramLink::abandonAreaTransfer()
{
    Rig rig(kFastMs);
    QSignalSpy finished(rig.link.get(), &TProgramLink::Finished);
    QSignalSpy blocks(rig.link.get(), &TProgramLink::AreaBlockRead);
    rig.link->OpenPort(kPortName);
    QVERIFY(rig.link->StartAreaRead(3, NextRead::FollowReply));

    rig.link->AbandonAreaTransfer(1);  // another editor's Close
    QVERIFY(rig.link->IsBusy());
    QCOMPARE(finished.size(), 0);

    rig.link->AbandonAreaTransfer(3);
    QCOMPARE(finished.size(), 1);
    QCOMPARE(qvariant_cast<TransferKind>(finished[0][0]), TransferKind::AreaRead);
    QCOMPARE(finished[0][1].toInt(), 3);
    QCOMPARE(qvariant_cast<TransferEnd>(finished[0][2]), TransferEnd::Cancelled);
    QVERIFY(!rig.link->IsBusy());
    QVERIFY(!rig.link->IsResending());
    QVERIFY(rig.fake->IsOpen());

    const int count = rig.fake->writeCount();
    rig.fake->Inject(reply(3, 0));
    QTest::qWait(5 * kFastMs);
    QCOMPARE(rig.fake->writeCount(), count);
    QCOMPARE(blocks.size(), 0);

    // A main transfer is not an area transfer.
    QVERIFY(rig.link->StartMainRead(kPortName));
    rig.link->AbandonAreaTransfer(-1);
    QCOMPARE(rig.link->Running(), TransferKind::MainRead);
}

void TestProgramLink::ackDuringMainWriteStaysThere()
{
    Rig rig;
    QSignalSpy finished(rig.link.get(), &TProgramLink::Finished);
    const MainImage image = sampleImage();
    QVERIFY(rig.link->StartMainWrite(kPortName, image));
    QVERIFY(!rig.link->StartAreaWrite(1, areaBlocks(1), WriteFraming::WithCrc));
    QVERIFY(!rig.link->StartAreaRead(1, NextRead::CountReplies));
    rig.fake->Inject(kAck);
    QCOMPARE(rig.fake->allBytes(7), blockFrame(0, 1, image.channels[0]));
    // A reply during the write is not an acknowledgement.
    rig.fake->Inject(reply(0, 1));
    QCOMPARE(rig.fake->allBytes(7), blockFrame(0, 1, image.channels[0]));
    // Noise that looks like the start of a reply does not swallow the next acknowledgement.
    rig.fake->Inject(QByteArray::fromHex("5712"));
    rig.fake->Inject(kAck);
    QCOMPARE(rig.fake->allBytes(7 + 34), blockFrame(0, 2, image.channels[1]));
    QCOMPARE(finished.size(), 0);
}

// A handler that cancels while the link signals a block leaves nothing more on the wire.
void TestProgramLink::handlerCancellingStopsTransfer()
{
    Rig rig(kFastMs);
    QSignalSpy finished(rig.link.get(), &TProgramLink::Finished);
    connect(rig.link.get(), &TProgramLink::MainBlockRead, rig.link.get(),
            [&](int, int block, const Block &) {
                if (block == 2)
                    rig.link->Cancel();
            });
    readToBlock2(rig);
    const int count = rig.fake->writeCount();
    rig.fake->Inject(reply(0, 2));
    QVERIFY(!rig.link->IsResending());
    QTest::qWait(5 * kFastMs);
    QCOMPARE(rig.fake->writeCount(), count);
    QCOMPARE(rig.fake->refusedWrites(), 0);  // not even tried on the closed port
    QCOMPARE(finished.size(), 1);
    QCOMPARE(qvariant_cast<TransferEnd>(finished[0][2]), TransferEnd::Cancelled);
    QVERIFY(!rig.fake->IsOpen());
}

void TestProgramLink::endReasons_data()
{
    QTest::addColumn<TransferKind>("kind");
    QTest::addColumn<TransferEnd>("reason");
    QTest::addColumn<bool>("portOpenAfter");
    const QList<QPair<TransferKind, const char *>> kinds{{TransferKind::MainRead, "main read"},
                                                         {TransferKind::MainWrite, "main write"},
                                                         {TransferKind::AreaRead, "area read"},
                                                         {TransferKind::AreaWrite, "area write"}};
    const QList<QPair<TransferEnd, const char *>> reasons{{TransferEnd::Completed, "completed"},
                                                          {TransferEnd::Cancelled, "cancelled"},
                                                          {TransferEnd::Silent, "silent"},
                                                          {TransferEnd::PortGone, "port gone"}};
    for (const auto &kind : kinds) {
        const bool main = kind.first == TransferKind::MainRead || kind.first == TransferKind::MainWrite;
        for (const auto &reason : reasons) {
            // Main transfers close the port at their end; area transfers leave it open.
            const bool open = !main && reason.first != TransferEnd::PortGone;
            QTest::addRow("%s, %s", kind.second, reason.second) << kind.first << reason.first << open;
        }
    }
}

// Every transfer ends with its reason, once, and nothing goes out after its end: no resend, no
// answer to a late acknowledgement or reply.
void TestProgramLink::endReasons()
{
    QFETCH(TransferKind, kind);
    QFETCH(TransferEnd, reason);
    QFETCH(bool, portOpenAfter);
    constexpr int kArea = 1;
    Rig rig(kFastMs);
    const MainImage image = sampleImage();
    const std::vector<Block> blocks = areaBlocks(kArea);

    // Under way: a few answers in, a frame waiting for the next one.
    switch (kind) {
    case TransferKind::MainRead: readToBlock2(rig); break;
    case TransferKind::MainWrite:
        QVERIFY(rig.link->StartMainWrite(kPortName, image));
        rig.fake->Inject(kAck);
        rig.fake->Inject(kAck);
        break;
    case TransferKind::AreaRead:
        rig.link->OpenPort(kPortName);
        QVERIFY(rig.link->StartAreaRead(kArea, NextRead::CountReplies));
        rig.fake->Inject(reply(kArea, 0));
        break;
    case TransferKind::AreaWrite:
        rig.link->OpenPort(kPortName);
        QVERIFY(rig.link->StartAreaWrite(kArea, blocks, WriteFraming::WithCrc));
        rig.fake->Inject(kAck);
        break;
    case TransferKind::None: break;
    }
    QCOMPARE(rig.link->Running(), kind);
    QVERIFY(rig.link->IsResending());
    QSignalSpy finished(rig.link.get(), &TProgramLink::Finished);
    QSignalSpy busy(rig.link.get(), &TProgramLink::BusyChanged);
    QSignalSpy portOpen(rig.link.get(), &TProgramLink::PortOpenChanged);
    const bool main = kind == TransferKind::MainRead || kind == TransferKind::MainWrite;
    const int area = main ? -1 : kArea;

    switch (reason) {
    case TransferEnd::Completed:
        switch (kind) {
        case TransferKind::MainRead:
            for (int b = 2; b <= 16; ++b)
                rig.fake->Inject(reply(0, b));
            QTRY_COMPARE(rig.fake->allBytes().right(4), readRequest(5, 0));
            rig.fake->Inject(reply(5, 0));
            break;
        case TransferKind::MainWrite:
            for (int ack = 3; ack <= 18; ++ack)
                rig.fake->Inject(kAck);
            break;
        case TransferKind::AreaRead:
            for (int b = 1; b < int(blocks.size()); ++b)
                rig.fake->Inject(reply(kArea, b));
            break;
        case TransferKind::AreaWrite:
            for (std::size_t b = 1; b < blocks.size(); ++b)
                rig.fake->Inject(kAck);
            break;
        case TransferKind::None: break;
        }
        break;
    case TransferEnd::Cancelled:
    case TransferEnd::Silent:
        // The progress window's Cancel or the command line's timeout; an editor's Close or guard.
        if (main)
            rig.link->Cancel(reason);
        else
            rig.link->AbandonAreaTransfer(kArea, reason);
        break;
    case TransferEnd::PortGone: rig.fake->Disappear(); break;
    }

    QCOMPARE(finished.size(), 1);
    QCOMPARE(qvariant_cast<TransferKind>(finished[0][0]), kind);
    QCOMPARE(finished[0][1].toInt(), area);
    QCOMPARE(qvariant_cast<TransferEnd>(finished[0][2]), reason);
    QCOMPARE(busy.size(), 1);
    QCOMPARE(busy[0][0].toBool(), false);
    QVERIFY(!rig.link->IsBusy());
    QVERIFY(!rig.link->IsResending());
    QCOMPARE(rig.link->IsPortOpen(), portOpenAfter);
    QCOMPARE(rig.fake->IsOpen(), portOpenAfter);
    if (portOpenAfter) {
        QCOMPARE(portOpen.size(), 0);
    } else {
        QCOMPARE(portOpen.size(), 1);
        QCOMPARE(portOpen[0][0].toBool(), false);
    }

    const int written = rig.fake->writeCount();
    const int refused = rig.fake->refusedWrites();
    rig.fake->Inject(kAck);
    rig.fake->Inject(reply(main ? 0 : kArea, 2));
    QTest::qWait(5 * kFastMs);
    QCOMPARE(rig.fake->writeCount(), written);
    QCOMPARE(rig.fake->refusedWrites(), refused);  // not even tried
    QCOMPARE(finished.size(), 1);
}

// A port that goes away between transfers is only reported; the next start opens it again.
void TestProgramLink::hangupWhileIdle()
{
    Rig rig;
    QSignalSpy finished(rig.link.get(), &TProgramLink::Finished);
    QSignalSpy busy(rig.link.get(), &TProgramLink::BusyChanged);
    QSignalSpy portOpen(rig.link.get(), &TProgramLink::PortOpenChanged);
    QSignalSpy gone(rig.link.get(), &TProgramLink::PortGone);
    rig.link->OpenPort(kPortName);
    rig.fake->Disappear();
    QCOMPARE(portOpen.size(), 2);
    QCOMPARE(portOpen[1][0].toBool(), false);
    QVERIFY(!rig.link->IsPortOpen());
    QCOMPARE(finished.size(), 0);
    QCOMPARE(busy.size(), 0);
    QCOMPARE(gone.size(), 1);

    QVERIFY(rig.link->StartMainRead(kPortName));
    QCOMPARE(rig.fake->opens(), 2);
    QCOMPARE(rig.fake->allBytes(), QByteArray("PROGRAM"));
    QCOMPARE(portOpen.size(), 3);
    QCOMPARE(portOpen[2][0].toBool(), true);
}

QTEST_GUILESS_MAIN(TestProgramLink)
#include "tst_programlink.moc"
