#include "serial/Comm.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryFile>
#include <QtTest>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using TermiosCheck = std::function<bool(const termios &)>;
using CommSetter = std::function<void(TComm &)>;
Q_DECLARE_METATYPE(TermiosCheck)
Q_DECLARE_METATYPE(CommSetter)

namespace {

constexpr int kWaitMs = 5000;  // generous: the machine is shared with other builds

// A pseudo-terminal: the component opens the slave by its path, the test plays the far end on
// the master. The slave descriptor from openpty stays open to read the line settings.
class PseudoTerminal {
public:
    PseudoTerminal()
    {
        char name[256] = {};
        if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) == 0)
            m_path = QString::fromLocal8Bit(name);
    }
    ~PseudoTerminal()
    {
        CloseMaster();
        if (m_slave >= 0)
            ::close(m_slave);
    }
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    bool IsValid() const { return !m_path.isEmpty(); }
    QString Path() const { return m_path; }
    int Master() const { return m_master; }

    void CloseMaster()
    {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

    bool Send(const QByteArray &bytes) const
    {
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
            if (n < 0 && errno != EINTR)
                return false;
            done += n > 0 ? n : 0;
        }
        return true;
    }

    // What the component wrote, until `count` bytes are there or the time is up.
    QByteArray Receive(qsizetype count, int timeoutMs = kWaitMs) const
    {
        QByteArray bytes;
        QElapsedTimer timer;
        timer.start();
        while (bytes.size() < count && timer.elapsed() < timeoutMs) {
            pollfd fd{m_master, POLLIN, 0};
            if (::poll(&fd, 1, 50) <= 0)
                continue;
            char buffer[4096];
            const ssize_t n = ::read(m_master, buffer, sizeof buffer);
            if (n > 0)
                bytes.append(buffer, n);
        }
        return bytes;
    }

    termios Settings() const
    {
        termios tio{};
        ::tcgetattr(m_slave, &tio);
        return tio;
    }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
};

// Chunks as they reach the receiving thread, with when and where they came.
struct ChunkLog {
    QList<QByteArray> chunks;
    QList<qint64> arrivals;  // ms on `clock`
    QList<QThread *> threads;
    QElapsedTimer clock;

    explicit ChunkLog(TComm &comm)
    {
        clock.start();
        QObject::connect(&comm, &TSerialChannel::OnReceiveData, &comm, [this](const QByteArray &c) {
            chunks << c;
            arrivals << clock.elapsed();
            threads << QThread::currentThread();
        }, Qt::DirectConnection);
    }
    qsizetype Bytes() const
    {
        qsizetype n = 0;
        for (const QByteArray &c : chunks)
            n += c.size();
        return n;
    }
    QList<int> Sizes() const
    {
        QList<int> sizes;
        for (const QByteArray &c : chunks)
            sizes << int(c.size());
        return sizes;
    }
};

// As the main window sets the port up.
void ConfigureLikeMainWindow(TComm &comm, const QString &path)
{
    comm.SetCommName(path);
    comm.SetOutx_XonXoffFlow(false);
    comm.SetInx_XonXoffFlow(false);
    comm.SetReadIntervalTimeout(20);
}

QString OpenError(TComm &comm)
{
    try {
        comm.OpenPort();
    } catch (const ECommsError &e) {
        return QString::fromUtf8(e.what());
    }
    return QString();
}

QByteArray Pattern(int size, int seed = 0)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + seed) & 0xFF);
    return bytes;
}

// Run as a second process: try to open the device and print the outcome.
int TryOpenInChild(const char *path)
{
    TComm comm;
    comm.SetCommName(QString::fromLocal8Bit(path));
    const QString error = OpenError(comm);
    std::fputs(error.isEmpty() ? "opened" : error.toUtf8().constData(), stdout);
    return error.isEmpty() ? 0 : 1;
}

} // namespace

