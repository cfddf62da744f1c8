#include "protocol/ProgramLink.h"

#include <algorithm>

namespace {

constexpr int kResendIntervalMs = 300;
// The radio wants a short gap between the last channel reply and the settings request.
constexpr int kSettingsPauseMs = 2;
constexpr int kChannelCount = frame::kChannelCount;
constexpr int kHandshakeSize = 7;
// A reply byte 5 (data byte 1) of 0x30 asks the tool to answer with one 0x06 byte.
constexpr int kAckRequestData = 1;
constexpr std::uint8_t kAckRequest = 0x30;
// Replies in a row with a right check value that make a radio known to send them, and wrong or
// missing ones in a row after which it is no longer taken for such a radio.
constexpr int kKnownRadio = 2;
constexpr int kGiveUpTrust = 3;
// The longest wait for the acknowledgements of a resent frame's other copies, in resend
// intervals: a radio that was off while the frame was repeated never got most copies.
constexpr int kMostHeldIntervals = 3;

}  // namespace

bool TProgramLink::Transfer::IsAreaTransfer(int number) const
{
    return (kind == TransferKind::AreaRead || kind == TransferKind::AreaWrite) && area == number;
}

bool TProgramLink::Transfer::ExpectsAck() const
{
    return kind == TransferKind::MainWrite || kind == TransferKind::AreaWrite
        || (kind == TransferKind::MainRead && step == Step::Handshake);
}

TProgramLink::TProgramLink(std::unique_ptr<TSerialChannel> port, QObject *parent)
    : QObject(parent)
    , m_comm(std::move(port))
    , TxBuffer(frame::kBufferSize, 0)
    , RxBuffer(frame::kBufferSize, 0)
    , RxGlobal(frame::kBufferSize, 0)
{
    m_tim1.setTimerType(Qt::PreciseTimer);
    m_tim1.setInterval(kResendIntervalMs);
    m_settingsPause.setTimerType(Qt::PreciseTimer);
    m_settingsPause.setSingleShot(true);
    m_settingsPause.setInterval(kSettingsPauseMs);
    connect(&m_tim1, &QTimer::timeout, this, &TProgramLink::Tim1Timer);
    connect(&m_settingsPause, &QTimer::timeout, this, &TProgramLink::SettingsPauseTimer);
    m_lateAcks.setTimerType(Qt::PreciseTimer);
    m_lateAcks.setSingleShot(true);
    connect(&m_lateAcks, &QTimer::timeout, this, &TProgramLink::LateAcksTimer);
    m_comm->SetFrameRule(&CompleteAnswerLength);
    connect(m_comm.get(), &TSerialChannel::OnReceiveData, this, &TProgramLink::Comm1ReceiveData);
    connect(m_comm.get(), &TSerialChannel::OnReceiveRest, this, &TProgramLink::Comm1ReceiveRest);
    connect(m_comm.get(), &TSerialChannel::OnRequestHangup, this, &TProgramLink::Comm1RequestHangup);
}

TProgramLink::~TProgramLink()
{
    disconnect(m_comm.get(), nullptr, this, nullptr);
    m_tim1.stop();
    m_settingsPause.stop();
    m_lateAcks.stop();
    m_comm->ClosePort();
}

// ---------------------------------------------------------------- port

void TProgramLink::OpenPort(const QString &name)
{
    if (m_comm->IsOpen())
        return;
    if (name != m_checkedPort) {
        m_checkedPort = name;
        m_rightChecks = 0;
        m_wrongChecks = 0;
        m_unconfirmed.clear();
    }
    m_comm->SetCommName(name);
    m_comm->OpenPort();
    m_portOpen = true;
    emit PortOpenChanged(true);
}

// Also reports a port that closed itself, so that listeners learn of it once.
void TProgramLink::ClosePort()
{
    const bool wasOpen = m_portOpen || m_comm->IsOpen();
    m_comm->ClosePort();
    m_portOpen = false;
    if (wasOpen)
        emit PortOpenChanged(false);
}

