#include "protocol/FactoryImage.h"
#include "protocol/RadioImage.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <limits>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

const QByteArray kAck = QByteArray::fromHex("06");

QByteArray request(int area, int block)
{
    return QByteArray::fromHex("52") + char(area) + char(block) + char(0x20);
}

Block pattern(int seed)
{
    Block b{};
    for (int i = 0; i < 28; ++i)
        b[i] = static_cast<std::uint8_t>(seed * 13 + i * 5);
    return b;
}

// The xiepin-radio executable, run for one test.
class RadioProcess {
public:
    explicit RadioProcess(const QStringList &args, const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
    {
        m_process.setProcessEnvironment(env);
        m_process.start(QStringLiteral(XIEPIN_RADIO_EXE), args);
    }
    ~RadioProcess()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }
    QProcess &process() { return m_process; }

    // The next line on stdout, without its LF; empty after the timeout.
    QString readLine(int timeoutMs = 5000)
    {
        QElapsedTimer clock;
        clock.start();
        while (!m_process.canReadLine() && clock.elapsed() < timeoutMs)
            m_process.waitForReadyRead(50);
        return QString::fromLocal8Bit(m_process.readLine()).trimmed();
    }
    void signal(int signo) { ::kill(static_cast<pid_t>(m_process.processId()), signo); }
    bool finish(int timeoutMs = 5000) { return m_process.waitForFinished(timeoutMs); }

private:
    QProcess m_process;
};

// The tool's end of the line, with plain POSIX calls.
class Device {
public:
    explicit Device(const QString &path)
    {
        m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_fd < 0)
            return;
        termios tio{};
        tcgetattr(m_fd, &tio);
        cfmakeraw(&tio);
        cfsetispeed(&tio, B9600);
        cfsetospeed(&tio, B9600);
        tcsetattr(m_fd, TCSANOW, &tio);
        tcflush(m_fd, TCIOFLUSH);
    }
    ~Device()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Device(const Device &) = delete;
    Device &operator=(const Device &) = delete;

    bool isOpen() const { return m_fd >= 0; }
    // The clock of the arrivals that follow starts before the write, so a tool thread that is
    // put aside between its write and its first read never makes an answer look early.
    bool send(const QByteArray &bytes)
    {
        m_sentAt.start();
        return ::write(m_fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }

    struct Arrival {
        qint64 atMs;
        QByteArray bytes;
    };
    // Reads until count bytes came or nothing came for quietMs; each read with its time since
    // the last send (or since this call, before any send).
    QList<Arrival> receive(int count, int quietMs = 1000)
    {
        QList<Arrival> arrivals;
        int total = 0;
        if (!m_sentAt.isValid())
            m_sentAt.start();
        const QElapsedTimer clock = m_sentAt;
        while (total < count) {
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, quietMs) <= 0)
                break;
            char buffer[256];
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n <= 0) {
                m_hungUp = true;
                break;
            }
            arrivals.append({clock.elapsed(), QByteArray(buffer, int(n))});
            total += int(n);
        }
        return arrivals;
    }
    QByteArray exchange(const QByteArray &bytes, int count, int quietMs = 1000)
    {
        if (!send(bytes))
            return {};
        QByteArray all;
        for (const Arrival &a : receive(count, quietMs))
            all += a.bytes;
        return all;
    }
    // True when the far end has gone: a read reports end of file or an error.
    bool hungUp(int timeoutMs)
    {
        receive(1 << 20, timeoutMs);
        return m_hungUp;
    }

private:
    int m_fd = -1;
    bool m_hungUp = false;
    QElapsedTimer m_sentAt;  // started by send()
};

// The bytes of a reply and the longest pause between two of its reads.
struct Received {
    QByteArray bytes;
    qint64 longestGapMs = 0;
};

Received joinArrivals(const QList<Device::Arrival> &arrivals)
{
    Received r;
    for (int i = 0; i < arrivals.size(); ++i) {
        r.bytes += arrivals[i].bytes;
        if (i > 0)
            r.longestGapMs = qMax(r.longestGapMs, arrivals[i].atMs - arrivals[i - 1].atMs);
    }
    return r;
}

// CPU time the process has used so far, in clock ticks (user + system).
qint64 cpuTicks(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return fields.value(11).toLongLong() + fields.value(12).toLongLong();  // utime, stime
}

}  // namespace

class TestPtyRadio : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void handshakeAndRead();
    void closeAndReopen();
    void writeSaveAndExit();
    void startImages_data();
    void startImages();
    void defaultLinkUnderRuntimeDir();
    void byteTiming();
    void splitPause();
    void disappear();
    void refusedArguments_data();
    void refusedArguments();
    void help();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const QString &name) const { return m_dir->filePath(name); }
};