class TestComm : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void chunking_data();
    void chunking();
    void closeFromReceiveHandler();
    void writesArriveInCallOrder();
    void writeDataRefused_data();
    void writeDataRefused();
    void writeDoesNotBlockOnStuckLine();
    void secondOpenKeepsPortWorking();
    void openFailures_data();
    void openFailures();
    void ownTerminalRefused_data();
    void ownTerminalRefused();
    void exclusiveAgainstOtherProcess();
    void closeTwiceAndReopen();
    void lineSettings_data();
    void lineSettings();
    void closeWhileBytesArrive();
    void hangupClosesPort_data();
    void hangupClosesPort();

private:
    std::unique_ptr<PseudoTerminal> m_pty;
};

void TestComm::init()
{
    m_pty = std::make_unique<PseudoTerminal>();
    QVERIFY(m_pty->IsValid());
}

void TestComm::cleanup()
{
    m_pty.reset();
}

void TestComm::chunking_data()
{
    QTest::addColumn<int>("interval");       // ReadIntervalTimeout, set while open
    QTest::addColumn<QList<int>>("pieces");  // writes to the far end
    QTest::addColumn<int>("pauseMs");        // between the writes
    QTest::addColumn<QList<int>>("chunks");  // expected chunk sizes

    QTest::addRow("34-byte burst is one chunk") << 20 << QList<int>{34} << 0 << QList<int>{34};
    QTest::addRow("two writes within the interval join") << 500 << QList<int>{17, 17} << 5
                                                         << QList<int>{34};
    // Well beyond the interval: a receive thread starved for the whole pause reads both pieces
    // at once, and no timing of ours can tell them apart then.
    QTest::addRow("a 150 ms pause splits") << 20 << QList<int>{17, 17} << 150
                                           << QList<int>{17, 17};
    QTest::addRow("a long burst splits at 2048") << 20 << QList<int>{2100} << 0
                                                 << QList<int>{2048, 52};
}

void TestComm::chunking()
{
    QFETCH(int, interval);
    QFETCH(QList<int>, pieces);
    QFETCH(int, pauseMs);
    QFETCH(QList<int>, chunks);

    TComm comm;
    ConfigureLikeMainWindow(comm, m_pty->Path());
    comm.OpenPort();
    comm.SetReadIntervalTimeout(quint32(interval));
    ChunkLog log(comm);

    QByteArray sent;
    for (int i = 0; i < pieces.size(); ++i) {
        if (i > 0)
            QThread::msleep(pauseMs);
        const QByteArray piece = Pattern(pieces[i], i);
        QVERIFY(m_pty->Send(piece));
        sent += piece;
    }
    const qint64 lastWrite = log.clock.elapsed();
    QTRY_COMPARE_WITH_TIMEOUT(log.Bytes(), sent.size(), kWaitMs);
    QTest::qWait(interval + 100);  // nothing more may come

    QCOMPARE(log.Sizes(), chunks);
    QCOMPARE(log.chunks.join(), sent);
    // The last chunk waits out the interval of silence (1 ms slack for clock rounding).
    QVERIFY2(log.arrivals.last() - lastWrite >= interval - 1,
             qPrintable(QString::number(log.arrivals.last() - lastWrite)));
    for (QThread *thread : log.threads)
        QCOMPARE(thread, QThread::currentThread());
}

void TestComm::closeFromReceiveHandler()
{
    // The protocol closes the port in its receive handler; chunks already queued are dropped.
    TComm comm;
    ConfigureLikeMainWindow(comm, m_pty->Path());
    int calls = 0;
    connect(&comm, &TSerialChannel::OnReceiveData, &comm, [&] {
        ++calls;
        comm.ClosePort();
    });
    comm.OpenPort();
    QVERIFY(m_pty->Send(Pattern(2100)));
    QThread::msleep(300);  // both chunks (2048 and 52) are queued before the handler runs
    QTRY_VERIFY_WITH_TIMEOUT(!comm.IsOpen(), kWaitMs);
    QTest::qWait(100);
    QCOMPARE(calls, 1);

    comm.OpenPort();  // device released
    QVERIFY(comm.WriteData("x", 1));
    QCOMPARE(m_pty->Receive(1), QByteArray("x"));
}

