#include "protocol/ProgramLink.h"

#include <algorithm>

namespace {

constexpr int kResendIntervalMs = 300;
// The radio wants a short gap between the last channel reply and the settings request.
constexpr int kSettingsPauseMs = 2;
constexpr int kChannelCount = frame::kChannelCount;
// Acknowledgements of a main write: the handshake, 16 channels and the settings block.
constexpr int kMainWriteAcks = kChannelCount + 2;
constexpr int kHandshakeSize = 7;
// A reply byte 5 of 0x30 asks the tool to answer with one 0x06 byte.
constexpr int kAckRequestOffset = 5;
constexpr std::uint8_t kAckRequest = 0x30;

}  // namespace

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
    connect(m_comm.get(), &TSerialChannel::OnReceiveData, this, &TProgramLink::Comm1ReceiveData);
}

TProgramLink::~TProgramLink()
{
    disconnect(m_comm.get(), nullptr, this, nullptr);
    m_tim1.stop();
    m_settingsPause.stop();
    m_comm->ClosePort();
}

// ---------------------------------------------------------------- port

void TProgramLink::OpenPort(const QString &name)
{
    if (m_comm->IsOpen())
        return;
    m_comm->SetCommName(name);
    m_comm->OpenPort();
    emit PortOpenChanged(true);
}

