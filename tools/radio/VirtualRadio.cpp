#include "radio/VirtualRadio.h"

#include <utility>

namespace {

constexpr int kFarBlock = 0x7F;  // beyond the last block of every area
constexpr std::uint8_t kCorruptMask = 0x01;

std::uint8_t at(const QByteArray &bytes, int i)
{
    return static_cast<std::uint8_t>(bytes[i]);
}

}  // namespace

bool RadioFaults::add(const QString &spec, QString *error)
{
    const int eq = spec.indexOf(QLatin1Char('='));
    const QString name = eq < 0 ? spec : spec.left(eq);
    const bool hasCount = eq >= 0;
    bool ok = false;
    const int count = hasCount ? spec.mid(eq + 1).toInt(&ok) : 0;
    auto fail = [error](const QString &message) {
        if (error)
            *error = message;
        return false;
    };
    if (hasCount && (!ok || count < 1) && name != QLatin1String("random"))
        return fail(QStringLiteral("fault \"%1\": \"%2\" is not a count of 1 or more").arg(name, spec.mid(eq + 1)));
    const FaultTrigger trigger = hasCount ? FaultTrigger::nth(count) : FaultTrigger::always();

    // The faults that strike every answer, or only the N-th.
    static const std::pair<const char *, FaultTrigger RadioFaults::*> kTriggered[] = {
        {"drop", &RadioFaults::drop},           {"split", &RadioFaults::split},
        {"garbage", &RadioFaults::garbage},     {"wrong-block", &RadioFaults::wrongBlock},
        {"far-block", &RadioFaults::farBlock},  {"bad-check", &RadioFaults::badCheck},
        {"trailing", &RadioFaults::trailing},   {"corrupt", &RadioFaults::corrupt},
        {"bad-data", &RadioFaults::badData},
    };
    for (const auto &[triggeredName, member] : kTriggered) {
        if (name == QLatin1String(triggeredName)) {
            this->*member = (this->*member).joined(trigger);
            return true;
        }
    }

    if (name == QLatin1String("silent")) {
        if (hasCount)
            return fail(QStringLiteral("fault \"silent\" takes no count"));
        silent = true;
    } else if (name == QLatin1String("random")) {
        QString text = spec.mid(eq + 1);
        if (text.endsWith(QLatin1Char('%')))
            text.chop(1);
        const int percent = text.toInt(&ok);
        if (!hasCount || !ok || percent < 1 || percent > 100)
            return fail(QStringLiteral("fault \"random\" needs a share of 1 to 100 %: random=P%"));
        randomPercent = percent;
    } else if (name == QLatin1String("seed")) {
        if (!hasCount)
            return fail(QStringLiteral("fault \"seed\" needs a number: seed=N"));
        seed = static_cast<quint32>(count);
    } else if (name == QLatin1String("disappear")) {
        if (!hasCount)
            return fail(QStringLiteral("fault \"disappear\" needs a count: disappear=N"));
        disappearAfter = count;
    } else {
        return fail(QStringLiteral("unknown fault \"%1\" (known: silent, drop, split, garbage, wrong-block, "
                                   "far-block, bad-check, bad-data, trailing, corrupt, disappear, random, seed)").arg(name));
    }
    return true;
}

QStringList RadioFaults::descriptions()
{
    return {
        QStringLiteral("silent          hear nothing, store nothing, answer nothing"),
        QStringLiteral("drop[=N]        do not send the N-th answer (acknowledgement or reply); a write is still stored"),
        QStringLiteral("split[=N]       send the N-th read reply in two parts, 25 ms apart"),
        QStringLiteral("garbage[=N]     send noise bytes (15 A5 5A 57 06 00 FF 52), then after 25 ms the N-th answer"),
        QStringLiteral("wrong-block[=N] answer the N-th read request with the frame of the next block"),
        QStringLiteral("far-block[=N]   answer the N-th read request with block number 0x7F"),
        QStringLiteral("bad-check[=N]   send the N-th read reply with a wrong check value"),
        QStringLiteral("bad-data[=N]    send the N-th read reply with data byte 25 changed after its check value was computed"),
        QStringLiteral("trailing[=N]    send stray bytes (06 57 06) right after the N-th answer, without a pause"),
        QStringLiteral("corrupt[=N]     acknowledge the N-th written block but store it with data byte 0 changed"),
        QStringLiteral("disappear=N     close the device after N frames (their answers are sent)"),
        QStringLiteral("random=P%       P % of the answers meet one of drop, split, garbage, wrong-block, far-block"),
        QStringLiteral("seed=N          seed of the random faults (default 1)"),
        QStringLiteral("Without =N a fault strikes every time; N counts from 1; given again with another N, it"),
        QStringLiteral("strikes at each of them."),
    };
}