void TestComm::writesArriveInCallOrder()
{
    TComm comm;
    ConfigureLikeMainWindow(comm, m_pty->Path());
    QSignalSpy empty(&comm, &TComm::OnSendDataEmpty);
    comm.OpenPort();
    QTest::qWait(50);
    QCOMPARE(empty.count(), 0);  // no writes yet

    const QByteArray bytes = Pattern(600);
    for (char byte : bytes)
        QVERIFY(comm.WriteData(&byte, 1));
    QCOMPARE(m_pty->Receive(bytes.size()), bytes);
    QTRY_VERIFY_WITH_TIMEOUT(empty.count() >= 1, kWaitMs);
}

void TestComm::writeDataRefused_data()
{
    QTest::addColumn<bool>("open");
    QTest::addColumn<bool>("closeAgain");
    QTest::addColumn<int>("count");
    QTest::addRow("no bytes on an open port") << true << false << 0;
    QTest::addRow("never opened") << false << false << 1;
    QTest::addRow("after ClosePort") << true << true << 1;
}

void TestComm::writeDataRefused()
{
    QFETCH(bool, open);
    QFETCH(bool, closeAgain);
    QFETCH(int, count);
    TComm comm;
    ConfigureLikeMainWindow(comm, m_pty->Path());
    if (open)
        comm.OpenPort();
    if (closeAgain)
        comm.ClosePort();
    QVERIFY(!comm.WriteData("a", quint16(count)));
    if (comm.IsOpen()) {  // and nothing was queued
        QVERIFY(comm.WriteData("b", 1));
        QCOMPARE(m_pty->Receive(2, 300), QByteArray("b"));
    }
}

void TestComm::writeDoesNotBlockOnStuckLine()
{
    // Nobody reads the far end: the driver's buffer fills and the write thread waits, not the
    // caller; closing wakes the waiting write thread.
    TComm comm;
    ConfigureLikeMainWindow(comm, m_pty->Path());
    comm.OpenPort();
    const QByteArray block = Pattern(60000);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < 4; ++i)
        QVERIFY(comm.WriteData(block.constData(), quint16(block.size())));
    QVERIFY2(timer.elapsed() < kWaitMs, qPrintable(QString::number(timer.elapsed())));
    QTest::qWait(100);
    timer.restart();
    comm.ClosePort();
    QVERIFY2(timer.elapsed() < kWaitMs, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(!comm.IsOpen());
}

void TestComm::secondOpenKeepsPortWorking()
{
    TComm comm;
    ConfigureLikeMainWindow(comm, m_pty->Path());
    ChunkLog log(comm);
    comm.OpenPort();
    QCOMPARE(OpenError(comm), QStringLiteral("This serial port already opened"));
    QVERIFY(comm.IsOpen());

    QVERIFY(m_pty->Send("ping"));
    QTRY_COMPARE_WITH_TIMEOUT(log.chunks.join(), QByteArray("ping"), kWaitMs);
    QVERIFY(comm.WriteData("pong", 4));
    QCOMPARE(m_pty->Receive(4), QByteArray("pong"));
}

void TestComm::openFailures_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("advice");  // follows the message and the device's name
    QTest::addRow("missing device") << "missing" << "Error opening serial port"
                                    << "no such device. Is the cable plugged in?";
    QTest::addRow("regular file") << "file" << "File handle is not a comm handle " << "";
    QTest::addRow("character device that is no terminal") << "/dev/null"
                                                           << "File handle is not a comm handle " << "";
    // Held in this very program: not named as another program to close.
    QTest::addRow("device held by another component") << "held" << "Error opening serial port"
                                                      << QStringLiteral("in use by another window of this program.");
}

