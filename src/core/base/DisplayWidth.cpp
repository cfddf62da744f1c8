#include "base/DisplayWidth.h"

#include <QList>

namespace {

struct Range {
    char32_t first;
    char32_t last;
};

// East Asian Wide and Fullwidth blocks: Hangul Jamo, CJK radicals to Yi, Hangul syllables, CJK
// compatibility, vertical and small forms, full-width forms, the supplementary ideographs.
constexpr Range kWide[] = {
    {0x1100, 0x115F}, {0x2E80, 0x303E}, {0x3041, 0x33FF}, {0x3400, 0x4DBF},
    {0x4E00, 0x9FFF}, {0xA000, 0xA4CF}, {0xAC00, 0xD7A3}, {0xF900, 0xFAFF},
    {0xFE10, 0xFE19}, {0xFE30, 0xFE6F}, {0xFF00, 0xFF60}, {0xFFE0, 0xFFE6},
    {0x1F300, 0x1F64F}, {0x1F900, 0x1F9FF}, {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD},
};

int CodePointWidth(char32_t c)
{
    if (c < 0x20 || (c >= 0x7F && c < 0xA0))
        return 0;
    const QChar::Category category = QChar::category(c);
    if (category == QChar::Mark_NonSpacing || category == QChar::Mark_Enclosing || category == QChar::Other_Format)
        return 0;
    for (const Range &range : kWide)
        if (c >= range.first && c <= range.last)
            return 2;
    return 1;
}

}  // namespace

int DisplayWidth(const QString &text)
{
    int width = 0;
    for (char32_t c : text.toUcs4())
        width += CodePointWidth(c);
    return width;
}
