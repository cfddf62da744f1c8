#include "protocol/FactoryImage.h"
#include "radio/VirtualRadio.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {

const QByteArray kAck = QByteArray::fromHex("06");

// "pause hex" per part, so a failing comparison shows what the radio sent.
QStringList describe(const std::vector<RadioSend> &parts)
{
    QStringList out;
    for (const RadioSend &p : parts)
        out << QStringLiteral("%1 %2").arg(p.pauseMs).arg(QString::fromLatin1(p.bytes.toHex().toUpper()));
    return out;
}

QString part(int pauseMs, const QByteArray &bytes)
{
    return QStringLiteral("%1 %2").arg(pauseMs).arg(QString::fromLatin1(bytes.toHex().toUpper()));
}

QByteArray joined(const std::vector<RadioSend> &parts)
{
    QByteArray all;
    for (const RadioSend &p : parts)
        all += p.bytes;
    return all;
}

// Feeds the bytes in pieces of the given sizes (repeated), collecting every answer.
std::vector<RadioSend> feed(VirtualRadio &radio, const QByteArray &bytes, const QList<int> &sizes)
{
    std::vector<RadioSend> out;
    int pos = 0;
    for (int i = 0; pos < bytes.size(); ++i) {
        const int n = sizes.isEmpty() ? int(bytes.size()) : sizes[i % sizes.size()];
        for (RadioSend &p : radio.handle(bytes.mid(pos, n)))
            out.push_back(std::move(p));
        pos += n;
    }
    return out;
}

Block pattern(int seed)
{
    Block b{};
    for (int i = 0; i < 28; ++i)
        b[i] = static_cast<std::uint8_t>(seed * 31 + i * 7);
    return b;
}

// The factory reply to a read request, built from the frame layout by hand.
QByteArray expectedReply(int area, int block, const Block &data)
{
    QByteArray bytes = QByteArray::fromHex("57") + char(area) + char(block) + char(0x20) + bytesFromBlock(data);
    const quint16 crc = FrameCrc(bytes);
    return bytes + char(crc >> 8) + char(crc & 0xFF);
}

QByteArray request(int area, int block)
{
    return QByteArray::fromHex("52") + char(area) + char(block) + char(0x20);
}

}  // namespace

class TestVirtualRadio : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void handshake_data();
    void handshake();
    void readReply_data();
    void readReply();
    void emptyChannelReplyBytes();
    void writeNeedsRightCrc_data();
    void writeNeedsRightCrc();
    void fskWriteWithoutCrc();
    void unanswered_data();
    void unanswered();
    void resync_data();
    void resync();
    void anyChunking_data();
    void anyChunking();
    void faults_data();
    void faults();
    void silentStoresNothing();
    void droppedAckStillStores();
    void disappearEndsEverything();
    void corruptStoresAChangedByte_data();
    void corruptStoresAChangedByte();
    void faultSpecs_data();
    void faultSpecs();
};

void TestVirtualRadio::handshake_data()
{
    QTest::addColumn<QList<int>>("sizes");
    QTest::addRow("whole") << QList<int>{};
    QTest::addRow("byte by byte") << QList<int>{1};
    QTest::addRow("3 + 4") << QList<int>{3, 4};
}

void TestVirtualRadio::handshake()
{
    QFETCH(QList<int>, sizes);
    VirtualRadio radio(FactoryImage());
    QCOMPARE(describe(feed(radio, "PROGRAM", sizes)), QStringList{part(0, kAck)});
    QCOMPARE(radio.framesHeard(), 1);
}

void TestVirtualRadio::readReply_data()
{
    QTest::addColumn<int>("area");
    QTest::addColumn<int>("block");
    const int places[][2] = {{0, 1}, {0, 16}, {5, 0}, {1, 0}, {1, 3}, {2, 0}, {2, 2}, {3, 10}, {4, 0}, {4, 16}};
    for (const auto &p : places)
        QTest::addRow("area %d block %d", p[0], p[1]) << p[0] << p[1];
}