bool TProgramLink::IsPortOpen() const
{
    return m_comm->IsOpen();
}

void TProgramLink::SetResendInterval(int ms)
{
    m_tim1.setInterval(ms);
}

// The channel has closed itself: nothing can go out any more.
void TProgramLink::Comm1RequestHangup()
{
    if (IsBusy())
        End(TransferEnd::PortGone, true);
    else
        ClosePort();
    emit PortGone();
}

// ---------------------------------------------------------------- starting and ending

bool TProgramLink::StartMainRead(const QString &portName)
{
    Transfer next;
    next.kind = TransferKind::MainRead;
    return StartMain(std::move(next), portName);
}

bool TProgramLink::StartMainWrite(const QString &portName, const MainImage &image)
{
    Transfer next;
    next.kind = TransferKind::MainWrite;
    for (int n = 1; n <= kChannelCount; ++n)
        next.writes.push_back(TFrame::BlockWrite(frame::kMainArea, n, image.channels[static_cast<std::size_t>(n - 1)]));
    next.writes.push_back(TFrame::BlockWrite(frame::kSettingsArea, 0, image.settings));
    return StartMain(std::move(next), portName);
}

// Opens the port when it is closed, then starts (or restarts) from the handshake.
bool TProgramLink::StartMain(Transfer next, const QString &portName)
{
    if (IsBusy() && Running() != next.kind)
        return false;
    if (!IsPortOpen())
        OpenPort(portName);
    const bool wasBusy = IsBusy();
    next.step = Step::Handshake;
    Begin(std::move(next));
    SendHandshake();
    if (!wasBusy)
        emit BusyChanged(true);
    return true;
}

bool TProgramLink::StartAreaRead(int area, NextRead rule)
{
    if (IsBusy() || area < frame::kDtmfArea || area > frame::kSettingsArea || !IsPortOpen())
        return false;
    Transfer next;
    next.kind = TransferKind::AreaRead;
    next.area = area;
    next.step = Step::Blocks;
    next.rule = rule;
    next.nextBlock = 0;
    Begin(std::move(next));
    SendRequest(area, 0, Granularity::ByteByByte);
    emit BusyChanged(true);
    return true;
}

bool TProgramLink::StartAreaWrite(int area, const std::vector<Block> &blocks, WriteFraming framing)
{
    if (IsBusy() || area < frame::kDtmfArea || area > frame::kSettingsArea || !IsPortOpen())
        return false;
    if (blocks.empty() || blocks.size() > static_cast<std::size_t>(AreaFacts(area).blockCount))
        return false;
    Transfer next;
    next.kind = TransferKind::AreaWrite;
    next.area = area;
    next.step = Step::Blocks;
    next.framing = framing;
    for (std::size_t i = 0; i < blocks.size(); ++i)
        next.writes.push_back(TFrame::BlockWrite(area, static_cast<int>(i), blocks[i], framing));
    Begin(std::move(next));
    SendWrite(m_transfer.writes.front());
    emit BusyChanged(true);
    return true;
}

void TProgramLink::Cancel(TransferEnd reason)
{
    End(reason, true);
}

void TProgramLink::AbandonAreaTransfer(int area, TransferEnd reason)
{
    if (m_transfer.IsAreaTransfer(area))
        End(reason, false);
}

void TProgramLink::Begin(Transfer next)
{
    next.serial = m_transfer.serial + 1;
    m_transfer = std::move(next);
    m_tim1.stop();
    m_settingsPause.stop();
    m_lateAcks.stop();
    m_resendLength = 0;
    DropPartialReply();
}

void TProgramLink::MoveTo(Step step)
{
    m_transfer.step = step;
}

