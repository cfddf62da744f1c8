#include "protocol/Frame.h"

#include <QtTest>

class TestFrame : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void crcVectors_data();
    void crcVectors();
    void emptyChannelFrame();
    void requestHead();
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
}

void TestFrame::crcVectors()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, crc);
    QCOMPARE(int(FrameCrc(bytes)), crc);
}

void TestFrame::emptyChannelFrame()
{
    Block data{};
    data[27] = 0xFF;
    const QByteArray bytes = blockFrame(frame::kMainArea, 1, data);
    QCOMPARE(bytes.size(), frame::kFrameSize);
    QCOMPARE(bytes.left(4), QByteArray::fromHex("57000120"));
    QCOMPARE(bytes.mid(4, 27), QByteArray(27, '\0'));
    QCOMPARE(quint8(bytes[31]), quint8(0xFF));
    QCOMPARE(bytes.right(2), QByteArray::fromHex("386F"));
    QCOMPARE(blockFromBytes(bytes), data);
}

void TestFrame::requestHead()
{
    QCOMPARE(readRequest(5, 0), QByteArray::fromHex("52050020"));
    const QByteArray fsk = blockFrameWithoutCrc(frame::kFskArea, 2, Block{});
    QCOMPARE(fsk.size(), frame::kBodySize);
    QCOMPARE(fsk.left(4), QByteArray::fromHex("57020220"));
}

QTEST_GUILESS_MAIN(TestFrame)
#include "tst_frame.moc"