void TestVirtualRadio::readReply()
{
    QFETCH(int, area);
    QFETCH(int, block);
    TRadioImage image = FactoryImage();
    image.setBlock(area, block, pattern(area * 20 + block));
    VirtualRadio radio(image);
    const auto answer = radio.handle(request(area, block));
    QCOMPARE(answer.size(), std::size_t(1));
    const QByteArray reply = answer[0].bytes;
    QCOMPARE(reply.size(), 34);
    QCOMPARE(reply, expectedReply(area, block, pattern(area * 20 + block)));
    QCOMPARE(radio.image(), image);  // a read changes nothing
}

void TestVirtualRadio::emptyChannelReplyBytes()
{
    VirtualRadio radio;  // every channel empty
    const QByteArray expected = QByteArray::fromHex("57000120") + QByteArray(27, '\0') + QByteArray::fromHex("FF386F");
    QCOMPARE(joined(radio.handle(request(0, 1))), expected);
}

void TestVirtualRadio::writeNeedsRightCrc_data()
{
    QTest::addColumn<int>("area");
    QTest::addColumn<int>("block");
    QTest::addColumn<int>("corrupt");  // -1: frame as built; else XOR 0x01 into that byte
    QTest::addColumn<bool>("stored");
    const int places[][2] = {{0, 1}, {0, 16}, {5, 0}, {1, 2}, {3, 0}, {4, 16}};
    for (const auto &p : places) {
        QTest::addRow("area %d block %d", p[0], p[1]) << p[0] << p[1] << -1 << true;
        QTest::addRow("area %d block %d, CRC low byte wrong", p[0], p[1]) << p[0] << p[1] << 33 << false;
        QTest::addRow("area %d block %d, CRC high byte wrong", p[0], p[1]) << p[0] << p[1] << 32 << false;
        QTest::addRow("area %d block %d, data byte changed", p[0], p[1]) << p[0] << p[1] << 17 << false;
    }
}

void TestVirtualRadio::writeNeedsRightCrc()
{
    QFETCH(int, area);
    QFETCH(int, block);
    QFETCH(int, corrupt);
    QFETCH(bool, stored);
    VirtualRadio radio(FactoryImage());
    QByteArray frameBytes = blockFrame(area, block, pattern(9));
    if (corrupt >= 0)
        frameBytes[corrupt] = char(frameBytes[corrupt] ^ 0x01);
    const auto answer = radio.handle(frameBytes);
    QCOMPARE(describe(answer), stored ? QStringList{part(0, kAck)} : QStringList{});
    QCOMPARE(radio.image().block(area, block), stored ? pattern(9) : FactoryImage().block(area, block));
    QCOMPARE(radio.blocksStored(), stored ? 1 : 0);
}

void TestVirtualRadio::fskWriteWithoutCrc()
{
    VirtualRadio radio(FactoryImage());
    const QByteArray bytes = blockFrameWithoutCrc(2, 1, pattern(3));
    QCOMPARE(bytes.size(), 32);
    QCOMPARE(describe(feed(radio, bytes, {4, 28})), QStringList{part(0, kAck)});
    QCOMPARE(radio.image().block(2, 1), pattern(3));

    // The same block with a check value after it: stored once, the two extra bytes ignored.
    QCOMPARE(describe(radio.handle(blockFrame(2, 2, pattern(4)))), QStringList{part(0, kAck)});
    QCOMPARE(radio.image().block(2, 2), pattern(4));
    QCOMPARE(radio.blocksStored(), 2);
}

