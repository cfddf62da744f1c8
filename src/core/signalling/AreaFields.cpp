#include "signalling/AreaFields.h"

#include "base/ShownText.h"
#include "base/TextConvert.h"

void EncodeField(const TControlField &field, const TControlTexts &controls, Block &data)
{
    if (field.convert.kind == TConvertKind::Flag) {
        WriteLe(data, field.offset, field.width, StoredFlag(controls.Checked(field.key)));
        return;
    }
    try {
        EncodeText(field, controls.Text(field.key), data);
    } catch (const EConvertError &e) {
        throw e.WithPlace(ShownText(controls.Spec(field.key).label));
    }
}

void DecodeField(const TControlField &field, const Block &data, TControlTexts &controls)
{
    if (field.convert.kind == TConvertKind::Flag) {
        controls.SetChecked(field.key, ShownChecked(field.convert, ReadLe(data, field.offset, field.width)));
        return;
    }
    // A code it does not know empties the box, which a write then refuses: the text of the radio
    // read before would be written over the code.
    controls.SetText(field.key, DecodeText(field, data).value_or(QString()));
}

TEntryPlace PairEntryPlace(int entry)
{
    constexpr int kFirstOffset = 20;
    constexpr int kInBlock0 = 2;
    constexpr int kPerBlock = 7;
    if (entry <= kInBlock0)
        return {0, kFirstOffset + kPairEntrySize * (entry - 1)};
    const int k = entry - kInBlock0 - 1;
    return {1 + k / kPerBlock, kPairEntrySize * (k % kPerBlock)};
}