// Leaves every state: nothing is resent or sent after this. Signals go out last, so that their
// handlers find the link idle and may start the next transfer.
void TProgramLink::End(TransferEnd reason, bool closePort)
{
    const TransferKind kind = m_transfer.kind;
    const int area = m_transfer.area;
    if (kind != TransferKind::None)
        m_lastTally = m_transfer.Tally();
    Transfer idle;
    idle.serial = m_transfer.serial + 1;
    m_transfer = std::move(idle);
    m_tim1.stop();
    m_settingsPause.stop();
    m_lateAcks.stop();
    m_resendLength = 0;
    DropPartialReply();
    if (closePort)
        ClosePort();
    if (kind == TransferKind::None)
        return;
    emit BusyChanged(false);
    emit Finished(kind, area, reason);
}

TransferTally TProgramLink::Transfer::Tally() const
{
    const int blockAnswers = std::max(0, kind == TransferKind::MainRead || kind == TransferKind::MainWrite ? answers - 1 : answers);
    switch (kind) {
    case TransferKind::MainRead:
        return {blockAnswers, frame::kMainAnswers - 1};
    case TransferKind::AreaRead:
        return {blockAnswers, AreaFacts(area).blockCount};
    case TransferKind::MainWrite:
    case TransferKind::AreaWrite:
        return {blockAnswers, static_cast<int>(writes.size())};
    case TransferKind::None:
        break;
    }
    return {};
}

bool TProgramLink::ReportProgress()
{
    const quint64 serial = m_transfer.serial;
    emit Progressed(m_transfer.kind, m_transfer.area, m_transfer.answers);
    return Signalled(serial);
}

// ---------------------------------------------------------------- sending

// Hands the bytes to the port one at a time. A closed port refuses them; the transfer then
// simply waits, as it does for a radio that does not answer.
void TProgramLink::SendData(const std::uint8_t *bytes, int count)
{
    for (int i = 0; i < count; ++i)
        m_comm->WriteData(reinterpret_cast<const char *>(bytes + i), 1);
}

// Puts the frame at the start of TxBuffer; bytes after it keep what earlier frames left.
int TProgramLink::PutFrame(const TFrame &frame)
{
    frame.CopyTo(TxBuffer.data());
    return frame.Size();
}

// Sends TxBuffer bytes 0..count-1 as the frame a resend repeats, and gives it a full interval.
void TProgramLink::SendFrame(int count, Granularity granularity)
{
    DropPartialReply();
    m_resendLength = count;
    m_transfer.copies = 1;
    if (granularity == Granularity::ByteByByte)
        SendData(TxBuffer.data(), count);
    else
        m_comm->WriteData(reinterpret_cast<const char *>(TxBuffer.data()), static_cast<quint16>(count));
    m_tim1.start();
}

void TProgramLink::SendHandshake()
{
    const QByteArray &handshake = frame::handshake();
    std::copy(handshake.begin(), handshake.end(), TxBuffer.begin());
    SendFrame(kHandshakeSize, Granularity::ByteByByte);
}

void TProgramLink::SendRequest(int area, int block, Granularity granularity)
{
    SendFrame(PutFrame(TFrame::ReadRequest(area, block)), granularity);
}

// A block with its check value goes out byte by byte and is resent until acknowledged. The
// FSK framing sends the head, then the 28 data bytes, and never repeats them: the editor's
// guard timer ends a write that stays unanswered.
void TProgramLink::SendWrite(const TFrame &frame)
{
    const int size = PutFrame(frame);
    if (m_transfer.framing == WriteFraming::WithCrc) {
        SendFrame(size, Granularity::ByteByByte);
        return;
    }
    DropPartialReply();
    m_tim1.stop();
    m_resendLength = 0;
    SendData(TxBuffer.data(), frame::kHeadSize);
    SendData(TxBuffer.data() + frame::kHeadSize, size - frame::kHeadSize);
}

