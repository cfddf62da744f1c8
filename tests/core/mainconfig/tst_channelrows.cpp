#include "mainconfig/ChannelRows.h"

#include "mainconfig/MainConfig.h"
#include "mainconfig/MainSnapshot.h"

#include <QtTest>

namespace {

// A table written as 16 characters, one per channel: a letter is a channel in use whose texts
// all name that letter, '.' an empty channel.
QStringList ChannelTexts(QChar letter)
{
    const int n = letter.unicode() - 'A';
    QStringList texts{QStringLiteral("%1.00000").arg(400 + n), QStringLiteral("%1.50000").arg(400 + n)};
    for (int c = col::ToneDecode; c < col::Count; ++c)
        texts << QStringLiteral("%1%2").arg(letter).arg(c);
    return texts;
}

// What the radio reported for a channel, marked with its letter in the bytes no text assigns.
Block RadioBlock(QChar letter)
{
    Block data{};
    data[24] = static_cast<std::uint8_t>(letter.unicode());
    return data;
}

void Fill(TMainConfig &config, const QString &table)
{
    for (int channel = 1; channel <= 16; ++channel) {
        const QChar letter = table.at(channel - 1);
        QStringList row{QString::number(channel)};
        row += letter == QLatin1Char('.') ? QStringList(15, QString()) : ChannelTexts(letter);
        config.SetRow(channel, row);
        if (letter != QLatin1Char('.'))
            config.RememberReadBlock(frame::kMainArea, channel, RadioBlock(letter));
    }
}

// The letter of the radio block each channel carries, '.' for none.
QString ReadLetters(const TMainConfig &config)
{
    QString letters;
    for (int channel = 1; channel <= 16; ++channel) {
        const std::optional<Block> read = config.ChannelRead(channel);
        letters += read ? QChar((*read)[24]) : QLatin1Char('.');
    }
    return letters;
}

// The table back as letters; '?' for a row that is neither empty nor one whole channel.
QString Letters(const TMainConfig &config)
{
    QString table;
    for (int channel = 1; channel <= 16; ++channel) {
        const QStringList fields = config.Row(channel).mid(1);
        if (fields == QStringList(15, QString()))
            table += QLatin1Char('.');
        else if (fields.at(2).size() == 2 && fields == ChannelTexts(fields.at(2).at(0)))
            table += fields.at(2).at(0);
        else
            table += QLatin1Char('?');
    }
    return table;
}

QString Numbers(const TMainConfig &config)
{
    QStringList numbers;
    for (int channel = 1; channel <= 16; ++channel)
        numbers << config.Cell(channel, col::Number);
    return numbers.join(QLatin1Char(','));
}

}  // namespace

class TestChannelRows : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void operations_data();
    void operations();
};

void TestChannelRows::operations_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("op");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("done");
    QTest::addColumn<QString>("expected");

    const QString full = QStringLiteral("ABCDEFGHIJKLMNOP");
    const QString gap = QStringLiteral("ABCDE...........");
    QTest::addRow("insert one") << gap << "insert" << 2 << 1 << true << "A.BCDE..........";
    QTest::addRow("insert two at the top") << gap << "insert" << 1 << 2 << true << "..ABCDE.........";
    QTest::addRow("insert at the last channel") << gap << "insert" << 16 << 1 << true << gap;
    QTest::addRow("insert refused: channel 16 in use") << full << "insert" << 3 << 1 << false << full;
    QTest::addRow("insert refused: channel 15 pushed off")
        << "ABCDEFGHIJKLMNO." << "insert" << 1 << 2 << false << "ABCDEFGHIJKLMNO.";
    QTest::addRow("delete one") << gap << "delete" << 2 << 1 << true << "ACDE............";
    QTest::addRow("delete channel 16") << full << "delete" << 16 << 1 << true << "ABCDEFGHIJKLMNO.";
    QTest::addRow("delete three") << full << "delete" << 1 << 3 << true << "DEFGHIJKLMNOP...";
    QTest::addRow("up one") << gap << "up" << 3 << 1 << true << "ACBDE...........";
    QTest::addRow("up a block") << gap << "up" << 3 << 2 << true << "ACDBE...........";
    QTest::addRow("up refused at the top") << gap << "up" << 1 << 2 << false << gap;
    QTest::addRow("down one") << gap << "down" << 1 << 1 << true << "BACDE...........";
    QTest::addRow("down a block into empties") << gap << "down" << 4 << 2 << true << "ABC.DE..........";
    QTest::addRow("down refused at the bottom") << full << "down" << 15 << 2 << false << full;
    QTest::addRow("clear two") << gap << "clear" << 2 << 2 << true << "A..DE...........";
    QTest::addRow("range outside the table") << gap << "clear" << 16 << 2 << false << gap;
}

void TestChannelRows::operations()
{
    QFETCH(QString, table);
    QFETCH(QString, op);
    QFETCH(int, first);
    QFETCH(int, count);
    QFETCH(bool, done);
    QFETCH(QString, expected);

    TMainConfig config;
    Fill(config, table);
    const QString numbers = Numbers(config);
    const TMainSnapshot before = TakeSnapshot(config);
    const TChannelRange range{first, count};
    bool result = false;
    if (op == QLatin1String("insert"))
        result = InsertChannels(config, range);
    else if (op == QLatin1String("delete"))
        result = DeleteChannels(config, range);
    else if (op == QLatin1String("up"))
        result = MoveChannels(config, range, -1);
    else if (op == QLatin1String("down"))
        result = MoveChannels(config, range, 1);
    else
        result = ClearChannels(config, range);
    QCOMPARE(result, done);
    QCOMPARE(Letters(config), expected);
    QCOMPARE(Numbers(config), numbers);
    // A channel takes what the radio reported for it along.
    QCOMPARE(ReadLetters(config), expected);
    if (!done)
        QVERIFY(TakeSnapshot(config) == before);
    if (op == QLatin1String("insert"))
        QCOMPARE(ChannelLostByInsert(config, range) != 0, !done);
}

QTEST_GUILESS_MAIN(TestChannelRows)
#include "tst_channelrows.moc"
