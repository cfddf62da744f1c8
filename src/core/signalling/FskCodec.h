#pragma once

#include "signalling/FskTexts.h"
#include "signalling/SignallingArea.h"

// Memory area 2 of the radio, encoded from and decoded into the FSK editor's texts. A write
// sends each block's head and data apart, without a check value.
class TFskCodec : public TSignallingArea {
public:
    explicit TFskCodec(TFskTexts &texts);

    int Area() const override;
    std::vector<Block> EncodeBlocks() const override;
    void DecodeBlock(int block, const Block &data) override;

private:
    void DecodeEntry(int entry, const Block &data, int offset);

    TFskTexts &m_texts;
};
