#pragma once

#include "protocol/Frame.h"
#include "serial/SerialChannel.h"

#include <QObject>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

enum class TransferKind { None, MainRead, MainWrite, AreaRead, AreaWrite };

// How an area read picks the block it requests next.
enum class NextRead {
    CountReplies,  // DTMF, FSK: the number of replies handled so far
    FollowReply,   // two-tone, five-tone: the block number the reply carried + 1
};

// How an area write puts its blocks on the wire.
enum class WriteFraming {
    WithCrc,      // one 34-byte frame per block, resent every 300 ms until acknowledged
    HeadThenData, // area 2: 4-byte head, then 28 data bytes, no check value, never resent
};

// The 17 data blocks of a main write, encoded and checked before anything is sent.
struct MainImage {
    std::array<Block, frame::kChannelCount> channels{};  // area 0, blocks 1..16
    Block settings{};                  // area 5, block 0
};

// The programming protocol over one port: handshake, block requests and writes, the resend
// timer, and the routing of every received chunk to the one transfer that runs.
//
// Only one transfer runs at a time. Starting the running main transfer again restarts it from
// the handshake (F11 during a write, F12 during a read); any other start while busy is refused.
// Every frame sent restarts the 300 ms resend timer, and a resend repeats exactly that frame.
//
// Received chunks: a chunk that starts with 0x06 is an acknowledgement; one that starts with
// 0x57 begins a reply, which is collected until its 32 bytes (head and data) are there. Bytes
// that continue a reply may come in later chunks (the port ends a chunk at 20 ms of silence).
// A partial reply is kept only while the frame it answers is the last one on the wire: sending
// any frame, a resend included, drops it, and so do the start and end of a transfer. A chunk
// that starts with 0x57 and holds a whole reply by itself replaces a pending partial one, and so
// does an acknowledgement while the running transfer waits for one. Any other chunk with no
// partial reply pending is dropped. Replies are routed by area and block: one that fits no table
// of the running transfer is ignored, and the resend timer repeats the pending request.
class TProgramLink : public QObject {
    Q_OBJECT
public:
    explicit TProgramLink(std::unique_ptr<TSerialChannel> port, QObject *parent = nullptr);
    ~TProgramLink() override;

    TSerialChannel &Comm1() { return *m_comm; }

    // Opens the port under that name when it is closed; throws ECommsError.
    void OpenPort(const QString &name);
    // Closes the port when it is open. A transfer that runs is not ended (Cancel does that).
    void ClosePort();
    bool IsPortOpen() const;

    TransferKind Running() const { return m_kind; }
    int RunningArea() const { return m_area; }  // -1 for the main transfers and when idle
    bool IsBusy() const { return m_kind != TransferKind::None; }
    // True while unanswered frames are being repeated.
    bool IsResending() const { return m_tim1.isActive(); }

    // Main transfers open the port when it is closed (ECommsError propagates, nothing starts),
    // send "PROGRAM" and go on block by block. On completion the port is closed.
    // Return false when another transfer runs.
    bool StartMainRead(const QString &portName);
    bool StartMainWrite(const QString &portName, const MainImage &image);

    // Signalling transfers: no handshake, the first frame goes out at once. The caller opens the
    // port first; with the port closed, or an area other than 1..5, nothing starts (false).
    // A read asks blocks 0..blockCount(area)-1; a write sends the given blocks (at least one,
    // at most blockCount(area)) in order and completes when the radio has acknowledged the
    // last one. The port stays open afterwards.
    bool StartAreaRead(int area, NextRead rule);
    bool StartAreaWrite(int area, const std::vector<Block> &blocks, WriteFraming framing);

    // Progress window's Cancel: ends the running transfer, stops the resend, closes the port.
    // Retry belongs to the main window: it notes Running(), calls Cancel, waits 100 ms on a
    // timer and starts that main transfer again.
    void Cancel();
    // An editor's Close or guard timer: ends that area's transfer if it runs; the port stays open.
    void AbandonAreaTransfer(int area);

    // Tests shorten this; the radio expects 300 ms.
    void SetResendInterval(int ms);
    int ResendInterval() const { return m_tim1.interval(); }

Q_SIGNALS:
    // A main read reply for area 0 (blocks 1..16) or area 5 (block 0): DecodeMainBlock.
    void MainBlockRead(int area, int block, const Block &data);
    // A reply of the running area read: the editor's DecodeBlock.
    void AreaBlockRead(int area, int block, const Block &data);
    // Answers handled so far by the running transfer (acknowledgements or replies).
    void Progressed(TransferKind kind, int area, int answers);
    // The transfer ended: completed, or cancelled/abandoned (completed == false).
    void Finished(TransferKind kind, int area, bool completed);
    void PortOpenChanged(bool open);
    void BusyChanged(bool busy);

private Q_SLOTS:
    void Comm1ReceiveData(const QByteArray &chunk);
    void Tim1Timer();
    void SettingsPauseTimer();

private:
    enum class ReadPhase { Handshake, Channels, SettingsPause, Settings };
    enum class Granularity { ByteByByte, OneWrite };

    // Sending. Every frame is built at the start of TxBuffer.
    void SendData(const std::uint8_t *bytes, int count);
    void FrameCrc();
    void PutHead(std::uint8_t command, int area, int block);
    void PutData(const Block &data);
    void SendFrame(int count, Granularity granularity);
    void SendHandshake();
    void SendRequest(int area, int block, Granularity granularity);
    void SendBlock(int area, int block, const Block &data);
    void SendBlockWithoutCrc(int area, int block, const Block &data);
    void SendToolAck();

    // Receiving.
    void DropPartialReply();
    bool ExpectsAck() const;
    void HandleAck();
    void HandleReply();
    Block ReplyData() const;

    // Transfers.
    bool StartMain(TransferKind kind, const QString &portName, const std::function<void()> &reset);
    void Begin(TransferKind kind, int area);
    void End(bool completed, bool closePort);
    void MainReadAck();
    void MainReadReply(int area, int block);
    void MainWriteAck();
    void AreaReadReply(int area, int block);
    void AreaWriteAck();
    void SendAreaBlock(int index);
    bool ReportProgress();  // false when a handler ended or restarted the transfer

    std::unique_ptr<TSerialChannel> m_comm;
    QTimer m_tim1;
    QTimer m_settingsPause;  // the 2 ms pause before the settings request, without blocking
    TransferKind m_kind = TransferKind::None;
    int m_area = -1;
    // Bumped whenever a transfer starts or ends, so a handler can tell that a slot it signalled
    // has cancelled or restarted the transfer meanwhile.
    quint64 m_generation = 0;

    std::vector<std::uint8_t> TxBuffer;
    std::vector<std::uint8_t> RxBuffer;  // the reply being collected
    std::vector<std::uint8_t> RxGlobal;  // copy of the last complete reply
    int m_resendLength = 0;              // bytes of TxBuffer a resend repeats; 0: nothing
    int m_rxFill = 0;                    // bytes of a reply collected in RxBuffer

    int ReadBlock = 0;  // main read: the lowest channel block still accepted
    int WriteStep = 0;  // main write: acknowledgements received
    ReadPhase m_readPhase = ReadPhase::Handshake;
    MainImage m_image;

    // Area transfers.
    NextRead m_nextRead = NextRead::CountReplies;
    WriteFraming m_framing = WriteFraming::WithCrc;
    std::vector<Block> m_blocks;
    int m_nextBlock = 0;  // area read: the block requested
    int m_answers = 0;    // replies or acknowledgements handled by the running transfer
};