void TestVirtualRadio::unanswered_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addRow("request area 0 block 0") << request(0, 0);
    QTest::addRow("request area 0 block 17") << request(0, 17);
    QTest::addRow("request area 5 block 1") << request(5, 1);
    QTest::addRow("request area 6 block 0") << request(6, 0);
    QTest::addRow("request area 2 block 3") << request(2, 3);
    QTest::addRow("write area 0 block 0") << blockFrame(0, 0, pattern(1));
    QTest::addRow("write area 1 block 4") << blockFrame(1, 4, pattern(1));
    QTest::addRow("write area 9 block 0") << blockFrame(9, 0, pattern(1));
    QTest::addRow("write area 2 block 3") << blockFrameWithoutCrc(2, 3, pattern(1));
    QTest::addRow("lone acknowledgement") << kAck;
    QTest::addRow("acknowledgements") << QByteArray(5, 0x06);
    QTest::addRow("noise") << QByteArray::fromHex("00FF1530A5");
    QTest::addRow("handshake in lower case") << QByteArray("program");
}

void TestVirtualRadio::unanswered()
{
    QFETCH(QByteArray, bytes);
    VirtualRadio radio(FactoryImage());
    QCOMPARE(describe(radio.handle(bytes)), QStringList{});
    QCOMPARE(radio.image(), FactoryImage());
    // Nothing is left half-parsed: the next frame is answered at once.
    QCOMPARE(describe(radio.handle("PROGRAM")), QStringList{part(0, kAck)});
}

void TestVirtualRadio::resync_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("answers");
    const QByteArray write = blockFrame(0, 3, pattern(5));
    const QStringList ack{part(0, kAck)};
    QTest::addRow("noise before the handshake") << QByteArray::fromHex("00FF15") + "PROGRAM" << ack;
    QTest::addRow("broken handshake, then a whole one") << QByteArray("PROGRPROGRAM") << ack;
    QTest::addRow("request with a bad length byte") << QByteArray::fromHex("52000121") + request(0, 2)
                                                    << QStringList{part(0, expectedReply(0, 2, FactoryImage().block(0, 2)))};
    QTest::addRow("truncated write, then a whole one") << write.left(10) + write << ack;
    QTest::addRow("write with a bad CRC, then a good one") << write.left(33) + char(write[33] ^ 0xFF) + write << ack;
    QTest::addRow("acknowledgement between frames") << kAck + write + kAck << ack;
    // A resend that repeats 34 bytes of the frame buffer: the frame, then leftovers.
    QTest::addRow("handshake with leftovers and check value")
        << QByteArray("PROGRAM") + QByteArray(25, '\0') + QByteArray::fromHex("8120") << ack;
    QTest::addRow("request with leftovers")
        << request(0, 2) + QByteArray(30, '\0')
        << QStringList{part(0, expectedReply(0, 2, FactoryImage().block(0, 2)))};
}

void TestVirtualRadio::resync()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, answers);
    VirtualRadio radio(FactoryImage());
    QCOMPARE(describe(radio.handle(bytes)), answers);
    if (bytes.contains(blockFrame(0, 3, pattern(5))))
        QCOMPARE(radio.image().block(0, 3), pattern(5));
}

void TestVirtualRadio::anyChunking_data()
{
    QTest::addColumn<QList<int>>("sizes");
    for (int n : {1, 2, 3, 4, 5, 7, 13, 32, 33, 34, 35, 100})
        QTest::addRow("pieces of %d", n) << QList<int>{n};
    QList<int> random;
    QRandomGenerator gen(20261207);
    for (int i = 0; i < 64; ++i)
        random << gen.bounded(1, 40);
    QTest::addRow("random pieces") << random;
}

