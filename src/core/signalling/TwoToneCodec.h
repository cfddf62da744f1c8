#pragma once

#include "signalling/SignallingArea.h"
#include "signalling/TwoToneTexts.h"

// Memory area 3 of the radio, encoded from and decoded into the two-tone editor's texts.
class TTwoToneCodec : public TSignallingArea {
public:
    explicit TTwoToneCodec(TTwoToneTexts &texts);

    int Area() const override;
    std::vector<Block> EncodeBlocks() const override;
    // Blocks outside 0..10 are ignored.
    void DecodeBlock(int block, const Block &data) override;

private:
    void EncodeDecodeEntry(int entry, Block &data, int offset) const;
    void DecodeDecodeEntry(int entry, const Block &data, int offset);

    TTwoToneTexts &m_texts;
};