void TestComm::openFailures()
{
    QFETCH(QString, kind);
    QFETCH(QString, message);
    QFETCH(QString, advice);
    QTemporaryFile file;
    QVERIFY(file.open());
    TComm holder;
    QString path = kind;
    if (kind == "missing") {
        path = file.fileName() + ".gone";
    } else if (kind == "file") {
        path = file.fileName();
    } else if (kind == "held") {
        ConfigureLikeMainWindow(holder, m_pty->Path());
        holder.OpenPort();
        path = m_pty->Path();
    }

    TComm comm;
    comm.SetCommName(path);
    const QString expected = advice.isEmpty() ? message : message + ": " + path + ": " + advice;
    QCOMPARE(OpenError(comm).left(expected.size()), expected);
    QVERIFY(!comm.IsOpen());
    QVERIFY(!comm.WriteData("x", 1));
    comm.ClosePort();
}

void TestComm::exclusiveAgainstOtherProcess()
{
    const auto tryOpen = [this](QString &output) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {"--try-open", m_pty->Path()});
        if (!child.waitForFinished(30000))
            return -1;
        output = QString::fromUtf8(child.readAllStandardOutput());
        return child.exitCode();
    };
    TComm comm;
    ConfigureLikeMainWindow(comm, m_pty->Path());
    comm.OpenPort();
    QString output;
    QCOMPARE(tryOpen(output), 1);
    QVERIFY2(output.startsWith(QStringLiteral("Error opening serial port: %1: in use by").arg(m_pty->Path())),
             qPrintable(output));

    comm.ClosePort();  // released: the other process gets it now
    QCOMPARE(tryOpen(output), 0);
    QCOMPARE(output, QStringLiteral("opened"));
}

void TestComm::ownTerminalRefused_data()
{
    QTest::addColumn<bool>("ownInput");  // the program's standard input is the device
    QTest::addRow("the program's own terminal") << true;
    QTest::addRow("another terminal") << false;
}

// Written to as a radio, the terminal a program runs in would show the handshake, and keys typed
// there would be taken for the radio's answers.
void TestComm::ownTerminalRefused()
{
    QFETCH(bool, ownInput);
    QProcess child;
    if (ownInput)
        child.setStandardInputFile(m_pty->Path());
    child.start(QCoreApplication::applicationFilePath(), {"--try-open", m_pty->Path()});
    QVERIFY(child.waitForFinished(30000));
    const QString output = QString::fromUtf8(child.readAllStandardOutput());
    QCOMPARE(child.exitCode(), ownInput ? 1 : 0);
    if (ownInput)
        QCOMPARE(output, QStringLiteral("Error opening serial port: %1: this is the terminal the program runs in, not a "
                                        "radio's port. Choose the port of the programming cable.").arg(m_pty->Path()));
}

void TestComm::closeTwiceAndReopen()
{
    const termios before = m_pty->Settings();
    TComm comm;
    ConfigureLikeMainWindow(comm, m_pty->Path());
    comm.ClosePort();  // closed: nothing to do
    comm.OpenPort();
    QVERIFY((m_pty->Settings().c_lflag & ICANON) == 0);
    comm.ClosePort();
    comm.ClosePort();
    QVERIFY(!comm.IsOpen());

    // The device's own settings are back.
    const termios after = m_pty->Settings();
    QCOMPARE(after.c_iflag, before.c_iflag);
    QCOMPARE(after.c_oflag, before.c_oflag);
    QCOMPARE(after.c_cflag, before.c_cflag);
    QCOMPARE(after.c_lflag, before.c_lflag);

    ChunkLog log(comm);
    comm.OpenPort();
    QVERIFY(m_pty->Send("again"));
    QTRY_COMPARE_WITH_TIMEOUT(log.chunks.join(), QByteArray("again"), kWaitMs);
}

