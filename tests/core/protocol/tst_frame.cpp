#include "protocol/Frame.h"

#include <QtTest>
#include <optional>

Q_DECLARE_METATYPE(Block)

namespace {

Block emptyChannel()
{
    Block data{};
    data[27] = 0xFF;
    return data;
}

Block counting()
{
    Block data{};
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(i + 1);
    return data;
}

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

}  // namespace

class TestFrame : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void crcVectors_data();
    void crcVectors();
    void build_data();
    void build();
    void parse_data();
    void parse();
    void parseRefuses_data();
    void parseRefuses();
    void completeAnswer_data();
    void completeAnswer();
};

void TestFrame::crcVectors_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("crc");
    QTest::addRow("CRC-16/MODBUS check") << QByteArray("123456789") << 0x4B37;
    QByteArray handshake = frame::handshake();
    handshake.append(QByteArray(32 - handshake.size(), '\0'));
    QTest::addRow("handshake padded to 32") << handshake << 0x8120;
    QTest::addRow("nothing") << QByteArray() << 0xFFFF;
    QTest::addRow("one zero byte") << hex("00") << 0x40BF;
    QTest::addRow("empty channel 1 body") << (hex("57000120") + QByteArray(27, '\0') + hex("FF")) << 0x386F;
}

void TestFrame::crcVectors()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, crc);
    QCOMPARE(int(FrameCrc(bytes)), crc);
}

enum class Kind { Request, WithCheck, WithoutCheck };

void TestFrame::build_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("area");
    QTest::addColumn<int>("block");
    QTest::addColumn<Block>("data");
    QTest::addColumn<QByteArray>("bytes");
    // 52 area block 20.
    QTest::addRow("settings request") << int(Kind::Request) << 5 << 0 << Block{} << hex("52050020");
    QTest::addRow("channel 16 request") << int(Kind::Request) << 0 << 16 << Block{} << hex("52001020");
    // 57 00 01 20, 27 zero bytes, FF (channel not in use), check value 38 6F.
    QTest::addRow("empty channel 1") << int(Kind::WithCheck) << 0 << 1 << emptyChannel()
                                     << hex("57000120") + QByteArray(27, '\0') + hex("FF386F");
    QTest::addRow("zero DTMF block 0") << int(Kind::WithCheck) << 1 << 0 << Block{}
                                       << hex("57010020") + QByteArray(28, '\0') + hex("E8BF");
    // Area 2 goes without check value: head and data only.
    QTest::addRow("FSK block 2") << int(Kind::WithoutCheck) << 2 << 2 << counting()
                                 << hex("57020220") + hex("0102030405060708090A0B0C0D0E0F101112131415161718191A1B1C");
}

void TestFrame::build()
{
    QFETCH(int, kind);
    QFETCH(int, area);
    QFETCH(int, block);
    QFETCH(Block, data);
    QFETCH(QByteArray, bytes);
    const TFrame built = Kind(kind) == Kind::Request      ? TFrame::ReadRequest(area, block)
                         : Kind(kind) == Kind::WithCheck ? TFrame::BlockWrite(area, block, data)
                                                         : TFrame::BlockWithoutCheck(area, block, data);
    QCOMPARE(built.Bytes().toHex(' '), bytes.toHex(' '));
    QCOMPARE(built.Size(), int(bytes.size()));

    std::vector<std::uint8_t> buffer(frame::kFrameSize + 2, 0xEE);
    built.CopyTo(buffer.data());
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(buffer.data()), built.Size()), bytes);
    QCOMPARE(buffer[std::size_t(built.Size())], std::uint8_t(0xEE));  // nothing beyond the frame

    // The framing of the areas picks the same builder.
    if (Kind(kind) != Kind::Request)
        QCOMPARE(TFrame::BlockWrite(area, block, data, AreaFacts(area).framing).Bytes(), bytes);
}