void TestVirtualRadio::anyChunking()
{
    QFETCH(QList<int>, sizes);
    // A session: handshake, reads, writes of every kind, the tool's own acknowledgement, noise.
    QByteArray session = "PROGRAM";
    session += request(0, 1) + blockFrame(0, 1, pattern(1)) + request(0, 1);
    session += blockFrame(5, 0, pattern(2)) + kAck + request(5, 0);
    session += QByteArray::fromHex("00FF") + blockFrameWithoutCrc(2, 1, pattern(3)) + request(2, 1);
    session += blockFrame(4, 16, pattern(4)) + request(4, 16);

    VirtualRadio whole(FactoryImage());
    const QByteArray reference = joined(whole.handle(session));
    QCOMPARE(reference, kAck + expectedReply(0, 1, FactoryImage().block(0, 1)) + kAck + expectedReply(0, 1, pattern(1))
                            + kAck + expectedReply(5, 0, pattern(2)) + kAck + expectedReply(2, 1, pattern(3)) + kAck
                            + expectedReply(4, 16, pattern(4)));

    VirtualRadio pieces(FactoryImage());
    QCOMPARE(joined(feed(pieces, session, sizes)), reference);
    QCOMPARE(pieces.image(), whole.image());
    QCOMPARE(pieces.framesHeard(), 10);
}

void TestVirtualRadio::faults_data()
{
    QTest::addColumn<QStringList>("specs");
    QTest::addColumn<int>("latency");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("answers");

    const TRadioImage image = FactoryImage();
    const QByteArray r1 = expectedReply(0, 1, image.block(0, 1));
    const QByteArray r2 = expectedReply(0, 2, image.block(0, 2));
    const QByteArray garbage = VirtualRadio::garbageBytes();
    const QByteArray readTwo = QByteArray("PROGRAM") + request(0, 1) + request(0, 2);

    QTest::addRow("none") << QStringList{} << 0 << readTwo << QStringList{part(0, kAck), part(0, r1), part(0, r2)};
    QTest::addRow("silent") << QStringList{"silent"} << 0 << readTwo << QStringList{};
    QTest::addRow("drop the 2nd answer") << QStringList{"drop=2"} << 0 << readTwo << QStringList{part(0, kAck), part(0, r2)};
    QTest::addRow("drop the 1st answer") << QStringList{"drop=1"} << 0 << readTwo << QStringList{part(0, r1), part(0, r2)};
    QTest::addRow("drop the 1st and 3rd answers") << QStringList{"drop=1", "drop=3"} << 0 << readTwo << QStringList{part(0, r1)};
    QTest::addRow("drop every answer") << QStringList{"drop"} << 0 << readTwo << QStringList{};
    QTest::addRow("split the 2nd reply")
        << QStringList{"split=2"} << 0 << readTwo << QStringList{part(0, kAck), part(0, r1), part(0, r2.left(17)), part(25, r2.mid(17))};
    QTest::addRow("split every reply")
        << QStringList{"split"} << 0 << readTwo
        << QStringList{part(0, kAck), part(0, r1.left(17)), part(25, r1.mid(17)), part(0, r2.left(17)), part(25, r2.mid(17))};
    QTest::addRow("garbage before the 1st answer")
        << QStringList{"garbage=1"} << 0 << readTwo << QStringList{part(0, garbage), part(25, kAck), part(0, r1), part(0, r2)};
    QTest::addRow("garbage before a dropped answer")
        << QStringList{"garbage=3", "drop=3"} << 0 << readTwo << QStringList{part(0, kAck), part(0, r1), part(0, garbage)};
    QTest::addRow("wrong block in the 1st reply")
        << QStringList{"wrong-block=1"} << 0 << readTwo
        << QStringList{part(0, kAck), part(0, expectedReply(0, 2, image.block(0, 2))), part(0, r2)};
    QTest::addRow("wrong block after the last channel")
        << QStringList{"wrong-block"} << 0 << QByteArray(request(0, 16))
        << QStringList{part(0, expectedReply(0, 17, image.block(0, 16)))};
    QTest::addRow("far block in the 2nd reply")
        << QStringList{"far-block=2"} << 0 << readTwo
        << QStringList{part(0, kAck), part(0, r1), part(0, expectedReply(0, 0x7F, image.block(0, 2)))};
    QByteArray badCheck = r2;
    badCheck[33] = static_cast<char>(badCheck[33] ^ 0xFF);
    QTest::addRow("wrong check value in the 2nd reply")
        << QStringList{"bad-check=2"} << 0 << readTwo << QStringList{part(0, kAck), part(0, r1), part(0, badCheck)};
    QTest::addRow("stray bytes after the 1st answer")
        << QStringList{"trailing=1"} << 0 << readTwo
        << QStringList{part(0, kAck + VirtualRadio::trailingBytes()), part(0, r1), part(0, r2)};
    QTest::addRow("disappear after 2 frames")
        << QStringList{"disappear=2"} << 0 << readTwo << QStringList{part(0, kAck), part(0, r1)};
    QTest::addRow("latency") << QStringList{} << 40 << readTwo << QStringList{part(40, kAck), part(40, r1), part(40, r2)};
    QTest::addRow("latency with split and garbage")
        << QStringList{"split=1", "garbage=2"} << 40 << readTwo
        << QStringList{part(40, kAck), part(40, garbage), part(25, r1.left(17)), part(25, r1.mid(17)), part(40, r2)};
    QTest::addRow("drop counts acknowledgements of writes")
        << QStringList{"drop=2"} << 0 << QByteArray("PROGRAM") + blockFrame(0, 1, pattern(1)) + blockFrame(0, 2, pattern(2))
        << QStringList{part(0, kAck), part(0, kAck)};
}

