#pragma once

#include "signalling/FiveToneTexts.h"
#include "signalling/SignallingArea.h"

// Memory area 4 of the radio, encoded from and decoded into the five-tone editor's texts.
class TFiveToneCodec : public TSignallingArea {
public:
    explicit TFiveToneCodec(TFiveToneTexts &texts);

    int Area() const override;
    std::vector<Block> EncodeBlocks() const override;
    // Blocks outside 0..16 are ignored.
    void DecodeBlock(int block, const Block &data) override;

private:
    void EncodeStandards(Block &data) const;
    void EncodeEncodeEntry(int entry, Block &data, int offset) const;
    void EncodeDecodeEntry(int entry, Block &data, int offset) const;
    void DecodeStandards(const Block &data);
    void DecodeEncodeEntry(int entry, const Block &data, int offset);
    void DecodeDecodeEntry(int entry, const Block &data, int offset);

    TFiveToneTexts &m_texts;
};