void TestComm::lineSettings_data()
{
    QTest::addColumn<CommSetter>("change");  // applied while the port is open
    QTest::addColumn<TermiosCheck>("check");

    const auto cflag = [](tcflag_t mask, tcflag_t value) {
        return TermiosCheck([=](const termios &t) { return (t.c_cflag & mask) == value; });
    };
    const auto iflag = [](tcflag_t mask, tcflag_t value) {
        return TermiosCheck([=](const termios &t) { return (t.c_iflag & mask) == value; });
    };
    QTest::addRow("main window's line: raw 9600 8N1, no flow control")
        << CommSetter([](TComm &) {}) << TermiosCheck([](const termios &t) {
               return (t.c_lflag & (ICANON | ECHO | ISIG)) == 0 && (t.c_oflag & OPOST) == 0
                   && (t.c_iflag & (ICRNL | INLCR | IGNCR | IXON | IXOFF)) == 0
                   && (t.c_cflag & (CLOCAL | CREAD | CSTOPB | CRTSCTS)) == (CLOCAL | CREAD)
                   && cfgetospeed(&t) == B9600 && cfgetispeed(&t) == B9600;
           });
    const auto speed = [](speed_t value) {
        return TermiosCheck([=](const termios &t) { return cfgetospeed(&t) == value; });
    };
    QTest::addRow("BaudRate 19200") << CommSetter([](TComm &c) { c.SetBaudRate(19200); })
                                    << speed(B19200);
    QTest::addRow("BaudRate 115200") << CommSetter([](TComm &c) { c.SetBaudRate(115200); })
                                     << speed(B115200);
    QTest::addRow("BaudRate without termios constant keeps the speed")
        << CommSetter([](TComm &c) { c.SetBaudRate(12345); }) << speed(B9600);
    QTest::addRow("two stop bits") << CommSetter([](TComm &c) { c.SetStopBits(TStopBits::_2); })
                                   << cflag(CSTOPB, CSTOPB);
    QTest::addRow("CTS output flow") << CommSetter([](TComm &c) { c.SetOutx_CtsFlow(true); })
                                     << cflag(CRTSCTS, CRTSCTS);
    QTest::addRow("RTS handshake") << CommSetter([](TComm &c) {
        c.SetRtsControl(TRtsControl::RtsHandshake);
    }) << cflag(CRTSCTS, CRTSCTS);
    QTest::addRow("XON/XOFF output only") << CommSetter([](TComm &c) {
        c.SetOutx_XonXoffFlow(true);
    }) << iflag(IXON | IXOFF, IXON);
    QTest::addRow("XON/XOFF input only") << CommSetter([](TComm &c) {
        c.SetInx_XonXoffFlow(true);
    }) << iflag(IXON | IXOFF, IXOFF);
    QTest::addRow("XON and XOFF characters") << CommSetter([](TComm &c) {
        c.SetOutx_XonXoffFlow(true);
        c.SetXonChar(0x01);
        c.SetXoffChar(0x02);
    }) << TermiosCheck([](const termios &t) { return t.c_cc[VSTART] == 0x01 && t.c_cc[VSTOP] == 0x02; });
}

void TestComm::lineSettings()
{
    QFETCH(CommSetter, change);
    QFETCH(TermiosCheck, check);
    TComm comm;
    ConfigureLikeMainWindow(comm, m_pty->Path());
    comm.OpenPort();
    change(comm);
    QVERIFY(check(m_pty->Settings()));
}