// The tool's own acknowledgement goes out from a byte of its own, so the frame a resend
// repeats stays as it was.
void TProgramLink::SendToolAck()
{
    static constexpr std::uint8_t ack = frame::kAck;
    SendData(&ack, 1);
}

void TProgramLink::Tim1Timer()
{
    if (!IsBusy() || m_resendLength == 0) {
        m_tim1.stop();
        return;
    }
    DropPartialReply();
    m_comm->WriteData(reinterpret_cast<const char *>(TxBuffer.data()), static_cast<quint16>(m_resendLength));
    ++m_transfer.copies;
    emit Resent(m_transfer.kind, m_transfer.area, ++m_transfer.resends);
}

// The line is quiet once a reply has come: asking again at once spares the rest of the resend
// interval, and the interval starts anew so that only one request is out.
void TProgramLink::ResendNow()
{
    if (!IsBusy() || m_resendLength == 0)
        return;
    Tim1Timer();
    m_tim1.start();
}

// ---------------------------------------------------------------- receiving

// A reply held for its check value that never came counts as one with a wrong check value.
void TProgramLink::DropPartialReply()
{
    if (m_rxFill >= frame::kBodySize)
        MissedCheck();
    m_rxFill = 0;
}

// A partial reply pending while an acknowledgement is due is noise and must not swallow it.
void TProgramLink::Comm1ReceiveData(const QByteArray &chunk)
{
    if (chunk.isEmpty())
        return;
    const auto b0 = static_cast<std::uint8_t>(chunk[0]);
    const bool wholeReply = b0 == frame::kWrite && chunk.size() >= frame::kBodySize;
    const bool awaitedAck = b0 == frame::kAck && m_transfer.ExpectsAck();
    if (m_rxFill == 0 || wholeReply || awaitedAck) {
        DropPartialReply();
        if (b0 == frame::kAck) {
            HandleAck();
            return;
        }
        if (b0 != frame::kWrite)
            return;
    }
    CollectReply(chunk);
}

// A chunk that a frame ended early was handled as the whole chunk would have been; its rest
// matters only to a reply that the chunk continued.
void TProgramLink::Comm1ReceiveRest(const QByteArray &rest)
{
    if (m_rxFill > 0 && !rest.isEmpty())
        CollectReply(rest);
}

void TProgramLink::CollectReply(const QByteArray &bytes)
{
    const int count = std::min(static_cast<int>(bytes.size()), frame::kBufferSize - m_rxFill);
    std::copy(bytes.begin(), bytes.begin() + count, RxBuffer.begin() + m_rxFill);
    m_rxFill += count;
    if (m_rxFill < frame::kBodySize)
        return;  // the rest of the reply follows in the next chunk
    // A radio known to send check values sends one with every reply of an area whose blocks
    // carry one: a reply cut after its data waits for it, so that a reply damaged on the line
    // is not taken without its check. FSK blocks carry none.
    if (m_rxFill < frame::kFrameSize && m_rightChecks == kKnownRadio && RepliesCarryCheck())
        return;

    const int received = m_rxFill;
    std::copy(RxBuffer.begin(), RxBuffer.begin() + received, RxGlobal.begin());
    m_rxFill = 0;
    if (const std::optional<TFrame> reply = TFrame::Parse(RxGlobal.data(), received))
        HandleReply(*reply);
    RxBuffer[0] = 0;
    RxGlobal[0] = 0;
}

void TProgramLink::HandleAck()
{
    switch (m_transfer.kind) {
    case TransferKind::MainRead: MainReadAck(); break;
    case TransferKind::MainWrite:
        if (!HoldsAck())
            MainWriteAck();
        break;
    case TransferKind::AreaWrite:
        if (!HoldsAck())
            AreaWriteAck();
        break;
    case TransferKind::AreaRead:
    case TransferKind::None: break;
    }
}

