#pragma once

#include "base/Block.h"
#include "base/LittleEndian.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

// A memory layout as a table: each field is "this text lives in these bytes, converted this
// way". The main configuration and the four signalling areas describe their blocks with it.

enum class TConvertKind {
    Number,  // a whole number, stored divided by `scale`; `zeroWord`, if any, stands for 0
    Flag,    // a check box: stored 0xFF ticked, 0x00 not
    Choice,  // fixed texts for fixed codes
    Custom,  // a conversion of its own (frequencies, tone codes)
};

struct TChoice {
    QString text;
    std::uint32_t code;
};

struct TFieldConvert {
    TConvertKind kind = TConvertKind::Number;

    // Number
    int scale = 1;
    QString zeroWord;
    // A refused number reads "'x' is not in the range 0 to n" even when a zero word exists;
    // otherwise the message names the word and the step ("is not "关" or a number from 0 to n").
    bool plainRange = false;

    // Flag: only 0xFF reads as ticked; otherwise any non-zero byte does.
    bool exactFlag = false;

    // Choice. An empty text stores codeForOther where there is one; any other text outside the
    // list is refused. A code outside the list shows textForOther, or leaves the text as it is.
    std::vector<TChoice> choices;
    std::optional<std::uint32_t> codeForOther;
    std::optional<QString> textForOther;

    // Custom: encode throws EConvertError for a text it refuses; decode gives nullopt to leave
    // the text as it is, which only a conversion with mayKeepText does.
    std::uint32_t (*encode)(const QString &) = nullptr;
    std::optional<QString> (*decode)(std::uint32_t) = nullptr;
    bool mayKeepText = false;
};

TFieldConvert NumberField(int scale = 1, const QString &zeroWord = QString());
// A number whose zero word ("无", "关") is not named when a number is refused.
TFieldConvert NumberOrWordField(const QString &zeroWord);
TFieldConvert FlagField(bool exact = false);
TFieldConvert ChoiceField(std::vector<TChoice> choices, std::optional<std::uint32_t> codeForOther = std::nullopt,
                          std::optional<QString> textForOther = std::nullopt);
TFieldConvert CustomField(std::uint32_t (*encode)(const QString &), std::optional<QString> (*decode)(std::uint32_t),
                          bool mayKeepText);

// One field of a block. Key says where the text lives: a control's object name, a grid column,
// a settings box.
template <typename Key>
struct TBlockField {
    int offset;
    int width;  // 1 to 4 bytes, least significant first
    Key key;
    TFieldConvert convert;
};

// The value a text stores in `width` bytes. Throws EConvertError (without a place) for a text
// that does not fit. A refused Choice text names `offered`, or the choices' texts when empty.
std::uint32_t StoredValue(const TFieldConvert &convert, int width, const QString &text,
                          const QStringList &offered = QStringList());
// The text a stored value shows; nullopt leaves the text as it is. Not for flags.
std::optional<QString> ShownText(const TFieldConvert &convert, std::uint32_t value);

std::uint32_t StoredFlag(bool checked);
bool ShownChecked(const TFieldConvert &convert, std::uint32_t value);

// Whether decoding may leave the field's text as it was.
bool MayKeepText(const TFieldConvert &convert);

// A number text stored in `width` bytes: a whole multiple of scale from 0 to scale times the
// largest value of the bytes, divided by scale.
std::uint32_t StoredNumber(const QString &text, int width, int scale = 1);

template <typename Key>
void EncodeText(const TBlockField<Key> &field, const QString &text, Block &data,
                const QStringList &offered = QStringList())
{
    WriteLe(data, field.offset, field.width, StoredValue(field.convert, field.width, text, offered));
}

template <typename Key>
std::optional<QString> DecodeText(const TBlockField<Key> &field, const Block &data)
{
    return ShownText(field.convert, ReadLe(data, field.offset, field.width));
}
