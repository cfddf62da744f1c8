#include "protocol/Frame.h"

namespace frame {

int blockCount(int area)
{
    switch (area) {
    case kMainArea: return 17;
    case kDtmfArea: return 4;
    case kFskArea: return 3;
    case kTwoToneArea: return 11;
    case kFiveToneArea: return 17;
    case kSettingsArea: return 1;
    default: return 0;
    }
}

}  // namespace frame

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

QByteArray readRequest(int area, int block)
{
    QByteArray head(frame::kHeadSize, '\0');
    head[0] = static_cast<char>(frame::kRead);
    head[1] = static_cast<char>(area);
    head[2] = static_cast<char>(block);
    head[3] = static_cast<char>(frame::kLength);
    return head;
}

QByteArray blockFrameWithoutCrc(int area, int block, const Block &data)
{
    QByteArray bytes = readRequest(area, block);
    bytes[0] = static_cast<char>(frame::kWrite);
    bytes.append(bytesFromBlock(data));
    return bytes;
}

QByteArray blockFrame(int area, int block, const Block &data)
{
    QByteArray bytes = blockFrameWithoutCrc(area, block, data);
    const std::uint16_t crc = FrameCrc(bytes);
    bytes.append(static_cast<char>(crc >> 8));
    bytes.append(static_cast<char>(crc & 0xFF));
    return bytes;
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
