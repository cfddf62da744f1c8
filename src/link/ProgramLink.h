#pragma once

#include "link/Frame.h"
#include "link/SerialChannel.h"

#include <QObject>
#include <QTimer>
#include <array>
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
    std::array<Block, 16> channels{};  // area 0, blocks 1..16
    Block settings{};                  // area 5, block 0
};

// The programming protocol over one port: handshake, block requests and writes, the resend
// timer, and the routing of every received chunk to the one transfer that runs.
//
// Only one transfer runs at a time. Starting the running main transfer again restarts it from
// the handshake (F11 during a write, F12 during a read); any other start while busy is refused.
// Every frame sent restarts the 300 ms resend timer, and a resend repeats exactly that frame.
class TProgramLink : public QObject {
    Q_OBJECT
public:
    explicit TProgramLink(std::unique_ptr<TSerialChannel> port, QObject *parent = nullptr);
    ~TProgramLink() override;

    TSerialChannel &Comm1() { return *m_comm; }

    // Opens the port under that name when it is closed; throws ECommsError.
    void OpenPort(const QString &name);
    void ClosePort();
    bool IsPortOpen() const;

    TransferKind Running() const { return m_kind; }
    int RunningArea() const { return m_area; }
    bool IsBusy() const { return m_kind != TransferKind::None; }

    // Main transfers open the port when it is closed (ECommsError propagates, nothing starts),
    // send "PROGRAM" and go on block by block. On completion the port is closed.
    // Return false when another transfer runs.
    bool StartMainRead(const QString &portName);
    bool StartMainWrite(const QString &portName, const MainImage &image);

    // Signalling transfers: no handshake, the first frame goes out at once. The caller opens the
    // port first. A read asks blocks 0..blockCount(area)-1; a write sends the given blocks in order
    // and completes when the radio has acknowledged the last one.
    bool StartAreaRead(int area, NextRead rule);
    bool StartAreaWrite(int area, const std::vector<Block> &blocks, WriteFraming framing);

    // Progress window's Cancel: ends the running transfer, stops the resend, closes the port.
    void Cancel();
    // An editor's Close or guard timer: ends that area's transfer if it runs; the port stays open.
    void AbandonAreaTransfer(int area);

    // Tests shorten this; the radio expects 300 ms.
    void SetResendInterval(int ms);

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

private:
    std::unique_ptr<TSerialChannel> m_comm;
    QTimer m_tim1;
    TransferKind m_kind = TransferKind::None;
    int m_area = -1;
    // The rest of the state (TxBuffer, RxBuffer, RxGlobal, ReadBlock, WriteStep, the frame being
    // resent, reassembly of split replies) is added by the implementation.
};
