#include "base/BlockField.h"

#include "base/TextConvert.h"

#include <QtTest>

namespace {

std::uint32_t TwiceValue(const QString &text)
{
    return static_cast<std::uint32_t>(2 * StrToInt(text));
}

std::optional<QString> HalfText(std::uint32_t value)
{
    if (value % 2 != 0)
        return std::nullopt;
    return QString::number(value / 2);
}

TFieldConvert Convert(const QString &name)
{
    if (name == "number")
        return NumberField();
    if (name == "scaled")
        return NumberField(10);
    if (name == "scaled word")
        return NumberField(100, QStringLiteral("D码"));
    if (name == "word")
        return NumberField(1, QStringLiteral("关"));
    if (name == "plain word")
        return NumberOrWordField(QStringLiteral("无"));
    if (name == "choice")
        return ChoiceField({{QStringLiteral("关"), 0xFF}, {QStringLiteral("A"), 13}});
    if (name == "choice or")
        return ChoiceField({{QStringLiteral("低"), 0x00}, {QStringLiteral("高"), 0xFF}}, 0xFF, QStringLiteral("高"));
    if (name == "custom")
        return CustomField(TwiceValue, HalfText, true);
    return FlagField(name == "exact flag");
}

QString Refusal(const TFieldConvert &convert, int width, const QString &text, const QStringList &offered)
{
    try {
        StoredValue(convert, width, text, offered);
    } catch (const EConvertError &e) {
        return e.message();
    }
    return QStringLiteral("accepted");
}

}  // namespace

class TestBlockField : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void littleEndian_data();
    void littleEndian();
    void stored_data();
    void stored();
    void refused_data();
    void refused();
    void shown_data();
    void shown();
    void flags_data();
    void flags();
    void mayKeepText_data();
    void mayKeepText();
    void fieldInBlock();
};

void TestBlockField::littleEndian_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("width");
    QTest::addColumn<quint32>("value");
    QTest::addColumn<QByteArray>("bytes");  // what the block holds from the offset
    QTest::addRow("one byte") << 0 << 1 << quint32(0xAB) << QByteArray("ab");
    QTest::addRow("two bytes, low first") << 5 << 2 << quint32(0x03E8) << QByteArray("e803");
    QTest::addRow("three bytes") << 1 << 3 << quint32(0x012345) << QByteArray("452301");
    QTest::addRow("four bytes at the end") << 24 << 4 << quint32(0x1A22FAA0) << QByteArray("a0fa221a");
    QTest::addRow("higher bits dropped") << 0 << 2 << quint32(70000) << QByteArray("7011");
}

void TestBlockField::littleEndian()
{
    QFETCH(int, offset);
    QFETCH(int, width);
    QFETCH(quint32, value);
    QFETCH(QByteArray, bytes);
    Block data;
    data.fill(0x55);
    WriteLe(data, offset, width, value);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(data.data()) + offset, width).toHex(), bytes);
    // Neighbours keep their bytes.
    if (offset > 0)
        QCOMPARE(int(data[std::size_t(offset - 1)]), 0x55);
    if (offset + width < kBlockSize)
        QCOMPARE(int(data[std::size_t(offset + width)]), 0x55);
    const quint32 kept = width == 4 ? value : value & ((1u << (8 * width)) - 1);
    QCOMPARE(ReadLe(data, offset, width), kept);
}

void TestBlockField::stored_data()
{
    QTest::addColumn<QString>("convert");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("text");
    QTest::addColumn<quint32>("value");
    QTest::addRow("number") << "number" << 2 << "65535" << quint32(65535);
    QTest::addRow("number, hexadecimal") << "number" << 1 << "$FF" << quint32(255);
    QTest::addRow("scaled") << "scaled" << 1 << "2550" << quint32(255);
    QTest::addRow("zero word") << "scaled word" << 1 << "D码" << quint32(0);
    QTest::addRow("scaled beside a word") << "scaled word" << 1 << "3000" << quint32(30);
    QTest::addRow("plain word") << "plain word" << 1 << "无" << quint32(0);
    QTest::addRow("choice") << "choice" << 1 << "A" << quint32(13);
    QTest::addRow("choice, first entry") << "choice" << 1 << "关" << quint32(0xFF);
    QTest::addRow("choice, other text") << "choice or" << 1 << "" << quint32(0xFF);
    QTest::addRow("custom") << "custom" << 2 << "21" << quint32(42);
}

void TestBlockField::stored()
{
    QFETCH(QString, convert);
    QFETCH(int, width);
    QFETCH(QString, text);
    QFETCH(quint32, value);
    QCOMPARE(StoredValue(Convert(convert), width, text), value);
}