void TestPtyRadio::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestPtyRadio::handshakeAndRead()
{
    RadioProcess radio({QStringLiteral("--link"), path(QStringLiteral("radio"))});
    const QString device = radio.readLine();
    QVERIFY2(device.startsWith(QStringLiteral("/dev/pts/")), qPrintable(device));
    QVERIFY(QFileInfo(path(QStringLiteral("radio"))).isSymLink());
    QCOMPARE(QFile::symLinkTarget(path(QStringLiteral("radio"))), device);

    Device tool(path(QStringLiteral("radio")));  // through the link, as a user would
    QVERIFY(tool.isOpen());
    QCOMPARE(tool.exchange("PROGRAM", 1), kAck);
    const QByteArray reply = tool.exchange(request(0, 1), 34);
    QCOMPARE(reply.size(), 34);
    QCOMPARE(reply, blockFrame(0, 1, FactoryImage().block(0, 1)));
    QCOMPARE(tool.exchange(request(4, 16), 34), blockFrame(4, 16, FactoryImage().block(4, 16)));
    // A request for a block no area has stays unanswered.
    QCOMPARE(tool.exchange(request(0, 0), 1, 200), QByteArray());
}

void TestPtyRadio::closeAndReopen()
{
    RadioProcess radio({QStringLiteral("--link"), path(QStringLiteral("radio"))});
    const QString device = radio.readLine();
    for (int round = 0; round < 3; ++round) {
        Device tool(device);
        QVERIFY2(tool.isOpen(), qPrintable(QStringLiteral("round %1").arg(round)));
        QCOMPARE(tool.exchange("PROGRAM", 1), kAck);
        QCOMPARE(tool.exchange(request(5, 0), 34), blockFrame(5, 0, FactoryImage().block(5, 0)));
    }
    QCOMPARE(radio.process().state(), QProcess::Running);
    // With nobody on the line the radio idles: no busy loop on a hung-up pseudo-terminal.
    const qint64 before = cpuTicks(radio.process().processId());
    QTest::qWait(500);
    const qint64 used = cpuTicks(radio.process().processId()) - before;
    QVERIFY2(before >= 0 && used < 5, qPrintable(QStringLiteral("%1 ticks in 500 ms").arg(used)));
}

void TestPtyRadio::writeSaveAndExit()
{
    const QString link = path(QStringLiteral("radio"));
    const QString saved = path(QStringLiteral("saved.img"));
    RadioProcess radio({QStringLiteral("--link"), link, QStringLiteral("--save"), saved});
    const QString device = radio.readLine();
    {
        Device tool(device);
        QCOMPARE(tool.exchange("PROGRAM", 1), kAck);
        QCOMPARE(tool.exchange(blockFrame(5, 0, pattern(1)), 1), kAck);
        QCOMPARE(tool.exchange(blockFrameWithoutCrc(2, 2, pattern(2)), 1), kAck);
        QByteArray bad = blockFrame(0, 3, pattern(3));
        bad[33] = char(bad[33] ^ 0x40);
        QCOMPARE(tool.exchange(bad, 1, 200), QByteArray());  // wrong check value: no answer
    }
    TRadioImage expected = FactoryImage();
    expected.setBlock(5, 0, pattern(1));
    expected.setBlock(2, 2, pattern(2));

    // SIGUSR1 saves and the radio goes on.
    radio.signal(SIGUSR1);
    QCOMPARE(radio.readLine(), QStringLiteral("saved ") + saved);
    QString error;
    auto image = TRadioImage::load(saved, &error);
    QVERIFY2(image.has_value(), qPrintable(error));
    QVERIFY(*image == expected);
    QCOMPARE(radio.process().state(), QProcess::Running);

    {
        Device tool(device);
        QCOMPARE(tool.exchange(blockFrame(0, 16, pattern(4)), 1), kAck);
    }
    expected.setBlock(0, 16, pattern(4));
    QFile::remove(saved);
    radio.process().terminate();  // SIGTERM
    QVERIFY(radio.finish());
    QCOMPARE(radio.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(radio.process().exitCode(), 0);
    QVERIFY(!QFileInfo::exists(link) && !QFileInfo(link).isSymLink());
    image = TRadioImage::load(saved, &error);
    QVERIFY2(image.has_value(), qPrintable(error));
    QVERIFY(*image == expected);
}

void TestPtyRadio::startImages_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<int>("block");
    QTest::addColumn<QByteArray>("data");
    QTest::addRow("factory") << QString() << 1 << bytesFromBlock(FactoryImage().block(0, 1));
    QTest::addRow("--empty") << QStringLiteral("--empty") << 1 << bytesFromBlock(EmptyChannelBlock());
    QTest::addRow("--image") << QStringLiteral("--image") << 7 << bytesFromBlock(pattern(7));
}

