#pragma once

#include "base/Block.h"
#include "protocol/Areas.h"

#include <QByteArray>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

// Frame layout on the wire (offsets in bytes):
//   0      command: 'R' (0x52) read request, 'W' (0x57) data block
//   1      area 0..5
//   2      block within the area
//   3      length, always 0x20 (head + data)
//   4..31  28 data bytes
//   32..33 FrameCrc of bytes 0..31, high byte first
// A read request is the head alone; an area 2 (FSK) block is written without the check value.
namespace frame {

constexpr std::uint8_t kRead = 0x52;
constexpr std::uint8_t kWrite = 0x57;
constexpr std::uint8_t kAck = 0x06;
constexpr std::uint8_t kLength = 0x20;
constexpr int kHeadSize = 4;
constexpr int kDataSize = kBlockSize;
constexpr int kBodySize = kHeadSize + kDataSize;  // 32: what a reply must carry
constexpr int kFrameSize = kBodySize + 2;         // 34: a block with its check value
constexpr int kBufferSize = 20001;

inline const QByteArray &handshake()
{
    static const QByteArray bytes("PROGRAM");
    return bytes;
}

}  // namespace frame

// CRC-16/MODBUS: poly 0x8005 reflected (0xA001), init 0xFFFF, no final XOR, check("123456789") 0x4B37;
// a frame stores it high byte first, unlike MODBUS.
std::uint16_t FrameCrc(const std::uint8_t *bytes, int count);
std::uint16_t FrameCrc(const QByteArray &bytes);

// The answer that received bytes begin with, once the whole of it is there: 1 for an
// acknowledgement, 34 for a read reply whose check value is right; 0 for anything else (too few
// bytes yet, a wrong check value, noise), which the port then leaves to the silence that ends
// every chunk. The port's frame rule: it may use nothing but its arguments.
std::size_t CompleteAnswerLength(const char *bytes, std::size_t count);

// One frame as a value: the only place where frames are built, and where received bytes are
// taken apart.
class TFrame {
public:
    // 52 area block 20: the head alone.
    static TFrame ReadRequest(int area, int block);
    // 57 area block 20, the data and the check value: 34 bytes.
    static TFrame BlockWrite(int area, int block, const Block &data);
    // 57 area block 20 and the data, no check value: 32 bytes (the FSK area's framing).
    static TFrame BlockWithoutCheck(int area, int block, const Block &data);
    static TFrame BlockWrite(int area, int block, const Block &data, WriteFraming framing);

    // Bytes from the start of a frame: a read request needs 4 of them, a data block 32, and 34
    // or more carry its check value (bytes after the 34th are not looked at). nullopt for too
    // few bytes or a first byte that is no command. The length byte is taken as it is.
    static std::optional<TFrame> Parse(const std::uint8_t *bytes, int count);
    static std::optional<TFrame> Parse(const QByteArray &bytes);

    std::uint8_t Command() const { return m_bytes[0]; }
    bool IsReadRequest() const { return Command() == frame::kRead; }
    int Area() const { return m_bytes[1]; }
    int BlockNumber() const { return m_bytes[2]; }
    std::uint8_t Length() const { return m_bytes[3]; }
    // Zero for a read request.
    Block Data() const;
    bool HasCheck() const { return m_size == frame::kFrameSize; }
    // The check value as carried, high byte first; 0 without one.
    std::uint16_t Check() const;
    bool CheckIsRight() const;

    int Size() const { return m_size; }  // 4, 32 or 34
    QByteArray Bytes() const;
    // Puts the Size() bytes at out.
    void CopyTo(std::uint8_t *out) const;

    bool operator==(const TFrame &other) const { return Bytes() == other.Bytes(); }

private:
    TFrame() = default;
    static TFrame Head(std::uint8_t command, int area, int block);
    void PutData(const Block &data);
    void PutCheck();

    std::array<std::uint8_t, frame::kFrameSize> m_bytes{};
    int m_size = 0;
};

// The bytes of TFrame's builders, for tests and tools that compare what is on the wire.
QByteArray readRequest(int area, int block);
QByteArray blockFrame(int area, int block, const Block &data);
QByteArray blockFrameWithoutCrc(int area, int block, const Block &data);

// The 28 data bytes from offset on (missing bytes 0), and back.
Block blockFromBytes(const QByteArray &bytes, int offset = frame::kHeadSize);
QByteArray bytesFromBlock(const Block &data);
