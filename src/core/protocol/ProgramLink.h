#pragma once

#include "protocol/Areas.h"
#include "protocol/Frame.h"
#include "protocol/MainImage.h"
#include "serial/SerialChannel.h"

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <vector>

enum class TransferKind { None, MainRead, MainWrite, AreaRead, AreaWrite };

// How far a transfer got: data blocks read or acknowledged, of those it set out to move. The
// handshake's acknowledgement of a main transfer is not a block.
struct TransferTally {
    int done = 0;
    int total = 0;
};

// Why a transfer ended.
enum class TransferEnd {
    Completed,  // every block moved
    Cancelled,  // the user ended it (Cancel, Retry, an editor's Close)
    Silent,     // a caller's guard gave up on a radio that stopped answering
    PortGone,   // the port went away under the transfer (a pulled cable)
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
// partial reply pending is dropped.
//
// The port is given CompleteAnswerLength as its frame rule, so an acknowledgement or a reply with
// a right check value is handled as soon as its last byte is in, without waiting for the silence
// that ends a chunk. The bytes that followed such a frame before the line went quiet come as its
// rest, which is what the silence rule would have put into the same chunk: a partial reply still
// being collected takes them in, as it would have taken the whole chunk; otherwise they are
// dropped, never read as the next answer. Replies are routed by area and block: one that fits no table
// of the running transfer is ignored, and the resend timer repeats the pending request.
//
// A reply's check value is not required: replies are taken as they come until two in a row have
// arrived whose check value is right (one could be right by chance). From then on the radio on
// that port is known to send right ones, so a reply whose check value is wrong was damaged on the
// line; it is ignored like a lost one. Three wrong ones in a row say another radio answers on
// that port, which is taken at its word again.
//
// When the port goes away (the channel's hang-up), a running transfer ends with PortGone and
// nothing more is sent; the port counts as closed either way.
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

    TransferKind Running() const { return m_transfer.kind; }
    int RunningArea() const { return m_transfer.area; }  // -1 for the main transfers and when idle
    bool IsBusy() const { return m_transfer.Runs(); }
    // True while unanswered frames are being repeated.
    bool IsResending() const { return m_tim1.isActive(); }
    // True while a write waits out the acknowledgements of a resent frame's other copies.
    bool IsHoldingAck() const { return m_lateAcks.isActive(); }

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
    // timer and starts that main transfer again. A caller that gives up on a silent radio
    // passes Silent.
    void Cancel(TransferEnd reason = TransferEnd::Cancelled);
    // An editor's Close (Cancelled) or guard timer (Silent): ends that area's transfer if it
    // runs; the port stays open.
    void AbandonAreaTransfer(int area, TransferEnd reason = TransferEnd::Cancelled);

    // How far the last transfer that ended got; valid from its Finished on.
    TransferTally LastTally() const { return m_lastTally; }
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
    // The resend timer repeated the pending frame; resends counts them since the transfer began.
    void Resent(TransferKind kind, int area, int resends);
    // The transfer ended, and why. Sent after BusyChanged(false), so a handler may start the next.
    void Finished(TransferKind kind, int area, TransferEnd reason);
    void PortOpenChanged(bool open);
    void BusyChanged(bool busy);
    // The device went away (a pulled cable), during a transfer or between two: it may come back
    // on another radio.
    void PortGone();

private Q_SLOTS:
    void Comm1ReceiveData(const QByteArray &chunk);
    void Comm1ReceiveRest(const QByteArray &rest);
    void Tim1Timer();
    void SettingsPauseTimer();
    void LateAcksTimer();
    void Comm1RequestHangup();

private:
    // Where the running transfer stands.
    enum class Step {
        Idle,
        Handshake,      // main transfers: "PROGRAM" sent, its acknowledgement awaited
        Channels,       // main read: channel blocks requested one after another
        SettingsPause,  // main read: the short pause before the settings request
        Settings,       // main read: the settings block requested
        Blocks,         // main write after the handshake, and the area transfers
    };

    // The one transfer that runs, as one value. Every start and end gives it a new serial, so a
    // handler can tell that a slot it signalled has ended or restarted the transfer meanwhile.
    struct Transfer {
        TransferKind kind = TransferKind::None;
        int area = -1;
        Step step = Step::Idle;
        int nextBlock = 0;  // main read: lowest channel block still accepted (ReadBlock);
                            // area read: the block requested
        int answers = 0;    // acknowledgements or replies handled (a main write's WriteStep)
        int resends = 0;    // frames the resend timer repeated
        int copies = 0;     // times the frame awaiting an answer went out
        int lateCopies = 0;  // held: acknowledgements still due from the other copies
        NextRead rule = NextRead::CountReplies;
        WriteFraming framing = WriteFraming::WithCrc;
        std::vector<TFrame> writes;  // what a write sends after its handshake, in order
        quint64 serial = 0;

        bool Runs() const { return kind != TransferKind::None; }
        TransferTally Tally() const;
        bool IsAreaTransfer(int number) const;
        // While a frame waits for its acknowledgement no reply is due.
        bool ExpectsAck() const;
    };

    enum class Granularity { ByteByByte, OneWrite };

    // Sending. Every frame is built at the start of TxBuffer.
    void SendData(const std::uint8_t *bytes, int count);
    int PutFrame(const TFrame &frame);
    void SendFrame(int count, Granularity granularity);
    void SendHandshake();
    void SendRequest(int area, int block, Granularity granularity);
    void SendWrite(const TFrame &frame);
    void SendToolAck();

    // Receiving.
    void DropPartialReply();
    void CollectReply(const QByteArray &bytes);
    void HandleAck();
    bool HoldsAck();
    void HandleReply(const TFrame &reply);

    // Transfers: the transitions of m_transfer.
    bool StartMain(Transfer next, const QString &portName);
    void Begin(Transfer next);
    void MoveTo(Step step);
    void End(TransferEnd reason, bool closePort);
    void MainReadAck();
    void MainReadReply(const TFrame &reply);
    void MainWriteAck();
    void AreaReadReply(const TFrame &reply);
    bool CheckAccepts(const TFrame &reply);  // false: ignore the reply
    bool MissedCheck();
    bool RepliesCarryCheck() const;
    void ResendNow();
    void AreaWriteAck();
    bool ReportProgress();  // false when a handler ended or restarted the transfer
    bool Signalled(quint64 serial) const { return serial == m_transfer.serial; }

    std::unique_ptr<TSerialChannel> m_comm;
    bool m_portOpen = false;  // as last reported by PortOpenChanged
    QTimer m_tim1;
    QTimer m_settingsPause;  // the 2 ms pause before the settings request, without blocking
    QTimer m_lateAcks;       // after the acknowledgement of a resent frame: the copies' time
    Transfer m_transfer;
    TransferTally m_lastTally;

    std::vector<std::uint8_t> TxBuffer;
    std::vector<std::uint8_t> RxBuffer;  // the reply being collected
    std::vector<std::uint8_t> RxGlobal;  // copy of the last complete reply
    int m_resendLength = 0;              // bytes of TxBuffer a resend repeats; 0: nothing
    int m_rxFill = 0;                    // bytes of a reply collected in RxBuffer
    QString m_checkedPort;               // the port the count of right check values is of
    int m_rightChecks = 0;               // replies in a row with a right check value, up to 2
    int m_wrongChecks = 0;               // then replies in a row with a wrong one
    QByteArray m_unconfirmed;            // a reply with a wrong check value, until it comes again
};