void TestFrame::parse_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("area");
    QTest::addColumn<int>("block");
    QTest::addColumn<Block>("data");
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("hasCheck");
    QTest::addColumn<bool>("checkRight");
    const QByteArray channel1 = hex("57000120") + QByteArray(27, '\0') + hex("FF386F");
    QTest::addRow("read request") << hex("52030720") << 0x52 << 3 << 7 << Block{} << 4 << false << false;
    QTest::addRow("empty channel 1") << channel1 << 0x57 << 0 << 1 << emptyChannel() << 34 << true << true;
    QByteArray wrong = channel1;
    wrong[33] = char(0x6E);
    QTest::addRow("check value off by one") << wrong << 0x57 << 0 << 1 << emptyChannel() << 34 << true << false;
    QByteArray data = channel1;
    data[10] = 1;
    QTest::addRow("data byte changed") << data << 0x57 << 0 << 1 << blockFromBytes(data) << 34 << true << false;
    QTest::addRow("reply without check value") << channel1.left(32) << 0x57 << 0 << 1 << emptyChannel() << 32
                                               << false << false;
    QTest::addRow("a lone 33rd byte") << channel1.left(33) << 0x57 << 0 << 1 << emptyChannel() << 32 << false
                                      << false;
    QTest::addRow("bytes after the frame") << channel1 + hex("0657") << 0x57 << 0 << 1 << emptyChannel() << 34
                                           << true << true;
    QTest::addRow("length byte as found") << hex("52050033") << 0x52 << 5 << 0 << Block{} << 4 << false << false;
}

void TestFrame::parse()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, command);
    QFETCH(int, area);
    QFETCH(int, block);
    QFETCH(Block, data);
    QFETCH(int, size);
    QFETCH(bool, hasCheck);
    QFETCH(bool, checkRight);
    const std::optional<TFrame> parsed = TFrame::Parse(bytes);
    QVERIFY(parsed);
    QCOMPARE(int(parsed->Command()), command);
    QCOMPARE(parsed->Area(), area);
    QCOMPARE(parsed->BlockNumber(), block);
    QCOMPARE(parsed->Data(), data);
    QCOMPARE(parsed->Size(), size);
    QCOMPARE(parsed->HasCheck(), hasCheck);
    QCOMPARE(parsed->CheckIsRight(), checkRight);
    QCOMPARE(parsed->Bytes(), bytes.left(size));
    if (hasCheck)
        QCOMPARE(int(parsed->Check()), (std::uint8_t(bytes[32]) << 8) | std::uint8_t(bytes[33]));
}

void TestFrame::parseRefuses_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addRow("nothing") << QByteArray();
    QTest::addRow("three bytes of a request") << hex("520500");
    QTest::addRow("data block cut at 31") << TFrame::BlockWrite(1, 1, counting()).Bytes().left(31);
    QTest::addRow("acknowledgement") << hex("06");
    QTest::addRow("handshake") << frame::handshake();
    QTest::addRow("unknown command") << hex("15A55A5706") + QByteArray(40, '\0');
}

void TestFrame::parseRefuses()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(!TFrame::Parse(bytes));
}

void TestFrame::completeAnswer_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("length");  // of the complete answer they begin with; 0: none yet
    const QByteArray reply = TFrame::BlockWrite(3, 7, counting()).Bytes();
    QByteArray wrongCheck = reply;
    wrongCheck[33] = static_cast<char>(wrongCheck[33] ^ 0x01);
    QTest::addRow("acknowledgement") << hex("06") << 1;
    QTest::addRow("acknowledgement and more") << hex("065706") << 1;
    QTest::addRow("reply") << reply << 34;
    QTest::addRow("reply and stray bytes") << reply + hex("0606") << 34;
    QTest::addRow("reply one byte short") << reply.left(33) << 0;
    QTest::addRow("reply without check value") << reply.left(32) << 0;
    QTest::addRow("reply with a wrong check value") << wrongCheck << 0;
    QTest::addRow("reply after noise") << hex("15") + reply << 0;
    QTest::addRow("read request") << TFrame::ReadRequest(0, 1).Bytes() + QByteArray(30, '\0') << 0;
    QTest::addRow("nothing") << QByteArray() << 0;
}

// The port's frame rule: what may be handled before the silence that ends a chunk.
void TestFrame::completeAnswer()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, length);
    QCOMPARE(CompleteAnswerLength(bytes.constData(), std::size_t(bytes.size())), std::size_t(length));
}

QTEST_GUILESS_MAIN(TestFrame)
#include "tst_frame.moc"
