#include "protocol/FactoryImage.h"
#include "support/radio/RadioChannel.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

namespace {

const QByteArray kAck = QByteArray::fromHex("06");

QByteArray request(int area, int block)
{
    return QByteArray::fromHex("52") + char(area) + char(block) + char(0x20);
}

bool write(RadioChannel &port, const QByteArray &bytes)
{
    return port.WriteData(bytes.constData(), quint16(bytes.size()));
}

// Chunks received with the time each came, in ms since the recorder was made.
class ChunkRecorder : public QObject {
public:
    explicit ChunkRecorder(RadioChannel &port)
    {
        m_clock.start();
        connect(&port, &TSerialChannel::OnReceiveData, this, [this](const QByteArray &chunk) {
            chunks << chunk;
            times << m_clock.elapsed();
        });
    }
    QList<QByteArray> chunks;
    QList<qint64> times;

private:
    QElapsedTimer m_clock;
};

}  // namespace

class TestRadioChannel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void answersArriveThroughTheEventLoop();
    void chunking_data();
    void chunking();
    void latencyIsKept();
    void closeDropsPendingAnswers();
    void openAndClose();
    void disappearedRadio();
};

void TestRadioChannel::answersArriveThroughTheEventLoop()
{
    VirtualRadio radio(FactoryImage());
    RadioChannel port(radio);
    port.OpenPort();
    ChunkRecorder rec(port);
    for (char c : QByteArray("PROGRAM"))
        QVERIFY(write(port, QByteArray(1, c)));
    QCOMPARE(rec.chunks.size(), 0);  // never from inside WriteData
    QTRY_COMPARE(rec.chunks, QList<QByteArray>{kAck});
    QCOMPARE(port.writes().size(), 7);
    QCOMPARE(port.written(), QByteArray("PROGRAM"));
}

void TestRadioChannel::chunking_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QList<int>>("sizes");  // chunk sizes seen by the tool
    QTest::addRow("whole reply") << QString() << QList<int>{34};
    QTest::addRow("split reply") << QStringLiteral("split") << QList<int>{17, 17};
    QTest::addRow("garbage first") << QStringLiteral("garbage") << QList<int>{8, 34};
    QTest::addRow("dropped reply") << QStringLiteral("drop") << QList<int>{};
}

void TestRadioChannel::chunking()
{
    QFETCH(QString, fault);
    QFETCH(QList<int>, sizes);
    VirtualRadio radio(FactoryImage());
    if (!fault.isEmpty())
        QVERIFY(radio.faults().add(fault, nullptr));
    RadioChannel port(radio);
    port.OpenPort();
    ChunkRecorder rec(port);
    QVERIFY(write(port, request(0, 1)));
    const auto seen = [&rec] {
        QList<int> chunks;
        for (const QByteArray &c : rec.chunks)
            chunks << int(c.size());
        return chunks;
    };
    if (sizes.isEmpty())
        QTest::qWait(120);  // nothing comes: only waiting can tell
    QTRY_COMPARE(seen(), sizes);
    if (!sizes.isEmpty())
        QCOMPARE(rec.chunks.join().right(34), blockFrame(0, 1, FactoryImage().block(0, 1)));
    for (int i = 1; i < rec.times.size(); ++i)
        QVERIFY(rec.times[i] - rec.times[i - 1] >= RadioChannel::kChunkGapMs);
}

void TestRadioChannel::latencyIsKept()
{
    VirtualRadio radio(FactoryImage());
    radio.setLatency(60);
    RadioChannel port(radio);
    port.OpenPort();
    ChunkRecorder rec(port);
    // Two frames in one go: each answer keeps its own silence before it, so two chunks.
    QVERIFY(write(port, QByteArray("PROGRAM") + request(5, 0)));
    QTRY_COMPARE(rec.chunks.size(), 2);
    QCOMPARE(rec.chunks, (QList<QByteArray>{kAck, blockFrame(5, 0, FactoryImage().block(5, 0))}));
    QVERIFY2(rec.times[0] >= 59, qPrintable(QString::number(rec.times[0])));
    QVERIFY2(rec.times[1] - rec.times[0] >= 55, qPrintable(QString::number(rec.times[1])));

    // Without latency, answers to frames written together join in one chunk, as on a serial line.
    radio.setLatency(0);
    rec.chunks.clear();
    QVERIFY(write(port, QByteArray("PROGRAM") + request(5, 0)));
    QTRY_COMPARE(rec.chunks.size(), 1);
    QCOMPARE(rec.chunks[0], kAck + blockFrame(5, 0, FactoryImage().block(5, 0)));
}

void TestRadioChannel::closeDropsPendingAnswers()
{
    VirtualRadio radio(FactoryImage());
    radio.setLatency(30);
    RadioChannel port(radio);
    port.OpenPort();
    ChunkRecorder rec(port);
    QVERIFY(write(port, "PROGRAM"));
    port.ClosePort();
    QTest::qWait(80);
    QCOMPARE(rec.chunks.size(), 0);
    QVERIFY(!write(port, "PROGRAM"));
}

void TestRadioChannel::openAndClose()
{
    VirtualRadio radio(FactoryImage());
    RadioChannel port(radio);
    QVERIFY(!port.IsOpen());
    QVERIFY(!write(port, "PROGRAM"));
    port.OpenPort();
    QVERIFY(port.IsOpen());
    try {
        port.OpenPort();
        QFAIL("a second OpenPort must throw");
    } catch (const ECommsError &e) {
        QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("This serial port already opened"));
    }
    QVERIFY(port.IsOpen());
    QVERIFY(!port.WriteData("x", 0));
    port.ClosePort();
    port.ClosePort();
    QVERIFY(!port.IsOpen());
    port.OpenPort();
    QCOMPARE(port.opens(), 2);
}

void TestRadioChannel::disappearedRadio()
{
    VirtualRadio radio(FactoryImage());
    radio.faults().disappearAfter = 1;
    RadioChannel port(radio);
    port.OpenPort();
    ChunkRecorder rec(port);
    QVERIFY(write(port, "PROGRAM"));
    QTRY_COMPARE(rec.chunks, QList<QByteArray>{kAck});  // the last answer still arrives
    QVERIFY(!write(port, request(0, 1)));
    port.ClosePort();
    QVERIFY_THROWS_EXCEPTION(ECommsError, port.OpenPort());
}

QTEST_GUILESS_MAIN(TestRadioChannel)
#include "tst_radiochannel.moc"
