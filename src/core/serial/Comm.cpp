#include "serial/Comm.h"

#include "serial/ReadThread.h"
#include "serial/WriteThread.h"

#include <QDeadlineTimer>
#include <QFile>
#include <fcntl.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

// How long ClosePort waits for a thread; both wake at once on the close event.
constexpr int kStopWaitMs = 10000;

struct BaudSpeed {
    quint32 baud;
    speed_t speed;
};

constexpr BaudSpeed kBaudSpeeds[] = {
    {50, B50},       {75, B75},         {110, B110},       {134, B134},     {150, B150},
    {200, B200},     {300, B300},       {600, B600},       {1200, B1200},   {1800, B1800},
    {2400, B2400},   {4800, B4800},     {9600, B9600},     {19200, B19200}, {38400, B38400},
    {57600, B57600}, {115200, B115200}, {230400, B230400},
#ifdef B460800
    {460800, B460800},
#endif
#ifdef B921600
    {921600, B921600},
#endif
};

// 0 when termios has no constant for the rate; the line then keeps its speed.
speed_t SpeedFor(quint32 baud)
{
    for (const BaudSpeed &entry : kBaudSpeeds)
        if (entry.baud == baud)
            return entry.speed;
    return 0;
}

tcflag_t ByteSizeFlag(TByteSize size)
{
    switch (size) {
    case TByteSize::_5: return CS5;
    case TByteSize::_6: return CS6;
    case TByteSize::_7: return CS7;
    case TByteSize::_8: break;
    }
    return CS8;
}

tcflag_t ParityFlags(TParity parity)
{
    switch (parity) {
    case TParity::None: break;
    case TParity::Odd: return PARENB | PARODD;
    case TParity::Even: return PARENB;
#ifdef CMSPAR
    // CMSPAR turns the odd/even bit into a fixed one: PARODD set sends mark, clear sends space.
    case TParity::Mark: return PARENB | CMSPAR | PARODD;
    case TParity::Space: return PARENB | CMSPAR;
#else
    case TParity::Mark:
    case TParity::Space: break;
#endif
    }
    return 0;
}

void SetModemLine(int port, int line, bool on)
{
    // A pseudo-terminal has no modem lines and refuses this; there is nothing to assert then.
    ::ioctl(port, on ? TIOCMBIS : TIOCMBIC, &line);
}

template <typename T>
void StopThread(std::unique_ptr<T> &thread)
{
    if (!thread)
        return;
    if (!thread->wait(QDeadlineTimer(kStopWaitMs))) {
        thread->terminate();
        thread->wait();
    }
    thread.reset();
}

} // namespace

TComm::TComm(QObject *parent) : TSerialChannel(parent) {}

TComm::~TComm()
{
    ClosePort();
}

bool TComm::IsOpen() const
{
    return m_handle >= 0;
}

void TComm::OpenPort()
{
    if (IsOpen())
        throw ECommsError("This serial port already opened");

    // O_NOCTTY: the port never becomes our controlling terminal. O_NONBLOCK: open does not wait
    // for carrier detect (CLOCAL is not set yet), and the port stays non-blocking so that the
    // threads wait only in poll(), where the close event always reaches them.
    const QByteArray path = QFile::encodeName(CommName());
    const int port = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (port < 0)
        throw ECommsError("Error opening serial port");
    if (!::isatty(port)) {
        ::close(port);
        throw ECommsError("File handle is not a comm handle ");
    }
    auto saved = std::make_unique<struct termios>();
    // flock fails for a device that another open of it holds, in this process or another;
    // TIOCEXCL alone would not stop root.
    if (::flock(port, LOCK_EX | LOCK_NB) != 0 || ::tcgetattr(port, saved.get()) != 0) {
        ::close(port);
        throw ECommsError("Error opening serial port");
    }
    ::ioctl(port, TIOCEXCL);  // refuse further opens of the device, except by root

    m_handle = port;
    m_savedTermios = std::move(saved);
    ::tcflush(m_handle, TCIOFLUSH);  // nothing left over from an earlier user of the line

    m_closeEvent = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_closeEvent < 0) {
        ReleasePort();
        throw ECommsError("Unable to create event");
    }
    StartThreads();
}

void TComm::StartThreads()
{
    m_readThread = std::make_unique<TReadThread>(m_handle, m_closeEvent);
    m_writeThread = std::make_unique<TWriteThread>(m_handle, m_closeEvent);
    ApplyTimeouts();
    ApplyLineSettings();
    ConnectThreads(++m_session);

    // A thread that could not start is neither running nor finished.
    const auto started = [](const QThread &thread) { return thread.isRunning() || thread.isFinished(); };
    m_readThread->start(QThread::HighestPriority);
    if (!started(*m_readThread)) {
        StopThreads();
        ReleasePort();
        throw ECommsError("Unable to create read thread");
    }
    if (m_writeThread->IsValid())
        m_writeThread->start(QThread::HighPriority);
    if (!m_writeThread->IsValid() || !started(*m_writeThread)) {
        StopThreads();
        ReleasePort();
        throw ECommsError("Unable to create write thread");
    }
}

