#include "base/TextConvert.h"
#include "support/core/ConvertErrors.h"

#include <QtTest>

class TestTextConvert : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void integers_data();
    void integers();
    void floats_data();
    void floats();
    void range();
};

void TestTextConvert::integers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<qint64>("value");
    QTest::addRow("decimal") << "255" << true << qint64(255);
    QTest::addRow("hex with dollar") << "$1F" << true << qint64(31);
    QTest::addRow("hex with 0x") << "0x10" << true << qint64(16);
    QTest::addRow("negative") << "-5" << true << qint64(-5);
    QTest::addRow("blanks around") << " 7 " << true << qint64(7);
    QTest::addRow("empty") << "" << false << qint64(0);
    QTest::addRow("single space") << " " << false << qint64(0);
    QTest::addRow("fraction") << "1.5" << false << qint64(0);
    QTest::addRow("letters") << "12a" << false << qint64(0);
    QTest::addRow("double sign") << "--5" << false << qint64(0);
    QTest::addRow("dollar alone") << "$" << false << qint64(0);
    // Refused, its message quoting the text whole, past the NUL.
    QTest::addRow("a NUL inside") << QStringLiteral("1") + QChar(0) + QStringLiteral("2") << false << qint64(0);
    QTest::addRow("hex with a NUL inside") << QStringLiteral("$1") + QChar(0) << false << qint64(0);
    QTest::addRow("full-width digits") << "１２" << false << qint64(0);
    QTest::addRow("hex prefix twice") << "$0x10" << false << qint64(0);
    QTest::addRow("too large") << "9223372036854775808" << false << qint64(0);
    QTest::addRow("sign after the prefix") << "$-1" << false << qint64(0);
    QTest::addRow("negative hex") << "-$10" << true << qint64(-16);
}

void TestTextConvert::integers()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(qint64, value);
    if (valid)
        QCOMPARE(StrToInt(text), value);
    else
        QCOMPARE(ConvertErrorOf([&] { StrToInt(text); }), QStringLiteral("'%1' is not a valid integer value").arg(text));
}

void TestTextConvert::floats_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("value");
    QTest::addRow("plain") << "438.5" << true << 438.5;
    QTest::addRow("whole") << "440" << true << 440.0;
    QTest::addRow("leading point") << ".5" << true << 0.5;
    QTest::addRow("exponent") << "1e3" << true << 1000.0;
    QTest::addRow("comma") << "438,5" << false << 0.0;
    QTest::addRow("empty") << "" << false << 0.0;
    QTest::addRow("words") << "abc" << false << 0.0;
}

void TestTextConvert::floats()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(double, value);
    if (valid)
        QCOMPARE(StrToFloat(text), value);
    else
        QCOMPARE(ConvertErrorOf([&] { StrToFloat(text); }), QStringLiteral("'%1' is not a valid floating point value").arg(text));
}

void TestTextConvert::range()
{
    QCOMPARE(StrToIntRange("65535", 0, 65535), qint64(65535));
    QString placed;
    try {
        StrToIntRange("65536", 0, 65535);
    } catch (const EConvertError &e) {
        placed = e.WithPlace("步进").message();
    }
    QCOMPARE(placed, QStringLiteral("步进: '65536' is not in the range 0 to 65535"));
}

QTEST_GUILESS_MAIN(TestTextConvert)
#include "tst_textconvert.moc"