void TProgramLink::ClosePort()
{
    if (!m_comm->IsOpen())
        return;
    m_comm->ClosePort();
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

// ---------------------------------------------------------------- starting and ending

bool TProgramLink::StartMainRead(const QString &portName)
{
    return StartMain(TransferKind::MainRead, portName, [this] {
        m_readPhase = ReadPhase::Handshake;
        ReadBlock = 0;
    });
}

bool TProgramLink::StartMainWrite(const QString &portName, const MainImage &image)
{
    return StartMain(TransferKind::MainWrite, portName, [this, &image] {
        m_image = image;
        WriteStep = 0;
    });
}

// Opens the port when it is closed, then starts (or restarts) from the handshake.
bool TProgramLink::StartMain(TransferKind kind, const QString &portName, const std::function<void()> &reset)
{
    if (IsBusy() && m_kind != kind)
        return false;
    if (!IsPortOpen())
        OpenPort(portName);
    const bool wasBusy = IsBusy();
    Begin(kind, -1);
    reset();
    SendHandshake();
    if (!wasBusy)
        emit BusyChanged(true);
    return true;
}

bool TProgramLink::StartAreaRead(int area, NextRead rule)
{
    if (IsBusy() || area < frame::kDtmfArea || area > frame::kSettingsArea || !IsPortOpen())
        return false;
    Begin(TransferKind::AreaRead, area);
    m_nextRead = rule;
    m_nextBlock = 0;
    SendRequest(area, 0, Granularity::ByteByByte);
    emit BusyChanged(true);
    return true;
}

bool TProgramLink::StartAreaWrite(int area, const std::vector<Block> &blocks, WriteFraming framing)
{
    if (IsBusy() || area < frame::kDtmfArea || area > frame::kSettingsArea || !IsPortOpen())
        return false;
    if (blocks.empty() || blocks.size() > static_cast<std::size_t>(frame::blockCount(area)))
        return false;
    Begin(TransferKind::AreaWrite, area);
    m_blocks = blocks;
    m_framing = framing;
    SendAreaBlock(0);
    emit BusyChanged(true);
    return true;
}

void TProgramLink::Cancel()
{
    End(false, true);
}

void TProgramLink::AbandonAreaTransfer(int area)
{
    const bool areaTransfer = m_kind == TransferKind::AreaRead || m_kind == TransferKind::AreaWrite;
    if (areaTransfer && m_area == area)
        End(false, false);
}

void TProgramLink::Begin(TransferKind kind, int area)
{
    m_kind = kind;
    m_area = area;
    ++m_generation;
    m_answers = 0;
    m_tim1.stop();
    m_settingsPause.stop();
    m_resendLength = 0;
    DropPartialReply();
}

// Leaves every state: nothing is resent or sent after this. Signals go out last, so that their
// handlers find the link idle and may start the next transfer.
void TProgramLink::End(bool completed, bool closePort)
{
    const TransferKind kind = m_kind;
    const int area = m_area;
    m_kind = TransferKind::None;
    m_area = -1;
    ++m_generation;
    m_tim1.stop();
    m_settingsPause.stop();
    m_resendLength = 0;
    m_blocks.clear();
    DropPartialReply();
    if (closePort)
        ClosePort();
    if (kind == TransferKind::None)
        return;
    emit BusyChanged(false);
    emit Finished(kind, area, completed);
}

bool TProgramLink::ReportProgress()
{
    const quint64 generation = m_generation;
    emit Progressed(m_kind, m_area, m_answers);
    return generation == m_generation;
}

// ---------------------------------------------------------------- sending

// Hands the bytes to the port one at a time. A closed port refuses them; the transfer then
// simply waits, as it does for a radio that does not answer.
void TProgramLink::SendData(const std::uint8_t *bytes, int count)
{
    for (int i = 0; i < count; ++i)
        m_comm->WriteData(reinterpret_cast<const char *>(bytes + i), 1);
}

void TProgramLink::FrameCrc()
{
    const std::uint16_t crc = ::FrameCrc(TxBuffer.data(), frame::kBodySize);
    TxBuffer[frame::kBodySize] = static_cast<std::uint8_t>(crc >> 8);
    TxBuffer[frame::kBodySize + 1] = static_cast<std::uint8_t>(crc & 0xFF);
}

void TProgramLink::PutHead(std::uint8_t command, int area, int block)
{
    TxBuffer[0] = command;
    TxBuffer[1] = static_cast<std::uint8_t>(area);
    TxBuffer[2] = static_cast<std::uint8_t>(block);
    TxBuffer[3] = frame::kLength;
}

void TProgramLink::PutData(const Block &data)
{
    std::copy(data.begin(), data.end(), TxBuffer.begin() + frame::kHeadSize);
}

// Sends TxBuffer bytes 0..count-1 as the frame a resend repeats, and gives it a full interval.
void TProgramLink::SendFrame(int count, Granularity granularity)
{
    DropPartialReply();
    m_resendLength = count;
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
    PutHead(frame::kRead, area, block);
    SendFrame(frame::kHeadSize, granularity);
}

void TProgramLink::SendBlock(int area, int block, const Block &data)
{
    PutHead(frame::kWrite, area, block);
    PutData(data);
    FrameCrc();
    SendFrame(frame::kFrameSize, Granularity::ByteByByte);
}

// Area 2: the head, then the 28 data bytes, no check value. The radio gets no repeat of it;
// the editor's guard timer ends a write that stays unanswered.
void TProgramLink::SendBlockWithoutCrc(int area, int block, const Block &data)
{
    PutHead(frame::kWrite, area, block);
    PutData(data);
    DropPartialReply();
    m_tim1.stop();
    m_resendLength = 0;
    SendData(TxBuffer.data(), frame::kHeadSize);
    SendData(TxBuffer.data() + frame::kHeadSize, frame::kDataSize);
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
}

// ---------------------------------------------------------------- receiving

void TProgramLink::DropPartialReply()
{
    m_rxFill = 0;
}

void TProgramLink::Comm1ReceiveData(const QByteArray &chunk)
{
    if (chunk.isEmpty())
        return;
    const auto b0 = static_cast<std::uint8_t>(chunk[0]);
    const bool wholeReply = b0 == frame::kWrite && chunk.size() >= frame::kBodySize;
    const bool awaitedAck = b0 == frame::kAck && ExpectsAck();
    if (m_rxFill == 0 || wholeReply || awaitedAck) {
        DropPartialReply();
        if (b0 == frame::kAck) {
            HandleAck();
            return;
        }
        if (b0 != frame::kWrite)
            return;
    }
    const int count = std::min(static_cast<int>(chunk.size()), frame::kBufferSize - m_rxFill);
    std::copy(chunk.begin(), chunk.begin() + count, RxBuffer.begin() + m_rxFill);
    m_rxFill += count;
    if (m_rxFill < frame::kBodySize)
        return;  // the rest of the reply follows in the next chunk

    std::copy(RxBuffer.begin(), RxBuffer.begin() + m_rxFill, RxGlobal.begin());
    m_rxFill = 0;
    HandleReply();
    RxBuffer[0] = 0;
    RxGlobal[0] = 0;
}

// While a frame waits for its acknowledgement no reply is due, so a partial reply pending then
// is noise and must not swallow the acknowledgement.
bool TProgramLink::ExpectsAck() const
{
    return m_kind == TransferKind::MainWrite || m_kind == TransferKind::AreaWrite
        || (m_kind == TransferKind::MainRead && m_readPhase == ReadPhase::Handshake);
}

void TProgramLink::HandleAck()
{
    switch (m_kind) {
    case TransferKind::MainRead: MainReadAck(); break;
    case TransferKind::MainWrite: MainWriteAck(); break;
    case TransferKind::AreaWrite: AreaWriteAck(); break;
    case TransferKind::AreaRead:
    case TransferKind::None: break;
    }
}

// A complete reply is in RxGlobal. Bytes after the first 32 (the radio's check value) are not
// used. Routing happens first; the acknowledgement the radio asks for goes out after it.
void TProgramLink::HandleReply()
{
    const int area = RxGlobal[1];
    const int block = RxGlobal[2];
    const bool ackRequested = RxGlobal[kAckRequestOffset] == kAckRequest;
    switch (m_kind) {
    case TransferKind::MainRead: MainReadReply(area, block); break;
    case TransferKind::AreaRead: AreaReadReply(area, block); break;
    case TransferKind::MainWrite:
    case TransferKind::AreaWrite:
    case TransferKind::None: break;
    }
    if (ackRequested)
        SendToolAck();
}

Block TProgramLink::ReplyData() const
{
    Block data{};
    std::copy_n(RxGlobal.begin() + frame::kHeadSize, frame::kDataSize, data.begin());
    return data;
}

// ---------------------------------------------------------------- main read

void TProgramLink::MainReadAck()
{
    if (m_readPhase != ReadPhase::Handshake)
        return;  // only the handshake is acknowledged during a read
    ++m_answers;
    if (!ReportProgress())
        return;
    m_readPhase = ReadPhase::Channels;
    ReadBlock = 1;
    SendRequest(frame::kMainArea, ReadBlock, Granularity::ByteByByte);
}

// The next request follows the block the reply carries, so a radio that answers block 3 to a
// request for 2 is asked for 4. Replies that fit nowhere (another area, a block outside 1..16,
// a block below the one requested, which answers an earlier request, or a settings reply
// before the settings were asked for) are ignored; the resend timer keeps repeating the request.
void TProgramLink::MainReadReply(int area, int block)
{
    if (m_readPhase == ReadPhase::Channels) {
        if (area != frame::kMainArea || block < ReadBlock || block > kChannelCount)
            return;
        ++m_answers;
        const quint64 generation = m_generation;
        emit MainBlockRead(area, block, ReplyData());
        if (generation != m_generation || !ReportProgress())
            return;
        ReadBlock = block + 1;
        if (ReadBlock <= kChannelCount) {
            SendRequest(frame::kMainArea, ReadBlock, Granularity::OneWrite);
            return;
        }
        m_tim1.stop();
        m_resendLength = 0;
        m_readPhase = ReadPhase::SettingsPause;
        m_settingsPause.start();
    } else if (m_readPhase == ReadPhase::Settings) {
        if (area != frame::kSettingsArea || block != 0)
            return;
        ++m_answers;
        const quint64 generation = m_generation;
        emit MainBlockRead(area, block, ReplyData());
        if (generation != m_generation || !ReportProgress())
            return;
        End(true, true);
    }
}

void TProgramLink::SettingsPauseTimer()
{
    if (m_kind != TransferKind::MainRead || m_readPhase != ReadPhase::SettingsPause)
        return;
    m_readPhase = ReadPhase::Settings;
    SendRequest(frame::kSettingsArea, 0, Granularity::ByteByByte);
}

// ---------------------------------------------------------------- main write

// Every acknowledgement moves the write on by one frame: handshake, channels 1..16, settings.
void TProgramLink::MainWriteAck()
{
    ++WriteStep;
    m_answers = WriteStep;
    if (!ReportProgress())
        return;
    if (WriteStep >= kMainWriteAcks)
        End(true, true);
    else if (WriteStep == kMainWriteAcks - 1)
        SendBlock(frame::kSettingsArea, 0, m_image.settings);
    else
        SendBlock(frame::kMainArea, WriteStep, m_image.channels[static_cast<std::size_t>(WriteStep - 1)]);
}

// ---------------------------------------------------------------- area transfers

// Replies of another area and blocks beyond the area are ignored and not counted. Reading by
// reply, a block below the one requested answers an earlier request and is ignored as well.
void TProgramLink::AreaReadReply(int area, int block)
{
    const int count = frame::blockCount(m_area);
    if (area != m_area || block >= count)
        return;
    if (m_nextRead == NextRead::FollowReply && block < m_nextBlock)
        return;
    ++m_answers;
    const quint64 generation = m_generation;
    emit AreaBlockRead(area, block, ReplyData());
    if (generation != m_generation || !ReportProgress())
        return;
    m_nextBlock = m_nextRead == NextRead::CountReplies ? m_answers : block + 1;
    if (m_nextBlock >= count)
        End(true, false);
    else
        SendRequest(m_area, m_nextBlock, Granularity::ByteByByte);
}

// The write completes on the acknowledgement of its last block, not on sending it.
void TProgramLink::AreaWriteAck()
{
    ++m_answers;
    if (!ReportProgress())
        return;
    if (m_answers >= static_cast<int>(m_blocks.size()))
        End(true, false);
    else
        SendAreaBlock(m_answers);
}

void TProgramLink::SendAreaBlock(int index)
{
    const Block &data = m_blocks[static_cast<std::size_t>(index)];
    if (m_framing == WriteFraming::HeadThenData)
        SendBlockWithoutCrc(m_area, index, data);
    else
        SendBlock(m_area, index, data);
}