// Queued into this object's thread; the session test drops what was posted before a close.
void TComm::ConnectThreads(quint64 session)
{
    const auto current = [this, session] { return session == m_session; };
    connect(m_readThread.get(), &TReadThread::ChunkReceived, this,
            [this, current](const QByteArray &chunk) { if (current()) Q_EMIT OnReceiveData(chunk); },
            Qt::QueuedConnection);
    connect(m_readThread.get(), &TReadThread::LineError, this,
            [this, current](quint32 flags) { if (current()) Q_EMIT OnReceiveError(flags); },
            Qt::QueuedConnection);
    connect(m_readThread.get(), &TReadThread::ModemEvent, this,
            [this, current](quint32 events) { if (current()) Q_EMIT OnModemStateChange(events); },
            Qt::QueuedConnection);
    const auto hangup = [this, current] { if (current()) Q_EMIT OnRequestHangup(); };
    connect(m_readThread.get(), &TReadThread::HangupRequested, this, hangup, Qt::QueuedConnection);
    connect(m_writeThread.get(), &TWriteThread::HangupRequested, this, hangup, Qt::QueuedConnection);
    connect(m_writeThread.get(), &TWriteThread::SendQueueEmpty, this,
            [this, current] { if (current()) Q_EMIT OnSendDataEmpty(); }, Qt::QueuedConnection);
}

void TComm::ClosePort()
{
    if (!IsOpen())
        return;
    StopThreads();
    ReleasePort();
}

void TComm::StopThreads()
{
    ++m_session;
    ::eventfd_write(m_closeEvent, 1);
    ::tcflush(m_handle, TCIOFLUSH);  // discard what is still pending in and out
    StopThread(m_readThread);
    StopThread(m_writeThread);
}

// Gives the device back as we found it: settings restored, unlocked, closed.
void TComm::ReleasePort()
{
    if (m_savedTermios)
        ::tcsetattr(m_handle, TCSANOW, m_savedTermios.get());
    ::ioctl(m_handle, TIOCNXCL);
    ::flock(m_handle, LOCK_UN);
    ::close(m_handle);
    if (m_closeEvent >= 0)
        ::close(m_closeEvent);
    m_handle = -1;
    m_closeEvent = -1;
    m_savedTermios.reset();
}

bool TComm::WriteData(const char *bytes, quint16 count)
{
    if (!m_writeThread || count == 0 || bytes == nullptr)
        return false;
    return m_writeThread->Enqueue(QByteArray(bytes, count));
}

void TComm::ApplyLineSettings()
{
    struct termios tio {};
    if (::tcgetattr(m_handle, &tio) != 0)
        return;
    // Raw: no line editing, echo, signal characters or CR/LF translation; every byte passes.
    ::cfmakeraw(&tio);
    // CLOCAL: the modem lines do not gate opening or reading. CREAD: the receiver is on.
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
#ifdef CMSPAR
    tio.c_cflag &= ~CMSPAR;
#endif
    tio.c_cflag |= ByteSizeFlag(m_byteSize) | ParityFlags(m_parity);
    // Two stop bits; with 5 data bits the UART sends one and a half.
    if (m_stopBits != TStopBits::_1)
        tio.c_cflag |= CSTOPB;
    // Linux has one flag for both halves of RTS/CTS hardware flow control.
    if (m_outxCtsFlow || m_rtsControl == TRtsControl::RtsHandshake)
        tio.c_cflag |= CRTSCTS;
    // IXON: XON/XOFF received stop and restart our output. IXOFF: the driver sends them when its
    // input buffer fills. INPCK: check parity; a byte with a parity error reads as 0.
    tio.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK);
    if (m_outxXonXoffFlow)
        tio.c_iflag |= IXON;
    if (m_inxXonXoffFlow)
        tio.c_iflag |= IXOFF;
    if (m_parityCheck)
        tio.c_iflag |= INPCK;
    tio.c_cc[VSTART] = cc_t(m_xonChar);
    tio.c_cc[VSTOP] = cc_t(m_xoffChar);
    // A read returns what is there; the receive thread times the chunks itself.
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    if (const speed_t speed = SpeedFor(m_baudRate))
        ::cfsetspeed(&tio, speed);
    // No termios counterpart, kept as properties only: DSR flow control and sensitivity,
    // TxContinueOnXoff, the XON/XOFF limits, null stripping and the parity replacement byte.
    ::tcsetattr(m_handle, TCSANOW, &tio);
    ApplyModemLines();
}