void TestVirtualRadio::faults()
{
    QFETCH(QStringList, specs);
    QFETCH(int, latency);
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, answers);
    RadioFaults faults;
    for (const QString &spec : specs) {
        QString error;
        QVERIFY2(faults.add(spec, &error), qPrintable(error));
    }
    VirtualRadio radio(FactoryImage());
    radio.setFaults(faults);
    radio.setLatency(latency);
    QCOMPARE(describe(radio.handle(bytes)), answers);

    // The same stream byte by byte strikes the same faults.
    VirtualRadio slow(FactoryImage());
    slow.setFaults(faults);
    slow.setLatency(latency);
    QCOMPARE(describe(feed(slow, bytes, {1})), answers);
}

void TestVirtualRadio::silentStoresNothing()
{
    VirtualRadio radio(FactoryImage());
    radio.faults().silent = true;
    QCOMPARE(describe(radio.handle("PROGRAM" + blockFrame(0, 1, pattern(1)))), QStringList{});
    QCOMPARE(radio.image(), FactoryImage());
    QCOMPARE(radio.framesHeard(), 0);
}

void TestVirtualRadio::droppedAckStillStores()
{
    VirtualRadio radio(FactoryImage());
    radio.faults().drop = FaultTrigger::nth(1);
    QCOMPARE(describe(radio.handle(blockFrame(5, 0, pattern(6)))), QStringList{});
    QCOMPARE(radio.image().block(5, 0), pattern(6));
    // The tool resends the same block: stored again, acknowledged this time.
    QCOMPARE(describe(radio.handle(blockFrame(5, 0, pattern(6)))), QStringList{part(0, kAck)});
    QCOMPARE(radio.blocksStored(), 2);
}

void TestVirtualRadio::disappearEndsEverything()
{
    VirtualRadio radio(FactoryImage());
    radio.faults().disappearAfter = 2;
    QCOMPARE(describe(radio.handle("PROGRAM")), QStringList{part(0, kAck)});
    QVERIFY(!radio.gone());
    // The second frame is still handled and answered; the write after it in the same piece is not.
    QCOMPARE(describe(radio.handle(blockFrame(0, 1, pattern(1)) + blockFrame(0, 2, pattern(2)))), QStringList{part(0, kAck)});
    QVERIFY(radio.gone());
    QCOMPARE(radio.image().block(0, 1), pattern(1));
    QCOMPARE(radio.image().block(0, 2), FactoryImage().block(0, 2));
    QCOMPARE(describe(radio.handle("PROGRAM")), QStringList{});
}

