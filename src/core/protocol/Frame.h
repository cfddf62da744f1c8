#pragma once

#include "base/Block.h"

#include <QByteArray>
#include <array>
#include <cstdint>

// Frame layout on the wire (offsets in bytes):
//   0      command: 'R' (0x52) read request, 'W' (0x57) data block
//   1      area 0..5
//   2      block within the area
//   3      length, always 0x20 (head + data)
//   4..31  28 data bytes
//   32..33 CRC-16 of bytes 0..31, high byte first
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

constexpr int kMainArea = 0;
constexpr int kDtmfArea = 1;
constexpr int kFskArea = 2;
constexpr int kTwoToneArea = 3;
constexpr int kFiveToneArea = 4;
constexpr int kSettingsArea = 5;
// Area 0 holds the channels as blocks 1..16; block 0 is never read or written.
constexpr int kChannelCount = 16;

// Number of blocks in each area (area 0 uses blocks 1..16; block 0 is never touched).
int blockCount(int area);

inline const QByteArray &handshake()
{
    static const QByteArray bytes("PROGRAM");
    return bytes;
}

}  // namespace frame

// CRC-16 with the reflected polynomial 0xA001, initial 0xFFFF, no final XOR (CRC-16/MODBUS).
std::uint16_t FrameCrc(const std::uint8_t *bytes, int count);
std::uint16_t FrameCrc(const QByteArray &bytes);

QByteArray readRequest(int area, int block);
// 34 bytes: head, data, check value high byte first.
QByteArray blockFrame(int area, int block, const Block &data);
// 32 bytes: head and data, no check value (area 2).
QByteArray blockFrameWithoutCrc(int area, int block, const Block &data);

Block blockFromBytes(const QByteArray &bytes, int offset = frame::kHeadSize);
QByteArray bytesFromBlock(const Block &data);