void TestBlockField::refused_data()
{
    QTest::addColumn<QString>("convert");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("offered");
    QTest::addColumn<QString>("message");
    QTest::addRow("not a number") << "number" << 1 << "6x" << QStringList() << "'6x' is not a valid integer value";
    QTest::addRow("too big for one byte") << "number" << 1 << "256" << QStringList()
                                          << "'256' is not in the range 0 to 255";
    QTest::addRow("negative") << "number" << 2 << "-1" << QStringList() << "'-1' is not in the range 0 to 65535";
    QTest::addRow("not a multiple") << "scaled" << 1 << "105" << QStringList()
                                    << "'105' is not a multiple of 10 from 0 to 2550";
    QTest::addRow("word named") << "word" << 1 << "256" << QStringList()
                                << "'256' is not \"关\" or a number from 0 to 255";
    QTest::addRow("word and step named") << "scaled word" << 1 << "150" << QStringList()
                                         << "'150' is not \"D码\" or a multiple of 100 from 0 to 25500";
    QTest::addRow("word not named") << "plain word" << 1 << "256" << QStringList()
                                    << "'256' is not in the range 0 to 255";
    QTest::addRow("choice names its texts") << "choice" << 1 << "E" << QStringList()
                                            << "'E' is not one of 关, A";
    QTest::addRow("choice names the list offered") << "choice" << 1 << "E" << QStringList{"A", "关"}
                                                   << "'E' is not one of A, 关";
}

void TestBlockField::refused()
{
    QFETCH(QString, convert);
    QFETCH(int, width);
    QFETCH(QString, text);
    QFETCH(QStringList, offered);
    QFETCH(QString, message);
    QCOMPARE(Refusal(Convert(convert), width, text, offered), message);
}

void TestBlockField::shown_data()
{
    QTest::addColumn<QString>("convert");
    QTest::addColumn<quint32>("value");
    QTest::addColumn<QString>("text");  // "(kept)" for no change
    QTest::addRow("number") << "number" << quint32(0) << "0";
    QTest::addRow("scaled") << "scaled" << quint32(25) << "250";
    QTest::addRow("zero word") << "scaled word" << quint32(0) << "D码";
    QTest::addRow("beside the word") << "scaled word" << quint32(70) << "7000";
    QTest::addRow("choice") << "choice" << quint32(13) << "A";
    QTest::addRow("unknown code kept") << "choice" << quint32(7) << "(kept)";
    QTest::addRow("unknown code shows other") << "choice or" << quint32(7) << "高";
    QTest::addRow("custom") << "custom" << quint32(42) << "21";
    QTest::addRow("custom keeps") << "custom" << quint32(41) << "(kept)";
}

void TestBlockField::shown()
{
    QFETCH(QString, convert);
    QFETCH(quint32, value);
    QFETCH(QString, text);
    QCOMPARE(ShownText(Convert(convert), value).value_or(QStringLiteral("(kept)")), text);
}

void TestBlockField::flags_data()
{
    QTest::addColumn<QString>("convert");
    QTest::addColumn<quint32>("value");
    QTest::addColumn<bool>("checked");
    QTest::addRow("any non-zero ticks") << "flag" << quint32(1) << true;
    QTest::addRow("zero clears") << "flag" << quint32(0) << false;
    QTest::addRow("exact: 0xFF ticks") << "exact flag" << quint32(0xFF) << true;
    QTest::addRow("exact: 1 does not") << "exact flag" << quint32(1) << false;
}

void TestBlockField::flags()
{
    QFETCH(QString, convert);
    QFETCH(quint32, value);
    QFETCH(bool, checked);
    QCOMPARE(ShownChecked(Convert(convert), value), checked);
    QCOMPARE(StoredFlag(true), 0xFFu);
    QCOMPARE(StoredFlag(false), 0x00u);
}

void TestBlockField::mayKeepText_data()
{
    QTest::addColumn<QString>("convert");
    QTest::addColumn<bool>("keeps");
    QTest::addRow("number") << "number" << false;
    QTest::addRow("choice without other") << "choice" << true;
    QTest::addRow("choice with other") << "choice or" << false;
    QTest::addRow("custom that may keep") << "custom" << true;
}

void TestBlockField::mayKeepText()
{
    QFETCH(QString, convert);
    QFETCH(bool, keeps);
    QCOMPARE(MayKeepText(Convert(convert)), keeps);
}

void TestBlockField::fieldInBlock()
{
    const TBlockField<QString> field{5, 2, QStringLiteral("ed3"), NumberField()};
    Block data{};
    EncodeText(field, QStringLiteral("258"), data);
    QCOMPARE(int(data[5]), 0x02);
    QCOMPARE(int(data[6]), 0x01);
    QCOMPARE(DecodeText(field, data), std::optional<QString>(QStringLiteral("258")));
    QCOMPARE(StoredNumber(QStringLiteral("1000"), 1, 100), 10u);
}

QTEST_GUILESS_MAIN(TestBlockField)
#include "tst_blockfield.moc"
