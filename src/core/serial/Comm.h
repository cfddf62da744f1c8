#pragma once

#include "serial/SerialChannel.h"

#include "device/LineSettings.h"

#include <memory>

class TReadThread;
class TSerialDevice;
class TWriteThread;

// The serial port as a Qt component: a TSerialDevice of the platform, and while it is open a
// receive thread delivering its chunks (ending after ReadIntervalTimeout ms of silence, or at 2048
// bytes) and a write thread that writes queued requests in order. Bytes cross to the owner's
// thread only through queued signals.
//
// The device is opened exclusively (see TPosixSerialDevice). Chunks and notifications still
// queued when the port closes are dropped: they belong to a session that has ended, and must not
// reach a transfer started after a reopen. When the device goes away the component closes itself
// on the owner's thread and then raises OnRequestHangup, once.
class TComm : public TSerialChannel {
    Q_OBJECT
public:
    explicit TComm(QObject *parent = nullptr);
    // Closes a port that is still open, so that no thread outlives the component and the device
    // is unlocked and its settings restored even when the owner forgets to close it.
    ~TComm() override;

    void OpenPort() override;
    void ClosePort() override;
    bool IsOpen() const override;
    bool WriteData(const char *bytes, quint16 count) override;
    void SetFrameRule(TFrameRule rule) override { m_frameRule = rule; }

    // Published properties; setters apply at once while the port is open.
    quint32 BaudRate() const { return m_line.baudRate; }
    void SetBaudRate(quint32 value);
    bool ParityCheck() const { return m_line.parityCheck; }
    void SetParityCheck(bool value);
    bool Outx_CtsFlow() const { return m_line.outxCtsFlow; }
    void SetOutx_CtsFlow(bool value);
    bool Outx_DsrFlow() const { return m_line.outxDsrFlow; }
    void SetOutx_DsrFlow(bool value);
    TDtrControl DtrControl() const { return m_line.dtrControl; }
    void SetDtrControl(TDtrControl value);
    bool DsrSensitivity() const { return m_line.dsrSensitivity; }
    void SetDsrSensitivity(bool value);
    bool TxContinueOnXoff() const { return m_line.txContinueOnXoff; }
    void SetTxContinueOnXoff(bool value);
    bool Outx_XonXoffFlow() const { return m_line.outxXonXoffFlow; }
    void SetOutx_XonXoffFlow(bool value);
    bool Inx_XonXoffFlow() const { return m_line.inxXonXoffFlow; }
    void SetInx_XonXoffFlow(bool value);
    bool ReplaceWhenParityError() const { return m_line.replaceWhenParityError; }
    void SetReplaceWhenParityError(bool value);
    bool IgnoreNullChar() const { return m_line.ignoreNullChar; }
    void SetIgnoreNullChar(bool value);
    TRtsControl RtsControl() const { return m_line.rtsControl; }
    void SetRtsControl(TRtsControl value);
    quint16 XonLimit() const { return m_line.xonLimit; }
    void SetXonLimit(quint16 value);
    quint16 XoffLimit() const { return m_line.xoffLimit; }
    void SetXoffLimit(quint16 value);
    TByteSize ByteSize() const { return m_line.byteSize; }
    void SetByteSize(TByteSize value);
    TParity Parity() const { return m_line.parity; }
    void SetParity(TParity value);  // stored only; takes effect at the next open
    TStopBits StopBits() const { return m_line.stopBits; }
    void SetStopBits(TStopBits value);
    char XonChar() const { return m_line.xonChar; }
    void SetXonChar(char value);
    char XoffChar() const { return m_line.xoffChar; }
    void SetXoffChar(char value);
    char ReplacedChar() const { return m_line.replacedChar; }
    void SetReplacedChar(char value);
    quint32 ReadIntervalTimeout() const { return m_timeouts.readInterval; }
    void SetReadIntervalTimeout(quint32 value);
    quint32 ReadTotalTimeoutMultiplier() const { return m_timeouts.readTotalMultiplier; }
    void SetReadTotalTimeoutMultiplier(quint32 value);
    quint32 ReadTotalTimeoutConstant() const { return m_timeouts.readTotalConstant; }
    void SetReadTotalTimeoutConstant(quint32 value);
    quint32 WriteTotalTimeoutMultiplier() const { return m_timeouts.writeTotalMultiplier; }
    void SetWriteTotalTimeoutMultiplier(quint32 value);
    quint32 WriteTotalTimeoutConstant() const { return m_timeouts.writeTotalConstant; }
    void SetWriteTotalTimeoutConstant(quint32 value);

Q_SIGNALS:
    void OnReceiveError(quint32 eventMask);
    void OnModemStateChange(quint32 modemEvent);
    void OnSendDataEmpty();

private:
    template <typename T>
    void SetLineProperty(T &field, T value);
    template <typename T>
    void SetTimeoutProperty(T &field, T value);
    void StartThreads();
    void ConnectThreads(quint64 session);
    void HangUp();
    void StopThreads();
    void ReleasePort();

    std::unique_ptr<TSerialDevice> m_device;  // the open device; none while closed
    std::unique_ptr<TReadThread> m_readThread;
    std::unique_ptr<TWriteThread> m_writeThread;
    quint64 m_session = 0;  // counts opens and closes; stale queued notifications carry an old one

    TLineSettings m_line;
    TTimeouts m_timeouts;
    TFrameRule m_frameRule = nullptr;
};

// The port as the programming link uses it: 9600 8N1, no flow control (XON/XOFF would swallow
// the data bytes 0x11 and 0x13), DTR and RTS on, chunks ending after 20 ms of silence.
std::unique_ptr<TComm> CreateComm1();
