#include "editors/FormLayout.h"

#include "signalling/FiveToneTexts.h"

const TFormLayout &DtmfLayout()
{
    static const TFormLayout layout = [] {
        TFormLayout l;
        l.width = 428;
        l.height = 485;
        const QString encode = QStringLiteral(QT_TRANSLATE_NOOP("Texts", "DTMF编码"));
        const QString decode = QStringLiteral(QT_TRANSLATE_NOOP("Texts", "DTMF解码"));
        l.pages = {encode, decode};
        l.initialPage = 0;
        for (const char *name : {"xg2", "cb1", "cb2", "cb3", "cb4", "cb5", "CheckB1"})
            l.placements.push_back({QString::fromLatin1(name), encode, encode, false});
        for (const char *name : {"Edit1", "cb6", "cb7", "cb8", "cb9", "CheckB2"})
            l.placements.push_back({QString::fromLatin1(name), decode, decode, false});
        return l;
    }();
    return layout;
}

const TFormLayout &TwoToneLayout()
{
    static const TFormLayout layout = [] {
        TFormLayout form;
        form.width = 685;
        form.height = 563;
        form.pages = QStringList{QT_TRANSLATE_NOOP("Texts", "编码"), QT_TRANSLATE_NOOP("Texts", "解码")};
        form.initialPage = 0;
        const QString tones = QStringLiteral(QT_TRANSLATE_NOOP("Texts", "两音频率"));
        form.placements = {
            {QStringLiteral("xg1"), "编码", QString(), false},
            {"cb1", "编码", QString(), false},
            {"cb2", "编码", QString(), false},
            {"cb3", "编码", QString(), false},
            {QStringLiteral("xg2"), "解码", QT_TRANSLATE_NOOP("Texts", "2TONE解码"), false},
            {"ed1", QString(), tones, true},
            {"ed2", QString(), tones, true},
            {"ed3", QString(), tones, true},
            {"ed4", QString(), tones, true},
            {"ed5", QString(), tones, false},
        };
        return form;
    }();
    return layout;
}

const TFormLayout &FiveToneLayout()
{
    static const TFormLayout layout = [] {
        TFormLayout form;
        form.width = 777;
        form.height = 529;
        form.pages = QStringList{QT_TRANSLATE_NOOP("Texts", "标准"), QT_TRANSLATE_NOOP("Texts", "编码"), QT_TRANSLATE_NOOP("Texts", "解码")};
        form.initialPage = 2;
        form.placements.push_back({QStringLiteral("CCIR"), "标准", QString(), false});
        for (int digit = 1; digit <= TFiveToneTexts::kDigits; ++digit)
            form.placements.push_back({QStringLiteral("Edit%1").arg(digit), "标准", QString(), true});
        form.placements.push_back({QStringLiteral("xg1"), "标准", QString(), false});
        form.placements.push_back({QStringLiteral("xg2"), "编码", QString(), false});
        for (int i = 1; i <= TFiveToneTexts::kDelays; ++i)
            form.placements.push_back({QStringLiteral("cb%1").arg(i), "编码", QString(), false});
        form.placements.push_back({QStringLiteral("xg3"), "解码", QString(), false});
        form.placements.push_back({"ed1", "解码", QString(), false});
        return form;
    }();
    return layout;
}

const TFormLayout &FskLayout()
{
    static const TFormLayout layout = [] {
        TFormLayout l;
        l.width = 696;
        l.height = 480;
        for (const char *name : {"ed1", "ed2", "cb1", "ed3", "ed4", "CheckBox1", "xg1"})
            l.placements.push_back({QString::fromLatin1(name), {}, {}, false});
        return l;
    }();
    return layout;
}