void TestPtyRadio::startImages()
{
    QFETCH(QString, option);
    QFETCH(int, block);
    QFETCH(QByteArray, data);
    QStringList args{QStringLiteral("--link"), path(QStringLiteral("radio"))};
    if (option == QLatin1String("--image")) {
        TRadioImage image;
        image.setBlock(0, 7, pattern(7));
        QVERIFY(image.save(path(QStringLiteral("start.img")), nullptr));
        args << option << path(QStringLiteral("start.img"));
    } else if (!option.isEmpty()) {
        args << option;
    }
    RadioProcess radio(args);
    Device tool(radio.readLine());
    QVERIFY(tool.isOpen());
    QCOMPARE(tool.exchange(request(0, block), 34), blockFrame(0, block, blockFromBytes(data, 0)));
}

void TestPtyRadio::defaultLinkUnderRuntimeDir()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir->path());
    RadioProcess radio({}, env);
    const QString device = radio.readLine();
    const QString link = path(QStringLiteral("xiepin-radio"));
    QCOMPARE(QFile::symLinkTarget(link), device);
    radio.process().terminate();
    QVERIFY(radio.finish());
    QVERIFY(!QFileInfo(link).isSymLink());
}

void TestPtyRadio::byteTiming()
{
    // 9600 baud, 10 bits a byte: 1.0417 ms. The 4-byte request is heard 4.2 ms after it was
    // written, then 20 ms latency, then 34 bytes take 35.4 ms on the line, the first of them
    // arriving after its own 1.0 ms: 25.2 ms and 59.6 ms. Load can only delay bytes: the lower
    // bounds hold for every reply, the upper ones for the best of three.
    RadioProcess radio({QStringLiteral("--link"), path(QStringLiteral("radio")), QStringLiteral("--timing"),
                        QStringLiteral("--latency"), QStringLiteral("20")});
    Device tool(radio.readLine());
    QCOMPARE(tool.exchange("PROGRAM", 1), kAck);
    qint64 fastest = std::numeric_limits<qint64>::max();
    qint64 smallestGap = std::numeric_limits<qint64>::max();
    for (int block = 2; block <= 4; ++block) {
        QVERIFY(tool.send(request(0, block)));
        const auto arrivals = tool.receive(34);
        QVERIFY(!arrivals.isEmpty());
        const Received reply = joinArrivals(arrivals);
        QCOMPARE(reply.bytes, blockFrame(0, block, FactoryImage().block(0, block)));
        const qint64 first = arrivals.first().atMs;
        const qint64 last = arrivals.last().atMs;
        QVERIFY2(first >= 25, qPrintable(QStringLiteral("first byte after %1 ms").arg(first)));
        QVERIFY2(last >= 59, qPrintable(QStringLiteral("last byte after %1 ms").arg(last)));
        fastest = qMin(fastest, last);
        smallestGap = qMin(smallestGap, reply.longestGapMs);
    }
    QVERIFY2(fastest < 200, qPrintable(QStringLiteral("last byte after %1 ms at best").arg(fastest)));
    // No pause inside a reply long enough to end the tool's chunk.
    QVERIFY2(smallestGap < 20, qPrintable(QStringLiteral("gap of %1 ms inside every reply").arg(smallestGap)));
}

void TestPtyRadio::splitPause()
{
    RadioProcess radio({QStringLiteral("--link"), path(QStringLiteral("radio")), QStringLiteral("--fault"), QStringLiteral("split=1")});
    Device tool(radio.readLine());
    QVERIFY(tool.send(request(0, 1)));
    const auto arrivals = tool.receive(34);
    const Received split = joinArrivals(arrivals);
    QCOMPARE(split.bytes, blockFrame(0, 1, FactoryImage().block(0, 1)));
    // Two parts 25 ms apart; the reader's own wake-up jitter may eat a few milliseconds.
    QCOMPARE(arrivals.first().bytes.size(), 17);
    QVERIFY2(split.longestGapMs >= 18, qPrintable(QStringLiteral("longest gap %1 ms").arg(split.longestGapMs)));
    // Only the first reply is split.
    QCOMPARE(tool.receive(1, 50).size(), 0);
    qint64 smallestGap = std::numeric_limits<qint64>::max();
    for (int block = 2; block <= 4; ++block) {  // the best of three, as load only adds gaps
        QVERIFY(tool.send(request(0, block)));
        const Received whole = joinArrivals(tool.receive(34));
        QCOMPARE(whole.bytes, blockFrame(0, block, FactoryImage().block(0, block)));
        smallestGap = qMin(smallestGap, whole.longestGapMs);
    }
    QVERIFY2(smallestGap < 10, qPrintable(QStringLiteral("longest gap %1 ms").arg(smallestGap)));
}

