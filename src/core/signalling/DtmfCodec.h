#pragma once

#include "signalling/DtmfTexts.h"
#include "signalling/SignallingArea.h"

#include <array>
#include <cstdint>

// Memory area 1 of the radio, encoded from and decoded into the DTMF editor's texts.
class TDtmfCodec : public TSignallingArea {
public:
    // ID code count, then the counts of memories 1-8: all the radio keeps.
    static constexpr int kDigitCounts = 9;

    explicit TDtmfCodec(TDtmfTexts &texts);

    int Area() const override;
    std::vector<Block> EncodeBlocks() const override;
    void DecodeBlock(int block, const Block &data) override;

    // Offsets 19-27 of the last block 0 read.
    const std::array<std::uint8_t, kDigitCounts> &DigitCounts() const { return m_digitCounts; }

private:
    void DecodeSettings(const Block &data);
    void DecodeMemories(int block, const Block &data);

    TDtmfTexts &m_texts;
    std::array<std::uint8_t, kDigitCounts> m_digitCounts{};
};
