#include "protocol/Frame.h"

#include <algorithm>

std::uint16_t FrameCrc(const std::uint8_t *bytes, int count)
{
    std::uint16_t crc = 0xFFFF;
    for (int i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : static_cast<std::uint16_t>(crc >> 1);
    }
    return crc;
}

std::uint16_t FrameCrc(const QByteArray &bytes)
{
    return FrameCrc(reinterpret_cast<const std::uint8_t *>(bytes.constData()), static_cast<int>(bytes.size()));
}

std::size_t CompleteAnswerLength(const char *bytes, std::size_t count)
{
    if (count == 0)
        return 0;
    const auto *data = reinterpret_cast<const std::uint8_t *>(bytes);
    if (data[0] == frame::kAck)
        return 1;
    if (data[0] != frame::kWrite || count < std::size_t(frame::kFrameSize))
        return 0;
    const std::uint16_t carried = static_cast<std::uint16_t>(data[frame::kBodySize] << 8 | data[frame::kBodySize + 1]);
    return FrameCrc(data, frame::kBodySize) == carried ? std::size_t(frame::kFrameSize) : 0;
}

// ---------------------------------------------------------------- building

TFrame TFrame::Head(std::uint8_t command, int area, int block)
{
    TFrame frame;
    frame.m_bytes[0] = command;
    frame.m_bytes[1] = static_cast<std::uint8_t>(area);
    frame.m_bytes[2] = static_cast<std::uint8_t>(block);
    frame.m_bytes[3] = frame::kLength;
    frame.m_size = frame::kHeadSize;
    return frame;
}

void TFrame::PutData(const Block &data)
{
    std::copy(data.begin(), data.end(), m_bytes.begin() + frame::kHeadSize);
    m_size = frame::kBodySize;
}

void TFrame::PutCheck()
{
    const std::uint16_t crc = FrameCrc(m_bytes.data(), frame::kBodySize);
    m_bytes[frame::kBodySize] = static_cast<std::uint8_t>(crc >> 8);
    m_bytes[frame::kBodySize + 1] = static_cast<std::uint8_t>(crc & 0xFF);
    m_size = frame::kFrameSize;
}

TFrame TFrame::ReadRequest(int area, int block)
{
    return Head(frame::kRead, area, block);
}

TFrame TFrame::BlockWithoutCheck(int area, int block, const Block &data)
{
    TFrame frame = Head(frame::kWrite, area, block);
    frame.PutData(data);
    return frame;
}

TFrame TFrame::BlockWrite(int area, int block, const Block &data)
{
    TFrame frame = BlockWithoutCheck(area, block, data);
    frame.PutCheck();
    return frame;
}

TFrame TFrame::BlockWrite(int area, int block, const Block &data, WriteFraming framing)
{
    return framing == WriteFraming::HeadThenData ? BlockWithoutCheck(area, block, data)
                                                 : BlockWrite(area, block, data);
}

// ---------------------------------------------------------------- taking apart

std::optional<TFrame> TFrame::Parse(const std::uint8_t *bytes, int count)
{
    if (count < frame::kHeadSize)
        return std::nullopt;
    int size = 0;
    if (bytes[0] == frame::kRead)
        size = frame::kHeadSize;
    else if (bytes[0] == frame::kWrite && count >= frame::kBodySize)
        size = count >= frame::kFrameSize ? frame::kFrameSize : frame::kBodySize;
    else
        return std::nullopt;
    TFrame frame;
    std::copy_n(bytes, size, frame.m_bytes.begin());
    frame.m_size = size;
    return frame;
}

std::optional<TFrame> TFrame::Parse(const QByteArray &bytes)
{
    return Parse(reinterpret_cast<const std::uint8_t *>(bytes.constData()), static_cast<int>(bytes.size()));
}

Block TFrame::Data() const
{
    Block data{};
    if (m_size >= frame::kBodySize)
        std::copy_n(m_bytes.begin() + frame::kHeadSize, frame::kDataSize, data.begin());
    return data;
}

std::uint16_t TFrame::Check() const
{
    if (!HasCheck())
        return 0;
    return static_cast<std::uint16_t>(m_bytes[frame::kBodySize] << 8 | m_bytes[frame::kBodySize + 1]);
}

bool TFrame::CheckIsRight() const
{
    return HasCheck() && Check() == FrameCrc(m_bytes.data(), frame::kBodySize);
}

QByteArray TFrame::Bytes() const
{
    return QByteArray(reinterpret_cast<const char *>(m_bytes.data()), m_size);
}

void TFrame::CopyTo(std::uint8_t *out) const
{
    std::copy_n(m_bytes.begin(), m_size, out);
}

// ---------------------------------------------------------------- shorthands

QByteArray readRequest(int area, int block)
{
    return TFrame::ReadRequest(area, block).Bytes();
}

QByteArray blockFrame(int area, int block, const Block &data)
{
    return TFrame::BlockWrite(area, block, data).Bytes();
}

QByteArray blockFrameWithoutCrc(int area, int block, const Block &data)
{
    return TFrame::BlockWithoutCheck(area, block, data).Bytes();
}

Block blockFromBytes(const QByteArray &bytes, int offset)
{
    Block data{};
    for (int i = 0; i < frame::kDataSize && offset + i < bytes.size(); ++i)
        data[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(bytes[offset + i]);
    return data;
}

QByteArray bytesFromBlock(const Block &data)
{
    return QByteArray(reinterpret_cast<const char *>(data.data()), frame::kDataSize);
}