// A radio slow to acknowledge gets the frame again and may acknowledge every copy. An
// acknowledgement names no frame, so a copy's would pass for the next frame's and the write
// would run a frame ahead of the radio: it would end before the radio took its last frame, and
// a frame the radio missed would never be resent. So the acknowledgement of a frame that went
// out more than once moves the write on once the other copies have been acknowledged too, or
// after a wait of a resend interval per copy (at most kMostHeldIntervals) for those that never
// are; acknowledgements within it are the copies'. A lost acknowledgement thus costs up to half
// an interval more than its resend.
bool TProgramLink::HoldsAck()
{
    if (m_lateAcks.isActive()) {
        if (--m_transfer.lateCopies <= 0)
            LateAcksTimer();  // every copy answered
        return true;
    }
    if (m_transfer.copies <= 1)
        return false;
    m_transfer.lateCopies = m_transfer.copies - 1;
    m_tim1.stop();
    m_resendLength = 0;
    // Copy k went out k - 1 intervals after the first, and its acknowledgement comes as late.
    const int interval = m_tim1.interval();
    m_lateAcks.start(std::min((m_transfer.copies - 1) * interval + interval / 2, kMostHeldIntervals * interval));
    return true;
}

void TProgramLink::LateAcksTimer()
{
    m_lateAcks.stop();
    if (m_transfer.kind == TransferKind::MainWrite)
        MainWriteAck();
    else if (m_transfer.kind == TransferKind::AreaWrite)
        AreaWriteAck();
}

// Routing happens first; the acknowledgement the radio asks for goes out after it.
void TProgramLink::HandleReply(const TFrame &reply)
{
    if (reply.HasCheck() && !CheckAccepts(reply)) {
        ResendNow();
        return;
    }
    const bool ackRequested = reply.Data()[kAckRequestData] == kAckRequest;
    switch (m_transfer.kind) {
    case TransferKind::MainRead: MainReadReply(reply); break;
    case TransferKind::AreaRead: AreaReadReply(reply); break;
    case TransferKind::MainWrite:
    case TransferKind::AreaWrite:
    case TransferKind::None: break;
    }
    if (ackRequested)
        SendToolAck();
}

// A radio that has sent right check values is expected to keep doing so: a wrong one is damage
// on the line, until three come in a row. A radio not known to send right ones (another radio
// on the same port, or one that never computes them) is taken at its word only when it sends
// the same bytes twice, so that one reply damaged on the line never reaches the image.
bool TProgramLink::CheckAccepts(const TFrame &reply)
{
    if (reply.CheckIsRight()) {
        m_rightChecks = std::min(m_rightChecks + 1, kKnownRadio);
        m_wrongChecks = 0;
        m_unconfirmed.clear();
        return true;
    }
    if (!MissedCheck())
        return false;
    const QByteArray bytes = reply.Bytes();
    if (bytes == m_unconfirmed) {
        m_unconfirmed.clear();
        return true;
    }
    m_unconfirmed = bytes;
    return false;
}

bool TProgramLink::RepliesCarryCheck() const
{
    return m_transfer.kind != TransferKind::AreaRead
        || AreaFacts(m_transfer.area).framing == WriteFraming::WithCrc;
}

// False while the radio is still taken for one that sends right check values; true once it
// is not (any more).
bool TProgramLink::MissedCheck()
{
    if (m_rightChecks == kKnownRadio && ++m_wrongChecks < kGiveUpTrust)
        return false;
    m_rightChecks = 0;
    m_wrongChecks = 0;
    return true;
}

// ---------------------------------------------------------------- main read

void TProgramLink::MainReadAck()
{
    if (m_transfer.step != Step::Handshake)
        return;  // only the handshake is acknowledged during a read
    ++m_transfer.answers;
    if (!ReportProgress())
        return;
    MoveTo(Step::Channels);
    m_transfer.nextBlock = 1;
    SendRequest(frame::kMainArea, m_transfer.nextBlock, Granularity::ByteByByte);
}