void TestPtyRadio::disappear()
{
    const QString link = path(QStringLiteral("radio"));
    const QString saved = path(QStringLiteral("saved.img"));
    RadioProcess radio({QStringLiteral("--link"), link, QStringLiteral("--fault"), QStringLiteral("disappear=2"),
                        QStringLiteral("--save"), saved});
    const QString device = radio.readLine();
    Device tool(device);
    QCOMPARE(tool.exchange("PROGRAM", 1), kAck);
    QCOMPARE(tool.exchange(blockFrame(0, 5, pattern(5)), 1), kAck);  // second frame: still answered
    QVERIFY(tool.hungUp(2000));
    QTRY_VERIFY(!QFileInfo(link).isSymLink());
    QVERIFY(!Device(device).isOpen() || !QFileInfo::exists(device));
    // The radio itself stays until told to go, and keeps what it stored.
    QCOMPARE(radio.process().state(), QProcess::Running);
    radio.process().terminate();
    QVERIFY(radio.finish());
    QCOMPARE(radio.process().exitCode(), 0);
    QString error;
    const auto image = TRadioImage::load(saved, &error);
    QVERIFY2(image.has_value(), qPrintable(error));
    QCOMPARE(image->block(0, 5), pattern(5));
}

void TestPtyRadio::refusedArguments_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::addRow("malformed image") << QStringList{QStringLiteral("--image"), QStringLiteral("BAD")}
                                     << QStringLiteral("BAD: line 3: expected area 0 block 2, found area 0 block 3");
    QTest::addRow("missing image") << QStringList{QStringLiteral("--image"), QStringLiteral("NONE")}
                                   << QStringLiteral("cannot read NONE");
    QTest::addRow("unknown fault") << QStringList{QStringLiteral("--fault"), QStringLiteral("melt")}
                                   << QStringLiteral("unknown fault \"melt\"");
    QTest::addRow("bad latency") << QStringList{QStringLiteral("--latency"), QStringLiteral("soon")}
                                 << QStringLiteral("--latency: \"soon\" is not a number of milliseconds");
    QTest::addRow("image and empty") << QStringList{QStringLiteral("--empty"), QStringLiteral("--image"), QStringLiteral("BAD")}
                                     << QStringLiteral("--image and --empty exclude each other");
}

void TestPtyRadio::refusedArguments()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    QFile bad(path(QStringLiteral("bad.img")));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    QList<QByteArray> lines = FactoryImage().toText().split('\n');
    lines.removeAt(2);
    bad.write(lines.join('\n'));
    bad.close();
    args.replaceInStrings(QStringLiteral("BAD"), bad.fileName());
    args.replaceInStrings(QStringLiteral("NONE"), path(QStringLiteral("none.img")));
    message.replace(QStringLiteral("BAD"), bad.fileName()).replace(QStringLiteral("NONE"), path(QStringLiteral("none.img")));

    RadioProcess radio(args << QStringLiteral("--link") << path(QStringLiteral("radio")));
    QVERIFY(radio.finish());
    QCOMPARE(radio.process().exitCode(), 2);
    const QString err = QString::fromLocal8Bit(radio.process().readAllStandardError());
    QVERIFY2(err.startsWith(QStringLiteral("xiepin-radio: ") + message), qPrintable(err));
    QCOMPARE(radio.process().readAllStandardOutput(), QByteArray());
    QVERIFY(!QFileInfo(path(QStringLiteral("radio"))).isSymLink());
}

void TestPtyRadio::help()
{
    RadioProcess radio({QStringLiteral("--help")});
    QVERIFY(radio.finish());
    QCOMPARE(radio.process().exitCode(), 0);
    const QString out = QString::fromLocal8Bit(radio.process().readAllStandardOutput());
    for (const char *word : {"--image", "--empty", "--save", "--link", "--timing", "--latency", "--fault", "disappear=N",
                             "wrong-block", "SIGUSR1"})
        QVERIFY2(out.contains(QLatin1String(word)), word);
}

QTEST_GUILESS_MAIN(TestPtyRadio)
#include "tst_ptyradio.moc"