void TestVirtualRadio::corruptStoresAChangedByte_data()
{
    QTest::addColumn<QString>("spec");
    QTest::addColumn<QList<int>>("changed");  // channels stored with a changed byte
    QTest::addRow("none") << QString() << QList<int>{};
    QTest::addRow("the 2nd written block") << "corrupt=2" << QList<int>{2};
    QTest::addRow("every written block") << "corrupt" << QList<int>{1, 2, 3};
}

// Every block is acknowledged as usual; only what is stored differs, in data byte 0.
void TestVirtualRadio::corruptStoresAChangedByte()
{
    QFETCH(QString, spec);
    QFETCH(QList<int>, changed);
    VirtualRadio radio(FactoryImage());
    QString error;
    if (!spec.isEmpty())
        QVERIFY2(radio.faults().add(spec, &error), qPrintable(error));
    const QByteArray writes = blockFrame(0, 1, pattern(1)) + blockFrame(0, 2, pattern(2)) + blockFrame(0, 3, pattern(3));
    QCOMPARE(describe(radio.handle(writes)), QStringList({part(0, kAck), part(0, kAck), part(0, kAck)}));
    for (int n = 1; n <= 3; ++n) {
        Block expected = pattern(n);
        if (changed.contains(n))
            expected[0] ^= 0x01;
        QCOMPARE(radio.image().block(0, n), expected);
    }
    // Reads give back what was stored.
    QCOMPARE(describe(radio.handle(request(0, 2))),
             QStringList{part(0, expectedReply(0, 2, radio.image().block(0, 2)))});
}

void TestVirtualRadio::faultSpecs_data()
{
    QTest::addColumn<QString>("spec");
    QTest::addColumn<QString>("error");  // empty: accepted
    QTest::addRow("silent") << "silent" << "";
    QTest::addRow("drop=3") << "drop=3" << "";
    QTest::addRow("split") << "split" << "";
    QTest::addRow("disappear=5") << "disappear=5" << "";
    QTest::addRow("corrupt=2") << "corrupt=2" << "";
    QTest::addRow("%s", "random=5%") << "random=5%" << "";
    QTest::addRow("random=100") << "random=100" << "";
    QTest::addRow("seed=42") << "seed=42" << "";
    QTest::addRow("random without share") << "random" << "fault \"random\" needs a share of 1 to 100 %: random=P%";
    QTest::addRow("random beyond 100") << "random=101%" << "fault \"random\" needs a share of 1 to 100 %: random=P%";
    QTest::addRow("random=0") << "random=0%" << "fault \"random\" needs a share of 1 to 100 %: random=P%";
    QTest::addRow("seed without number") << "seed" << "fault \"seed\" needs a number: seed=N";
    QTest::addRow("unknown") << "explode" << "unknown fault \"explode\" (known: silent, drop, split, garbage, wrong-block, far-block, bad-check, bad-data, trailing, corrupt, disappear, random, seed)";
    QTest::addRow("disappear without count") << "disappear" << "fault \"disappear\" needs a count: disappear=N";
    QTest::addRow("silent with count") << "silent=2" << "fault \"silent\" takes no count";
    QTest::addRow("zero count") << "drop=0" << "fault \"drop\": \"0\" is not a count of 1 or more";
    QTest::addRow("text count") << "split=x" << "fault \"split\": \"x\" is not a count of 1 or more";
    QTest::addRow("empty count") << "garbage=" << "fault \"garbage\": \"\" is not a count of 1 or more";
}

void TestVirtualRadio::faultSpecs()
{
    QFETCH(QString, spec);
    QFETCH(QString, error);
    RadioFaults faults;
    QString message;
    QCOMPARE(faults.add(spec, &message), error.isEmpty());
    QCOMPARE(message, error);
}

QTEST_GUILESS_MAIN(TestVirtualRadio)
#include "tst_virtualradio.moc"