void TestComm::closeWhileBytesArrive()
{
    std::atomic<bool> stop{false};
    const int master = m_pty->Master();
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    std::thread flood([&] {
        const QByteArray bytes = Pattern(512);
        while (!stop) {
            if (::write(master, bytes.constData(), size_t(bytes.size())) < 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });

    TComm comm;
    ConfigureLikeMainWindow(comm, m_pty->Path());
    ChunkLog log(comm);
    QElapsedTimer timer;
    qint64 slowestClose = 0;
    for (int round = 0; round < 5; ++round) {
        comm.OpenPort();
        const qsizetype before = log.Bytes();
        QTRY_VERIFY_WITH_TIMEOUT(log.Bytes() > before, kWaitMs);
        timer.restart();
        comm.ClosePort();
        slowestClose = std::max(slowestClose, timer.elapsed());
    }
    stop = true;
    flood.join();
    QVERIFY2(slowestClose < kWaitMs, qPrintable(QString::number(slowestClose)));
    for (int size : log.Sizes())
        QVERIFY(size <= 2048);
}

void TestComm::hangupClosesPort_data()
{
    QTest::addColumn<int>("exchanges");  // 4-byte requests the far end answers before it goes
    QTest::addRow("far end closes while idle") << 0;
    QTest::addRow("far end closes during a transfer") << 6;
}

void TestComm::hangupClosesPort()
{
    QFETCH(int, exchanges);
    using Clock = std::chrono::steady_clock;
    TComm comm;
    ConfigureLikeMainWindow(comm, m_pty->Path());

    // The far end answers each request with a 34-byte reply, like the radio; after `exchanges`
    // of them it sends half a reply and closes in the middle of the next exchange.
    std::atomic<Clock::rep> closedAt{0};
    const auto farEnd = [this, exchanges, &closedAt] {
        for (int answered = 0; answered < exchanges;) {
            const QByteArray request = m_pty->Receive(4);
            if (request.size() < 4)
                break;  // the component stopped asking: the test fails below
            const QByteArray reply = Pattern(34, ++answered);
            m_pty->Send(answered == exchanges ? reply.left(17) : reply);
        }
        closedAt = Clock::now().time_since_epoch().count();
        m_pty->CloseMaster();
    };
    // The owner asks again on every chunk, so bytes flow both ways when the line breaks.
    qsizetype received = 0;
    connect(&comm, &TSerialChannel::OnReceiveData, &comm, [&](const QByteArray &chunk) {
        received += chunk.size();
        comm.WriteData("RQST", 4);
    });
    Clock::time_point hangupAt;
    bool openOnHangup = true;
    bool writeOnHangup = true;
    QSignalSpy hangup(&comm, &TSerialChannel::OnRequestHangup);
    connect(&comm, &TSerialChannel::OnRequestHangup, &comm, [&] {
        hangupAt = Clock::now();
        openOnHangup = comm.IsOpen();
        writeOnHangup = comm.WriteData("x", 1);
    });

    comm.OpenPort();
    std::thread far(farEnd);
    if (exchanges > 0)
        QVERIFY(comm.WriteData("RQST", 4));
    const bool arrived = hangup.wait(kWaitMs) || hangup.count() > 0;
    far.join();
    QVERIFY(arrived);
    QTest::qWait(200);  // the write thread's own report of the broken line must not follow

    QCOMPARE(hangup.count(), 1);
    // Every whole reply came; the half one is lost when the line breaks before it is read.
    const qsizetype whole = exchanges > 0 ? (exchanges - 1) * 34 : 0;
    QVERIFY2(received == whole || received == whole + 17, qPrintable(QString::number(received)));
    const auto delay = std::chrono::duration_cast<std::chrono::milliseconds>(
        hangupAt - Clock::time_point(Clock::duration(closedAt.load())));
    QVERIFY2(delay.count() < kWaitMs, qPrintable(QString::number(delay.count())));
    QVERIFY(!openOnHangup);
    QVERIFY(!writeOnHangup);
    QVERIFY(!comm.IsOpen());
    QVERIFY(!comm.WriteData("x", 1));
    comm.ClosePort();  // already closed: nothing to do

    // The component is ready for the next port.
    PseudoTerminal next;
    QVERIFY(next.IsValid());
    ChunkLog log(comm);
    comm.SetCommName(next.Path());
    comm.OpenPort();
    QVERIFY(comm.WriteData("next", 4));
    QCOMPARE(next.Receive(4), QByteArray("next"));
    QVERIFY(next.Send("back"));
    QTRY_COMPARE_WITH_TIMEOUT(log.chunks.join(), QByteArray("back"), kWaitMs);
}

int main(int argc, char *argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "--try-open") == 0)
        return TryOpenInChild(argv[2]);
    QCoreApplication app(argc, argv);
    TestComm test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_comm.moc"