const QByteArray &VirtualRadio::garbageBytes()
{
    // Starts with neither 06 nor 57, so the tool drops the chunk; holds both further in.
    static const QByteArray bytes = QByteArray::fromHex("15A55A570600FF52");
    return bytes;
}

const QByteArray &VirtualRadio::trailingBytes()
{
    // An acknowledgement and a reply's start: taken for the next answer, they would move a write
    // on before the radio acknowledged it.
    static const QByteArray bytes = QByteArray::fromHex("065706");
    return bytes;
}

VirtualRadio::VirtualRadio(const TRadioImage &image) : m_image(image), m_rng(m_faults.seed) {}

void VirtualRadio::setFaults(const RadioFaults &faults)
{
    m_faults = faults;
    m_rng.seed(faults.seed);
}

std::vector<RadioSend> VirtualRadio::handle(const QByteArray &bytes)
{
    std::vector<RadioSend> out;
    if (m_gone || m_faults.silent)
        return out;
    m_input += bytes;
    while (!m_gone) {
        const Parse result = parseOne(out);
        if (result == Parse::NeedMore)
            break;
        if (result == Parse::Skip)
            m_input.remove(0, 1);
    }
    if (m_gone)
        m_input.clear();
    return out;
}

VirtualRadio::Parse VirtualRadio::parseOne(std::vector<RadioSend> &out)
{
    if (m_input.isEmpty())
        return Parse::NeedMore;
    switch (at(m_input, 0)) {
    case 'P':
        return parseHandshake(out);
    case frame::kRead:
        return parseRequest(out);
    case frame::kWrite:
        return parseWrite(out);
    case frame::kAck:  // the tool acknowledges some replies; nothing to do
        m_input.remove(0, 1);
        return Parse::Consumed;
    default:
        return Parse::Skip;
    }
}

VirtualRadio::Parse VirtualRadio::parseHandshake(std::vector<RadioSend> &out)
{
    const QByteArray &hs = frame::handshake();
    const int n = static_cast<int>(qMin(m_input.size(), hs.size()));
    if (m_input.left(n) != hs.left(n))
        return Parse::Skip;
    if (n < hs.size())
        return Parse::NeedMore;
    m_input.remove(0, hs.size());
    answer(QByteArray(1, char(frame::kAck)), false, out);
    frameHeard();
    return Parse::Consumed;
}

// 52 area block 20: the head alone.
VirtualRadio::Parse VirtualRadio::parseRequest(std::vector<RadioSend> &out)
{
    const std::optional<TFrame> request = TFrame::Parse(m_input.left(frame::kHeadSize));
    if (!request)
        return Parse::NeedMore;
    if (request->Length() != frame::kLength)
        return Parse::Skip;
    m_input.remove(0, request->Size());
    if (TRadioImage::contains(request->Area(), request->BlockNumber()))
        answer(replyFor(request->Area(), request->BlockNumber(), m_replies + 1), true, out);
    frameHeard();
    return Parse::Consumed;
}

// 57 area block 20, 28 data bytes, and the check value unless the area is written without one.
// A frame whose check value is wrong is taken for a misread start: skip one byte and look again.
VirtualRadio::Parse VirtualRadio::parseWrite(std::vector<RadioSend> &out)
{
    if (m_input.size() < frame::kHeadSize)
        return Parse::NeedMore;
    if (at(m_input, 3) != frame::kLength)
        return Parse::Skip;
    const int area = at(m_input, 1);
    const bool withCheck = !IsArea(area) || AreaFacts(area).framing == WriteFraming::WithCrc;
    const int size = withCheck ? frame::kFrameSize : frame::kBodySize;
    const std::optional<TFrame> write = TFrame::Parse(m_input.left(size));
    if (!write || write->Size() < size)
        return Parse::NeedMore;
    if (withCheck && !write->CheckIsRight())
        return Parse::Skip;
    m_input.remove(0, size);
    if (TRadioImage::contains(area, write->BlockNumber())) {
        Block data = write->Data();
        ++m_stored;
        if (m_faults.corrupt.strikes(m_stored))
            data[0] ^= kCorruptMask;
        m_image.setBlock(area, write->BlockNumber(), data);
        answer(QByteArray(1, char(frame::kAck)), false, out);
    }
    frameHeard();
    return Parse::Consumed;
}

