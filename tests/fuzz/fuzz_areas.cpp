// The codecs of every memory area on any bytes a radio may send: the channels and settings,
// and the four signalling areas. Decoding never fails, and what a window then shows is written
// as bytes that show the very same texts when read again: a read followed by a write must not
// change what the user saw. The channels and settings are always written; a signalling area
// may instead be refused with its message, where the radio held a code its lists lack. From then on,
// reading and writing back changes neither a text nor a byte. The one exception to the first
// rule is a five-tone decode entry whose standard the radio gives as no known one: it shows an
// empty standard beside zero codes, and its bytes, written with standard 0, are all zero, which
// the radio takes for an entry not in use.
#include "mainconfig/MainCodec.h"
#include "mainconfig/MainConfig.h"
#include "mainconfig/MainSnapshot.h"
#include "protocol/Areas.h"
#include "signalling/DtmfCodec.h"
#include "signalling/DtmfTexts.h"
#include "signalling/EditorArea.h"
#include "signalling/EditorSnapshot.h"
#include "signalling/FiveToneCodec.h"
#include "signalling/FiveToneTexts.h"
#include "signalling/FskCodec.h"
#include "signalling/FskTexts.h"
#include "signalling/TwoToneCodec.h"
#include "signalling/TwoToneTexts.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// The input's bytes as `count` blocks; past its end every byte is 0.
std::vector<Block> Blocks(const uint8_t *data, size_t size, int count)
{
    std::vector<Block> blocks(static_cast<std::size_t>(count), Block{});
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const std::size_t from = i * kBlockSize;
        if (from < size)
            std::memcpy(blocks[i].data(), data + from, std::min<std::size_t>(kBlockSize, size - from));
    }
    return blocks;
}

template <class Texts, class Codec>
void SignallingRoundTrip(const std::vector<Block> &read, bool shownAsRead = true)
{
    TEditorArea<Texts, Codec> radio;
    for (std::size_t block = 0; block < read.size(); ++block)
        radio.codec.DecodeBlock(static_cast<int>(block), read[block]);
    std::vector<Block> written;
    try {
        written = radio.codec.EncodeBlocks();
    } catch (const EConvertError &) {
        return;  // refused with its message; nothing is written
    }
    Check(written.size() == read.size());
    TEditorArea<Texts, Codec> again;
    for (std::size_t block = 0; block < written.size(); ++block)
        again.codec.DecodeBlock(static_cast<int>(block), written[block]);
    Check(!shownAsRead || TakeSnapshot(again.texts) == TakeSnapshot(radio.texts));
    const std::vector<Block> rewritten = again.codec.EncodeBlocks();  // what was written is writable
    Check(rewritten == written);
    TEditorArea<Texts, Codec> third;
    for (std::size_t block = 0; block < rewritten.size(); ++block)
        third.codec.DecodeBlock(static_cast<int>(block), rewritten[block]);
    Check(TakeSnapshot(third.texts) == TakeSnapshot(again.texts));
}

// Blocks 1 to 16 are the channels, then the settings block.
void MainRoundTrip(const std::vector<Block> &read)
{
    TMainConfig radio;
    for (int n = 1; n <= frame::kChannelCount; ++n)
        DecodeMainBlock(radio, frame::kMainArea, n, read[static_cast<std::size_t>(n - 1)]);
    DecodeMainBlock(radio, frame::kSettingsArea, 0, read.back());
    const MainImage written = BuildMainImage(radio);  // throws, and the fuzzer reports it, on a refusal
    TMainConfig again;
    for (int n = 1; n <= frame::kChannelCount; ++n)
        DecodeMainBlock(again, frame::kMainArea, n, written.channels[static_cast<std::size_t>(n - 1)]);
    DecodeMainBlock(again, frame::kSettingsArea, 0, written.settings);
    Check(TakeSnapshot(again) == TakeSnapshot(radio));
    const MainImage rewritten = BuildMainImage(again);
    Check(rewritten.channels == written.channels && rewritten.settings == written.settings);
    TMainConfig third;
    for (int n = 1; n <= frame::kChannelCount; ++n)
        DecodeMainBlock(third, frame::kMainArea, n, rewritten.channels[static_cast<std::size_t>(n - 1)]);
    DecodeMainBlock(third, frame::kSettingsArea, 0, rewritten.settings);
    Check(TakeSnapshot(third) == TakeSnapshot(again));
}

}  // namespace

// The first byte picks the area; the rest are its blocks, 28 bytes each.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const int pick = data[0] % 5;
    const uint8_t *rest = data + 1;
    const std::size_t restSize = size - 1;
    switch (pick) {
    case 0: MainRoundTrip(Blocks(rest, restSize, frame::kChannelCount + 1)); break;
    case 1:
        SignallingRoundTrip<TDtmfTexts, TDtmfCodec>(Blocks(rest, restSize, AreaFacts(frame::kDtmfArea).blockCount));
        break;
    case 2: SignallingRoundTrip<TFskTexts, TFskCodec>(Blocks(rest, restSize, AreaFacts(frame::kFskArea).blockCount)); break;
    case 3:
        SignallingRoundTrip<TTwoToneTexts, TTwoToneCodec>(
            Blocks(rest, restSize, AreaFacts(frame::kTwoToneArea).blockCount));
        break;
    default:
        SignallingRoundTrip<TFiveToneTexts, TFiveToneCodec>(
            Blocks(rest, restSize, AreaFacts(frame::kFiveToneArea).blockCount), false);
        break;
    }
    return 0;
}
