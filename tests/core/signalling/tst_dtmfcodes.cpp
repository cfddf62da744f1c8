#include "signalling/DtmfCodes.h"

#include "base/TextConvert.h"
#include "support/core/ConvertErrors.h"

#include <QtTest>

class TestDtmfCodes : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void textToCode_data();
    void textToCode();
    void codeToText_data();
    void codeToText();
    void everyCharacterRoundTrips();
    void significantDigits_data();
    void significantDigits();
    void checkDigitText_data();
    void checkDigitText();
};

void TestDtmfCodes::textToCode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<uint>("dtmf");
    QTest::addColumn<uint>("id");
    QTest::addRow("star zero hash") << "*0#" << 0xBACu << 0xABCu;
    QTest::addRow("digits") << "123" << 0x123u << 0x123u;
    QTest::addRow("D alone is zero") << "D" << 0u << 0u;
    QTest::addRow("letters") << "ABCD" << 0xDEF0u << 0xDEF0u;
    QTest::addRow("lower-case letters") << "abcd" << 0xDEF0u << 0xDEF0u;
    QTest::addRow("other characters skipped") << "12X4" << 0x124u << 0x124u;
    QTest::addRow("eight characters") << "90*#5678" << 0x9ABC5678u << 0x9BAC5678u;
    QTest::addRow("empty") << "" << 0u << 0u;
}

void TestDtmfCodes::textToCode()
{
    QFETCH(QString, text);
    QFETCH(uint, dtmf);
    QFETCH(uint, id);
    QCOMPARE(uint(DtmfTextToCode(text)), dtmf);
    QCOMPARE(uint(IdTextToCode(text)), id);
}

void TestDtmfCodes::codeToText_data()
{
    QTest::addColumn<uint>("code");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("dtmf");
    QTest::addColumn<QString>("id");
    QTest::addRow("leading D from the count") << 0x1234u << 6 << "DD1234" << "DD1234";
    QTest::addRow("tables differ in 0 and *") << 0xBACu << 3 << "*0#" << "0*#";
    QTest::addRow("count below the digits") << 0x12345678u << 4 << "5678" << "5678";
    // The code holds eight digits: a larger count is damage, not more D's.
    QTest::addRow("count beyond eight digits") << 0x12345678u << 10 << "12345678" << "12345678";
    QTest::addRow("trailing D") << 0xDEF0u << 4 << "ABCD" << "ABCD";
    QTest::addRow("zero code") << 0u << 5 << "" << "";
    QTest::addRow("zero count") << 0x12u << 0 << "" << "";
}

void TestDtmfCodes::codeToText()
{
    QFETCH(uint, code);
    QFETCH(int, count);
    QFETCH(QString, dtmf);
    QFETCH(QString, id);
    QCOMPARE(DtmfCodeToText(code, count), dtmf);
    QCOMPARE(IdCodeToText(code, count), id);
}

void TestDtmfCodes::everyCharacterRoundTrips()
{
    // "D" is code 0 and needs a character before it to survive.
    for (const QChar c : QStringLiteral("1234567890*#ABCD")) {
        const QString text = QStringLiteral("1") + c;
        QCOMPARE(DtmfCodeToText(DtmfTextToCode(text), 2), text);
        QCOMPARE(IdCodeToText(IdTextToCode(text), 2), text);
    }
}

void TestDtmfCodes::significantDigits_data()
{
    QTest::addColumn<uint>("code");
    QTest::addColumn<int>("digits");
    QTest::addRow("zero") << 0u << 0;
    QTest::addRow("three") << 0xBACu << 3;
    QTest::addRow("trailing zeros count") << 0x1000u << 4;
    QTest::addRow("all eight") << 0xFFFFFFFFu << 8;
}

void TestDtmfCodes::significantDigits()
{
    QFETCH(uint, code);
    QFETCH(int, digits);
    QCOMPARE(SignificantDigits(code), digits);
}

void TestDtmfCodes::checkDigitText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addRow("empty") << "" << true;
    QTest::addRow("all kinds") << "*0#ABCD9" << true;
    QTest::addRow("lower-case a-d") << "abcd" << true;
    QTest::addRow("foreign letter") << "12X4" << false;
    QTest::addRow("lower-case e") << "e" << false;
    QTest::addRow("blank inside") << "1 2" << false;
    QTest::addRow("nine characters") << "123456789" << false;
}

void TestDtmfCodes::checkDigitText()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(ConvertErrorOf([&] { CheckDigitText(text); }),
             valid ? QStringLiteral("accepted")
                   : QStringLiteral("'%1' is not a DTMF code of up to 8 characters 0-9, A-D, *, #").arg(text));
}

QTEST_GUILESS_MAIN(TestDtmfCodes)
#include "tst_dtmfcodes.moc"