// The next request follows the block the reply carries, so a radio that answers block 3 to a
// request for 2 is asked for 4. Replies that fit nowhere (another area, a block outside 1..16,
// a block below the one requested, which answers an earlier request, or a settings reply
// before the settings were asked for) are ignored; the resend timer keeps repeating the request.
void TProgramLink::MainReadReply(const TFrame &reply)
{
    const int area = reply.Area();
    const int block = reply.BlockNumber();
    if (m_transfer.step == Step::Channels) {
        if (area != frame::kMainArea || block < m_transfer.nextBlock || !AreaFacts(area).Holds(block))
            return;
        ++m_transfer.answers;
        const quint64 serial = m_transfer.serial;
        emit MainBlockRead(area, block, reply.Data());
        if (!Signalled(serial) || !ReportProgress())
            return;
        m_transfer.nextBlock = block + 1;
        if (m_transfer.nextBlock <= kChannelCount) {
            SendRequest(frame::kMainArea, m_transfer.nextBlock, Granularity::OneWrite);
            return;
        }
        m_tim1.stop();
        m_resendLength = 0;
        MoveTo(Step::SettingsPause);
        m_settingsPause.start();
    } else if (m_transfer.step == Step::Settings) {
        if (area != frame::kSettingsArea || !AreaFacts(area).Holds(block))
            return;
        ++m_transfer.answers;
        const quint64 serial = m_transfer.serial;
        emit MainBlockRead(area, block, reply.Data());
        if (!Signalled(serial) || !ReportProgress())
            return;
        End(TransferEnd::Completed, true);
    }
}

void TProgramLink::SettingsPauseTimer()
{
    if (m_transfer.kind != TransferKind::MainRead || m_transfer.step != Step::SettingsPause)
        return;
    MoveTo(Step::Settings);
    SendRequest(frame::kSettingsArea, 0, Granularity::ByteByByte);
}

// ---------------------------------------------------------------- main write

// Every acknowledgement moves the write on by one frame: handshake, channels 1..16, settings.
void TProgramLink::MainWriteAck()
{
    const int step = ++m_transfer.answers;
    if (!ReportProgress())
        return;
    MoveTo(Step::Blocks);
    if (step >= frame::kMainAnswers)
        End(TransferEnd::Completed, true);
    else
        SendWrite(m_transfer.writes[static_cast<std::size_t>(step - 1)]);
}

// ---------------------------------------------------------------- area transfers

// Replies of another area and blocks beyond the area are ignored and not counted. A block below
// the one requested answers an earlier request (a radio slower than the resend answers both
// copies) and is ignored as well: counted, it would skip a block of a read by count.
void TProgramLink::AreaReadReply(const TFrame &reply)
{
    const int area = reply.Area();
    const int block = reply.BlockNumber();
    const TArea &facts = AreaFacts(m_transfer.area);
    if (area != m_transfer.area || !facts.Holds(block) || block < m_transfer.nextBlock)
        return;
    ++m_transfer.answers;
    const quint64 serial = m_transfer.serial;
    emit AreaBlockRead(area, block, reply.Data());
    if (!Signalled(serial) || !ReportProgress())
        return;
    m_transfer.nextBlock = m_transfer.rule == NextRead::CountReplies ? m_transfer.answers : block + 1;
    if (m_transfer.nextBlock >= facts.EndBlock())
        End(TransferEnd::Completed, false);
    else
        SendRequest(m_transfer.area, m_transfer.nextBlock, Granularity::ByteByByte);
}

// The write completes on the acknowledgement of its last block, not on sending it.
void TProgramLink::AreaWriteAck()
{
    const int acknowledged = ++m_transfer.answers;
    if (!ReportProgress())
        return;
    if (acknowledged >= static_cast<int>(m_transfer.writes.size()))
        End(TransferEnd::Completed, false);
    else
        SendWrite(m_transfer.writes[static_cast<std::size_t>(acknowledged)]);
}
