#pragma once

#include "link/SerialChannel.h"

#include <QThread>
#include <atomic>
#include <memory>

class TReadThread;
class TWriteThread;

enum class TDtrControl { DtrEnable, DtrDisable, DtrHandshake };
enum class TRtsControl { RtsEnable, RtsDisable, RtsHandshake, RtsTransmissionAvailable };
enum class TByteSize { _5, _6, _7, _8 };
enum class TParity { None, Odd, Even, Mark, Space };
enum class TStopBits { _1, _1_5, _2 };

// The serial port on POSIX termios. Open: a receive thread delivering chunks that end after
// ReadIntervalTimeout ms of silence (or at 2048 bytes), and a write thread that writes queued
// requests in order. Bytes cross to the owner's thread only through queued signals.
class TComm : public TSerialChannel {
    Q_OBJECT
public:
    explicit TComm(QObject *parent = nullptr);
    ~TComm() override;  // closes a port that is still open, so no thread outlives the component

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
    void OnRequestHangup();
    void OnSendDataEmpty();

private:
    void ApplyLineSettings();
    void ApplyTimeouts();

    std::unique_ptr<TReadThread> m_readThread;
    std::unique_ptr<TWriteThread> m_writeThread;
    int m_handle = -1;
    std::atomic<bool> m_sendEmpty{true};

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