void VirtualRadio::frameHeard()
{
    ++m_frames;
    if (m_faults.disappearAfter > 0 && m_frames >= m_faults.disappearAfter)
        m_gone = true;
}

QByteArray VirtualRadio::replyFor(int area, int block, int replyNo) const
{
    if (m_faults.farBlock.strikes(replyNo))
        return misdirected(area, block, Fault::FarBlock);
    if (m_faults.wrongBlock.strikes(replyNo))
        return misdirected(area, block, Fault::WrongBlock);
    return TFrame::BlockWrite(area, block, m_image.block(area, block)).Bytes();
}

QByteArray VirtualRadio::misdirected(int area, int block, Fault fault) const
{
    if (fault == Fault::FarBlock)
        return TFrame::BlockWrite(area, kFarBlock, m_image.block(area, block)).Bytes();
    const int next = block + 1;
    const Block &data = TRadioImage::contains(area, next) ? m_image.block(area, next) : m_image.block(area, block);
    return TFrame::BlockWrite(area, next, data).Bytes();
}

// Acknowledgements can only be dropped or follow noise; replies meet any of the five.
VirtualRadio::Fault VirtualRadio::pickRandomFault(bool isReply)
{
    if (m_faults.randomPercent <= 0 || static_cast<int>(m_rng.bounded(100)) >= m_faults.randomPercent)
        return Fault::None;
    static constexpr Fault kForReplies[] = {Fault::Drop, Fault::Split, Fault::Garbage, Fault::WrongBlock, Fault::FarBlock};
    const Fault fault = isReply ? kForReplies[m_rng.bounded(5)] : (m_rng.bounded(2) ? Fault::Drop : Fault::Garbage);
    switch (fault) {
    case Fault::Drop: ++m_random.drop; break;
    case Fault::Split: ++m_random.split; break;
    case Fault::Garbage: ++m_random.garbage; break;
    case Fault::WrongBlock: ++m_random.wrongBlock; break;
    case Fault::FarBlock: ++m_random.farBlock; break;
    case Fault::None: break;
    }
    return fault;
}

void VirtualRadio::answer(QByteArray bytes, bool isReply, std::vector<RadioSend> &out)
{
    ++m_answers;
    if (isReply)
        ++m_replies;
    const Fault random = pickRandomFault(isReply);
    if (random == Fault::WrongBlock || random == Fault::FarBlock)
        bytes = misdirected(at(bytes, 1), at(bytes, 2), random);
    int pause = m_latencyMs;
    if (m_faults.garbage.strikes(m_answers) || random == Fault::Garbage) {
        out.push_back({pause, garbageBytes()});
        pause = kSplitPauseMs;
    }
    if (m_faults.drop.strikes(m_answers) || random == Fault::Drop)
        return;
    if (isReply && m_faults.badCheck.strikes(m_replies))
        bytes[frame::kFrameSize - 1] = static_cast<char>(at(bytes, frame::kFrameSize - 1) ^ 0xFF);
    if (isReply && m_faults.badData.strikes(m_replies))
        bytes[frame::kHeadSize + 25] = static_cast<char>(at(bytes, frame::kHeadSize + 25) ^ 0x5A);
    if (m_faults.trailing.strikes(m_answers))
        bytes += trailingBytes();
    if (isReply && (m_faults.split.strikes(m_replies) || random == Fault::Split)) {
        const int half = static_cast<int>(bytes.size() / 2);
        out.push_back({pause, bytes.left(half)});
        out.push_back({kSplitPauseMs, bytes.mid(half)});
        return;
    }
    out.push_back({pause, std::move(bytes)});
}

void VirtualRadio::reconnect()
{
    m_gone = false;
    m_frames = 0;
    m_faults.disappearAfter = 0;
}
