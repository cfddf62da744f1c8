#include "serial/Comm.h"

#include "device/SerialDevice.h"
#include "serial/ReadThread.h"
#include "serial/ThreadEnd.h"
#include "serial/WriteThread.h"

#include <QDeadlineTimer>
#include <QFile>

namespace {

// How long ClosePort waits for a thread; both wake at once on the close event.
constexpr int kStopWaitMs = 10000;

template <typename T>
void StopThread(std::unique_ptr<T> &thread)
{
    if (!thread)
        return;
    if (!thread->wait(QDeadlineTimer(kStopWaitMs))) {
        thread->terminate();
        thread->wait();
    }
    NoteThreadJoined(thread.get());
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
    return m_device != nullptr;
}

void TComm::OpenPort()
{
    if (IsOpen())
        throw ECommsError("This serial port already opened");
    std::unique_ptr<TSerialDevice> device = CreateSerialDevice();
    device->Open(QFile::encodeName(CommName()).toStdString());
    device->ApplyTimeouts(m_timeouts);
    device->ApplyLineSettings(m_line);
    device->SetFrameRule(m_frameRule);
    m_device = std::move(device);
    StartThreads();
}

void TComm::StartThreads()
{
    m_readThread = std::make_unique<TReadThread>(*m_device);
    m_writeThread = std::make_unique<TWriteThread>(*m_device);
    ConnectThreads(++m_session);

    // A thread that could not start is neither running nor finished.
    const auto started = [](const QThread &thread) { return thread.isRunning() || thread.isFinished(); };
    m_readThread->start(QThread::HighestPriority);
    if (!started(*m_readThread)) {
        StopThreads();
        ReleasePort();
        throw ECommsError("Unable to create read thread");
    }
    m_writeThread->start(QThread::HighPriority);
    if (!started(*m_writeThread)) {
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
    connect(m_readThread.get(), &TReadThread::RestReceived, this,
            [this, current](const QByteArray &rest) { if (current()) Q_EMIT OnReceiveRest(rest); },
            Qt::QueuedConnection);
    connect(m_readThread.get(), &TReadThread::LineError, this,
            [this, current](quint32 flags) { if (current()) Q_EMIT OnReceiveError(flags); },
            Qt::QueuedConnection);
    connect(m_readThread.get(), &TReadThread::ModemEvent, this,
            [this, current](quint32 events) { if (current()) Q_EMIT OnModemStateChange(events); },
            Qt::QueuedConnection);
    // Both threads may meet the broken line; the first report closes the session, which makes
    // the second one stale.
    const auto hangup = [this, current] { if (current()) HangUp(); };
    connect(m_readThread.get(), &TReadThread::HangupRequested, this, hangup, Qt::QueuedConnection);
    connect(m_writeThread.get(), &TWriteThread::HangupRequested, this, hangup, Qt::QueuedConnection);
    connect(m_writeThread.get(), &TWriteThread::SendQueueEmpty, this,
            [this, current] { if (current()) Q_EMIT OnSendDataEmpty(); }, Qt::QueuedConnection);
}

// The device has gone: nothing more can pass, so the port is closed before the owner hears of
// it, and a transfer that reacts by reopening finds it closed.
void TComm::HangUp()
{
    ClosePort();
    Q_EMIT OnRequestHangup();
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
    m_device->Cancel();
    m_device->Purge();  // discard what is still pending in and out
    if (m_writeThread)
        m_writeThread->Stop();
    StopThread(m_readThread);
    StopThread(m_writeThread);
}

void TComm::ReleasePort()
{
    m_device->Close();
    m_device.reset();
}

bool TComm::WriteData(const char *bytes, quint16 count)
{
    if (!m_writeThread || count == 0 || bytes == nullptr)
        return false;
    return m_writeThread->Enqueue(QByteArray(bytes, count));
}

template <typename T>
void TComm::SetLineProperty(T &field, T value)
{
    if (field == value)
        return;
    field = value;
    if (IsOpen())
        m_device->ApplyLineSettings(m_line);
}

template <typename T>
void TComm::SetTimeoutProperty(T &field, T value)
{
    if (field == value)
        return;
    field = value;
    if (IsOpen())
        m_device->ApplyTimeouts(m_timeouts);
}

void TComm::SetBaudRate(quint32 value) { SetLineProperty(m_line.baudRate, value); }
void TComm::SetParityCheck(bool value) { SetLineProperty(m_line.parityCheck, value); }
void TComm::SetOutx_CtsFlow(bool value) { SetLineProperty(m_line.outxCtsFlow, value); }
void TComm::SetOutx_DsrFlow(bool value) { SetLineProperty(m_line.outxDsrFlow, value); }
void TComm::SetDtrControl(TDtrControl value) { SetLineProperty(m_line.dtrControl, value); }
void TComm::SetDsrSensitivity(bool value) { SetLineProperty(m_line.dsrSensitivity, value); }
void TComm::SetTxContinueOnXoff(bool value) { SetLineProperty(m_line.txContinueOnXoff, value); }
void TComm::SetOutx_XonXoffFlow(bool value) { SetLineProperty(m_line.outxXonXoffFlow, value); }
void TComm::SetInx_XonXoffFlow(bool value) { SetLineProperty(m_line.inxXonXoffFlow, value); }
void TComm::SetReplaceWhenParityError(bool value) { SetLineProperty(m_line.replaceWhenParityError, value); }
void TComm::SetIgnoreNullChar(bool value) { SetLineProperty(m_line.ignoreNullChar, value); }
void TComm::SetRtsControl(TRtsControl value) { SetLineProperty(m_line.rtsControl, value); }
void TComm::SetXonLimit(quint16 value) { SetLineProperty(m_line.xonLimit, value); }
void TComm::SetXoffLimit(quint16 value) { SetLineProperty(m_line.xoffLimit, value); }
void TComm::SetByteSize(TByteSize value) { SetLineProperty(m_line.byteSize, value); }
void TComm::SetParity(TParity value) { m_line.parity = value; }
void TComm::SetStopBits(TStopBits value) { SetLineProperty(m_line.stopBits, value); }
void TComm::SetXonChar(char value) { SetLineProperty(m_line.xonChar, value); }
void TComm::SetXoffChar(char value) { SetLineProperty(m_line.xoffChar, value); }
void TComm::SetReplacedChar(char value) { SetLineProperty(m_line.replacedChar, value); }

void TComm::SetReadIntervalTimeout(quint32 value) { SetTimeoutProperty(m_timeouts.readInterval, value); }
void TComm::SetReadTotalTimeoutMultiplier(quint32 value) { SetTimeoutProperty(m_timeouts.readTotalMultiplier, value); }
void TComm::SetReadTotalTimeoutConstant(quint32 value) { SetTimeoutProperty(m_timeouts.readTotalConstant, value); }
void TComm::SetWriteTotalTimeoutMultiplier(quint32 value) { SetTimeoutProperty(m_timeouts.writeTotalMultiplier, value); }
void TComm::SetWriteTotalTimeoutConstant(quint32 value) { SetTimeoutProperty(m_timeouts.writeTotalConstant, value); }

std::unique_ptr<TComm> CreateComm1()
{
    auto comm = std::make_unique<TComm>();
    comm->SetBaudRate(9600);
    comm->SetOutx_XonXoffFlow(false);
    comm->SetInx_XonXoffFlow(false);
    comm->SetReadIntervalTimeout(20);
    return comm;
}
