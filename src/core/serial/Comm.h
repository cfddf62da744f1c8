#pragma once

#include "serial/SerialChannel.h"

#include <memory>

class TReadThread;
class TWriteThread;
struct termios;

enum class TDtrControl { DtrEnable, DtrDisable, DtrHandshake };
enum class TRtsControl { RtsEnable, RtsDisable, RtsHandshake, RtsTransmissionAvailable };
enum class TByteSize { _5, _6, _7, _8 };
enum class TParity { None, Odd, Even, Mark, Space };
enum class TStopBits { _1, _1_5, _2 };

// Error flags of OnReceiveError: which line errors the driver counted since the last report.
namespace commerror {
constexpr quint32 kRxOver = 0x01;   // the driver's input buffer overflowed
constexpr quint32 kOverrun = 0x02;  // the UART lost a byte before it was read
constexpr quint32 kParity = 0x04;
constexpr quint32 kFrame = 0x08;
constexpr quint32 kBreak = 0x10;
}

// Events of OnModemStateChange; both together give 12.
namespace modemevent {
constexpr quint32 kRing = 4;
constexpr quint32 kCarrierDetect = 8;
}

// The serial port on POSIX termios. Open: a receive thread delivering chunks that end after
// ReadIntervalTimeout ms of silence (or at 2048 bytes), and a write thread that writes queued
// requests in order. Bytes cross to the owner's thread only through queued signals.
//
// The port is opened exclusively: TIOCEXCL refuses further opens of the device by other users,
// and an flock on it refuses a second TComm of this or any other process, root included.
// Chunks and notifications still queued when the port closes are dropped: they belong to a
// session that has ended, and must not reach a transfer started after a reopen.
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

    // Published properties; setters apply at once while the port is open.
    quint32 BaudRate() const { return m_baudRate; }
    void SetBaudRate(quint32 value);
    bool ParityCheck() const { return m_parityCheck; }
    void SetParityCheck(bool value);
    bool Outx_CtsFlow() const { return m_outxCtsFlow; }
    void SetOutx_CtsFlow(bool value);
    bool Outx_DsrFlow() const { return m_outxDsrFlow; }
    void SetOutx_DsrFlow(bool value);
    TDtrControl DtrControl() const { return m_dtrControl; }
    void SetDtrControl(TDtrControl value);
    bool DsrSensitivity() const { return m_dsrSensitivity; }
    void SetDsrSensitivity(bool value);
    bool TxContinueOnXoff() const { return m_txContinueOnXoff; }
    void SetTxContinueOnXoff(bool value);
    bool Outx_XonXoffFlow() const { return m_outxXonXoffFlow; }
    void SetOutx_XonXoffFlow(bool value);
    bool Inx_XonXoffFlow() const { return m_inxXonXoffFlow; }
    void SetInx_XonXoffFlow(bool value);
    bool ReplaceWhenParityError() const { return m_replaceWhenParityError; }
    void SetReplaceWhenParityError(bool value);
    bool IgnoreNullChar() const { return m_ignoreNullChar; }
    void SetIgnoreNullChar(bool value);
    TRtsControl RtsControl() const { return m_rtsControl; }
    void SetRtsControl(TRtsControl value);
    quint16 XonLimit() const { return m_xonLimit; }
    void SetXonLimit(quint16 value);
    quint16 XoffLimit() const { return m_xoffLimit; }
    void SetXoffLimit(quint16 value);
    TByteSize ByteSize() const { return m_byteSize; }
    void SetByteSize(TByteSize value);
    TParity Parity() const { return m_parity; }
    void SetParity(TParity value);  // stored only; takes effect at the next open
    TStopBits StopBits() const { return m_stopBits; }
    void SetStopBits(TStopBits value);
    char XonChar() const { return m_xonChar; }
    void SetXonChar(char value);
    char XoffChar() const { return m_xoffChar; }
    void SetXoffChar(char value);
    char ReplacedChar() const { return m_replacedChar; }
    void SetReplacedChar(char value);
    quint32 ReadIntervalTimeout() const { return m_readIntervalTimeout; }
    void SetReadIntervalTimeout(quint32 value);
    quint32 ReadTotalTimeoutMultiplier() const { return m_readTotalTimeoutMultiplier; }
    void SetReadTotalTimeoutMultiplier(quint32 value);
    quint32 ReadTotalTimeoutConstant() const { return m_readTotalTimeoutConstant; }
    void SetReadTotalTimeoutConstant(quint32 value);
    quint32 WriteTotalTimeoutMultiplier() const { return m_writeTotalTimeoutMultiplier; }
    void SetWriteTotalTimeoutMultiplier(quint32 value);
    quint32 WriteTotalTimeoutConstant() const { return m_writeTotalTimeoutConstant; }
    void SetWriteTotalTimeoutConstant(quint32 value);

Q_SIGNALS:
    void OnReceiveError(quint32 eventMask);
    void OnModemStateChange(quint32 modemEvent);
    void OnSendDataEmpty();

private:
    void ApplyLineSettings();
    void ApplyModemLines();
    void ApplyTimeouts();
    template <typename T>
    void SetLineProperty(T &field, T value);
    template <typename T>
    void SetTimeoutProperty(T &field, T value);
    void StartThreads();
    void ConnectThreads(quint64 session);
    void StopThreads();
    void ReleasePort();

    std::unique_ptr<TReadThread> m_readThread;
    std::unique_ptr<TWriteThread> m_writeThread;
    int m_handle = -1;       // the open device; -1 while closed
    int m_closeEvent = -1;   // eventfd that tells both threads to end; never reset once signalled
    std::unique_ptr<struct termios> m_savedTermios;  // the device's settings before we opened it
    quint64 m_session = 0;   // counts opens and closes; stale queued notifications carry an old one

    quint32 m_baudRate = 9600;
    bool m_parityCheck = false;
    bool m_outxCtsFlow = false;
    bool m_outxDsrFlow = false;
    TDtrControl m_dtrControl = TDtrControl::DtrEnable;
    bool m_dsrSensitivity = false;
    bool m_txContinueOnXoff = true;
    bool m_outxXonXoffFlow = true;
    bool m_inxXonXoffFlow = true;
    bool m_replaceWhenParityError = false;
    bool m_ignoreNullChar = false;
    TRtsControl m_rtsControl = TRtsControl::RtsEnable;
    quint16 m_xonLimit = 500;
    quint16 m_xoffLimit = 500;
    TByteSize m_byteSize = TByteSize::_8;
    TParity m_parity = TParity::None;
    TStopBits m_stopBits = TStopBits::_1;
    char m_xonChar = 0x11;
    char m_xoffChar = 0x13;
    char m_replacedChar = 0x00;
    quint32 m_readIntervalTimeout = 100;
    quint32 m_readTotalTimeoutMultiplier = 0;
    quint32 m_readTotalTimeoutConstant = 0;
    quint32 m_writeTotalTimeoutMultiplier = 0;
    quint32 m_writeTotalTimeoutConstant = 0;
};

// The port as the programming link uses it: 9600 8N1, no flow control (XON/XOFF would swallow
// the data bytes 0x11 and 0x13), DTR and RTS on, chunks ending after 20 ms of silence.
std::unique_ptr<TComm> CreateComm1();