void TComm::ApplyModemLines()
{
    // DTR handshake has no Linux counterpart: DTR stays asserted.
    SetModemLine(m_handle, TIOCM_DTR, m_dtrControl != TDtrControl::DtrDisable);
    switch (m_rtsControl) {
    case TRtsControl::RtsEnable: SetModemLine(m_handle, TIOCM_RTS, true); break;
    case TRtsControl::RtsDisable: SetModemLine(m_handle, TIOCM_RTS, false); break;
    case TRtsControl::RtsHandshake: break;  // CRTSCTS: the driver drives RTS
    // RTS only while sending needs the driver's RS-485 mode; idle, the line is off.
    case TRtsControl::RtsTransmissionAvailable: SetModemLine(m_handle, TIOCM_RTS, false); break;
    }
}

// The write time-outs have nothing to limit here: every request is written completely, as a
// timed-out write would only be resumed with the remaining bytes.
void TComm::ApplyTimeouts()
{
    if (m_readThread)
        m_readThread->SetTimeouts(m_readIntervalTimeout, m_readTotalTimeoutMultiplier,
                                  m_readTotalTimeoutConstant);
}

template <typename T>
void TComm::SetLineProperty(T &field, T value)
{
    if (field == value)
        return;
    field = value;
    if (IsOpen())
        ApplyLineSettings();
}

template <typename T>
void TComm::SetTimeoutProperty(T &field, T value)
{
    if (field == value)
        return;
    field = value;
    if (IsOpen())
        ApplyTimeouts();
}

void TComm::SetBaudRate(quint32 value) { SetLineProperty(m_baudRate, value); }
void TComm::SetParityCheck(bool value) { SetLineProperty(m_parityCheck, value); }
void TComm::SetOutx_CtsFlow(bool value) { SetLineProperty(m_outxCtsFlow, value); }
void TComm::SetOutx_DsrFlow(bool value) { SetLineProperty(m_outxDsrFlow, value); }
void TComm::SetDtrControl(TDtrControl value) { SetLineProperty(m_dtrControl, value); }
void TComm::SetDsrSensitivity(bool value) { SetLineProperty(m_dsrSensitivity, value); }
void TComm::SetTxContinueOnXoff(bool value) { SetLineProperty(m_txContinueOnXoff, value); }
void TComm::SetOutx_XonXoffFlow(bool value) { SetLineProperty(m_outxXonXoffFlow, value); }
void TComm::SetInx_XonXoffFlow(bool value) { SetLineProperty(m_inxXonXoffFlow, value); }
void TComm::SetReplaceWhenParityError(bool value) { SetLineProperty(m_replaceWhenParityError, value); }
void TComm::SetIgnoreNullChar(bool value) { SetLineProperty(m_ignoreNullChar, value); }
void TComm::SetRtsControl(TRtsControl value) { SetLineProperty(m_rtsControl, value); }
void TComm::SetXonLimit(quint16 value) { SetLineProperty(m_xonLimit, value); }
void TComm::SetXoffLimit(quint16 value) { SetLineProperty(m_xoffLimit, value); }
void TComm::SetByteSize(TByteSize value) { SetLineProperty(m_byteSize, value); }
void TComm::SetParity(TParity value) { m_parity = value; }
void TComm::SetStopBits(TStopBits value) { SetLineProperty(m_stopBits, value); }
void TComm::SetXonChar(char value) { SetLineProperty(m_xonChar, value); }
void TComm::SetXoffChar(char value) { SetLineProperty(m_xoffChar, value); }
void TComm::SetReplacedChar(char value) { SetLineProperty(m_replacedChar, value); }

void TComm::SetReadIntervalTimeout(quint32 value) { SetTimeoutProperty(m_readIntervalTimeout, value); }
void TComm::SetReadTotalTimeoutMultiplier(quint32 value) { SetTimeoutProperty(m_readTotalTimeoutMultiplier, value); }
void TComm::SetReadTotalTimeoutConstant(quint32 value) { SetTimeoutProperty(m_readTotalTimeoutConstant, value); }
void TComm::SetWriteTotalTimeoutMultiplier(quint32 value) { SetTimeoutProperty(m_writeTotalTimeoutMultiplier, value); }
void TComm::SetWriteTotalTimeoutConstant(quint32 value) { SetTimeoutProperty(m_writeTotalTimeoutConstant, value); }

std::unique_ptr<TComm> CreateComm1()
{
    auto comm = std::make_unique<TComm>();
    comm->SetBaudRate(9600);
    comm->SetOutx_XonXoffFlow(false);
    comm->SetInx_XonXoffFlow(false);
    comm->SetReadIntervalTimeout(20);
    return comm;
}
