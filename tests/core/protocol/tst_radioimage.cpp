#include "protocol/FactoryImage.h"
#include "protocol/RadioImage.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

Block blockOf(const char *hex)
{
    return blockFromBytes(QByteArray::fromHex(hex), 0);
}

quint32 le32(const Block &b, int offset)
{
    return quint32(b[offset]) | quint32(b[offset + 1]) << 8 | quint32(b[offset + 2]) << 16 | quint32(b[offset + 3]) << 24;
}

// The factory image as text, with one line replaced (line numbers from 1) or removed.
QByteArray withLine(int lineNo, const QByteArray &replacement, bool remove = false)
{
    QList<QByteArray> lines = FactoryImage().toText().split('\n');
    if (remove)
        lines.removeAt(lineNo - 1);
    else
        lines[lineNo - 1] = replacement;
    return lines.join('\n');
}

}  // namespace

class TestRadioImage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fileLayout();
    void textRoundTrip();
    void fileRoundTrip();
    void tolerated_data();
    void tolerated();
    void malformed_data();
    void malformed();
    void loadErrorsNameTheFile();
    void blockAccess();
    void subsetRoundTrip_data();
    void subsetRoundTrip();
    void subsetMalformed_data();
    void subsetMalformed();
    void emptyImage();
    void factoryMainConfiguration();
    void factorySignalling();
};

void TestRadioImage::fileLayout()
{
    const QByteArray text = FactoryImage().toText();
    QVERIFY(text.endsWith('\n'));
    QVERIFY(!text.contains('\r'));
    const QList<QByteArray> lines = text.left(text.size() - 1).split('\n');
    QCOMPARE(lines.size(), 53);
    QCOMPARE(lines[0], QByteArray("xiepin-image 1"));

    // area 0 blocks 1-16, area 5 block 0, area 1 blocks 0-3, area 2 0-2, area 3 0-10, area 4 0-16
    QList<QByteArray> expected;
    for (int b = 1; b <= 16; ++b)
        expected << "0 " + QByteArray::number(b);
    expected << "5 0";
    const int counts[][2] = {{1, 4}, {2, 3}, {3, 11}, {4, 17}};
    for (const auto &c : counts)
        for (int b = 0; b < c[1]; ++b)
            expected << QByteArray::number(c[0]) + ' ' + QByteArray::number(b);
    QCOMPARE(expected.size(), 52);
    const QRegularExpression hex(QStringLiteral("^[0-9A-F]{56}$"));
    for (int i = 0; i < 52; ++i) {
        const QList<QByteArray> fields = lines[i + 1].split(' ');
        QCOMPARE(fields.size(), 3);
        QCOMPARE(fields[0] + ' ' + fields[1], expected[i]);
        QVERIFY2(hex.match(QString::fromLatin1(fields[2])).hasMatch(), lines[i + 1].constData());
    }
    // Channel 1 is in use in the factory image; its line carries its bytes in order.
    QCOMPARE(lines[1].left(12), QByteArray("0 1 A0FA221A"));
}

void TestRadioImage::textRoundTrip()
{
    TRadioImage image = FactoryImage();
    Block odd{};
    for (int i = 0; i < 28; ++i)
        odd[i] = static_cast<std::uint8_t>(0xF0 + i * 7);
    image.setBlock(4, 16, odd);
    QString error;
    const auto back = TRadioImage::fromText(image.toText(), &error);
    QVERIFY2(back.has_value(), qPrintable(error));
    QVERIFY(*back == image);
    QVERIFY(*back != FactoryImage());
}

void TestRadioImage::fileRoundTrip()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("radio.img"));
    const TRadioImage image = FactoryImage();
    QString error;
    QVERIFY2(image.save(path, &error), qPrintable(error));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), image.toText());
    const auto loaded = TRadioImage::load(path, &error);
    QVERIFY2(loaded.has_value(), qPrintable(error));
    QVERIFY(*loaded == image);

    // Saving over an existing image replaces it whole.
    QVERIFY(TRadioImage().save(path, &error));
    QVERIFY(*TRadioImage::load(path, &error) == TRadioImage());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("radio.img")});
}

void TestRadioImage::tolerated_data()
{
    QTest::addColumn<QByteArray>("text");
    const QByteArray text = FactoryImage().toText();
    QTest::addRow("CR LF line ends") << QByteArray(text).replace("\n", "\r\n");
    QTest::addRow("no LF after the last line") << text.left(text.size() - 1);
    QTest::addRow("notes between the lines") << text.left(text.indexOf("\n0 5 ") + 1) + "# port: COM3\n#\n" + text.mid(text.indexOf("\n0 5 ") + 1);
    QTest::addRow("lower-case hex") << withLine(2, FactoryImage().toText().split('\n')[1].toLower());
}

void TestRadioImage::tolerated()
{
    QFETCH(QByteArray, text);
    QString error;
    const auto image = TRadioImage::fromText(text, &error);
    QVERIFY2(image.has_value(), qPrintable(error));
    QVERIFY(*image == FactoryImage());
}

void TestRadioImage::malformed_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("message");
    const QByteArray zeros(56, '0');
    QTest::addRow("empty file") << QByteArray()
                                << "line 1: expected the header \"xiepin-image 1\", found \"\"";
    QTest::addRow("wrong header") << withLine(1, "xiepin-image 2")
                                  << "line 1: expected the header \"xiepin-image 1\", found \"xiepin-image 2\"";
    QTest::addRow("byte-order mark") << withLine(1, "\xEF\xBB\xBFxiepin-image 1")
                                     << "line 1: expected the header \"xiepin-image 1\", found \"\\xEF\\xBB\\xBFxiepin-image 1\"";
    QTest::addRow("missing block line") << withLine(20, {}, true)
                                        << "line 20: expected area 1 block 1, found area 1 block 2";
    QTest::addRow("too few lines") << FactoryImage().toText().left(FactoryImage().toText().indexOf("\n4 16 "))
                                   << "line 53: missing the line for area 4 block 16 (the image has 51 of 52 block lines)";
    QTest::addRow("extra line") << FactoryImage().toText() + "4 17 " + zeros + '\n'
                                << "line 54: unexpected text after the last block line: \"4 17 " + QString(35, '0') + "...\"";
    QTest::addRow("blank line at the end") << FactoryImage().toText() + '\n'
                                           << "line 54: unexpected text after the last block line: \"\"";
    QTest::addRow("swapped order") << withLine(3, "0 3 " + zeros)
                                   << "line 3: expected area 0 block 2, found area 0 block 3";
    QTest::addRow("area 5 before channel 16") << withLine(17, "5 0 " + zeros)
                                              << "line 17: expected area 0 block 16, found area 5 block 0";
    QTest::addRow("bad hex digit") << withLine(7, "0 6 " + zeros.left(9) + 'G' + zeros.left(46))
                                   << "line 7: \"G\" is not a hex digit (data digit 10)";
    QTest::addRow("too short") << withLine(8, "0 7 " + zeros.left(54))
                               << "line 8: expected 56 hex digits, found 54";
    QTest::addRow("too long") << withLine(8, "0 7 " + zeros + "00")
                              << "line 8: expected 56 hex digits, found 58";
    QTest::addRow("missing field") << withLine(9, "0 8")
                                   << "line 9: expected \"AREA BLOCK HEX\", found \"0 8\"";
    QTest::addRow("two spaces") << withLine(9, "0  8 " + zeros)
                                << "line 9: expected \"AREA BLOCK HEX\", found \"0  8 " + QString(35, '0') + "...\"";
    QTest::addRow("area not a number") << withLine(10, "x 9 " + zeros)
                                       << "line 10: area and block must be decimal numbers, found \"x 9 " + QString(36, '0') + "...\"";
    QTest::addRow("stray CR") << withLine(11, "0 10 " + zeros.left(20) + '\r' + zeros.left(35))
                              << "line 11: \"\\x0D\" is not a hex digit (data digit 21)";
}

void TestRadioImage::malformed()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, message);
    QString error;
    QVERIFY(!TRadioImage::fromText(text, &error).has_value());
    QCOMPARE(error, message);
}

void TestRadioImage::loadErrorsNameTheFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.img"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(withLine(3, "0 2 00"));
    file.close();
    QString error;
    QVERIFY(!TRadioImage::load(path, &error).has_value());
    QCOMPARE(error, path + ": line 3: expected 56 hex digits, found 2");

    // A device that never ends is read no further than the limit.
    QVERIFY(!TRadioImage::load(QStringLiteral("/dev/zero"), &error).has_value());
    QCOMPARE(error, QStringLiteral("/dev/zero: not an image file (larger than 65536 bytes)"));

    const QString missing = dir.filePath(QStringLiteral("missing.img"));
    QVERIFY(!TRadioImage::load(missing, &error).has_value());
    QVERIFY2(error.startsWith("cannot read " + missing + ": "), qPrintable(error));

    QVERIFY(!FactoryImage().save(dir.filePath(QStringLiteral("no/such/dir/x.img")), &error));
    QVERIFY2(error.startsWith(QStringLiteral("cannot write ")), qPrintable(error));
}

void TestRadioImage::blockAccess()
{
    QVERIFY(TRadioImage::contains(0, 1));
    QVERIFY(TRadioImage::contains(0, 16));
    QVERIFY(!TRadioImage::contains(0, 0));
    QVERIFY(!TRadioImage::contains(0, 17));
    QVERIFY(TRadioImage::contains(5, 0));
    QVERIFY(!TRadioImage::contains(5, 1));
    QVERIFY(TRadioImage::contains(2, 2));
    QVERIFY(!TRadioImage::contains(2, 3));
    QVERIFY(TRadioImage::contains(4, 16));
    QVERIFY(!TRadioImage::contains(6, 0));

    TRadioImage image;
    const Block data = blockOf("0102030405060708090A0B0C0D0E0F101112131415161718191A1B1C");
    image.setBlock(3, 10, data);
    QCOMPARE(image.block(3, 10), data);
    QCOMPARE(image.block(3, 9), Block{});
    QVERIFY(image != TRadioImage());
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, image.block(0, 0));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, image.setBlock(1, 4, data));
}

void TestRadioImage::subsetRoundTrip_data()
{
    QTest::addColumn<QList<int>>("dropped");  // areas left out
    QTest::addColumn<QString>("contents");
    QTest::addColumn<int>("held");
    QTest::addRow("whole") << QList<int>{} << "all" << 52;
    QTest::addRow("main only") << QList<int>{1, 2, 3, 4} << "main" << 17;
    QTest::addRow("settings stand for main") << QList<int>{0, 1, 2, 3} << "main-fivetone" << 18;
    QTest::addRow("signalling only") << QList<int>{0, 5} << "dtmf-fsk-twotone-fivetone" << 35;
    QTest::addRow("one area") << QList<int>{0, 5, 1, 3, 4} << "fsk" << 3;
    QTest::addRow("nothing") << QList<int>{0, 1, 2, 3, 4, 5} << "" << 0;
}

// What a subset holds survives the file, notes are kept apart, and blocks left out read as empty.
void TestRadioImage::subsetRoundTrip()
{
    QFETCH(QList<int>, dropped);
    QFETCH(QString, contents);
    QFETCH(int, held);
    TRadioImage image = FactoryImage();
    for (int area : dropped)
        image.dropArea(area);
    image.setNotes({QStringLiteral("date: 2026-12-08 10:00:00"), QStringLiteral("port: /dev/ttyUSB0")});
    QCOMPARE(image.contentsId(), contents);
    QCOMPARE(image.heldCount(), held);
    QCOMPARE(image.restrictedTo(image), image);

    const QByteArray text = image.toText();
    QCOMPARE(text.startsWith("xiepin-image 1\n"), held == TRadioImage::kBlockCount);
    QString error;
    const auto back = TRadioImage::fromText(text, &error);
    QVERIFY2(back.has_value(), qPrintable(error));
    QCOMPARE(*back, image);
    QCOMPARE(back->notes(), image.notes());
    for (const auto &place : TRadioImage::Places()) {
        QCOMPARE(back->holds(place.area, place.block), !dropped.contains(place.area));
        if (dropped.contains(place.area))
            QCOMPARE(back->block(place.area, place.block), TRadioImage().block(place.area, place.block));
    }
}

void TestRadioImage::subsetMalformed_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("message");
    const QByteArray zeros(56, '0');
    QTest::addRow("count short") << "xiepin-image 1 subset 2\n# note\n1 0 " + zeros + '\n'
                                 << "line 4: missing block lines (the image has 1 of the 2 its header gives)";
    QTest::addRow("count long") << "xiepin-image 1 subset 1\n1 0 " + zeros + "\n1 1 " + zeros + '\n'
                                << "line 3: unexpected text after the last block line: \"1 1 " + QString(36, '0') + "...\"";
    QTest::addRow("out of order") << "xiepin-image 1 subset 2\n1 0 " + zeros + "\n0 3 " + zeros + '\n'
                                  << "line 3: area 0 block 3 is out of order (blocks go in the usual order, each once)";
    QTest::addRow("twice") << "xiepin-image 1 subset 2\n1 0 " + zeros + "\n1 0 " + zeros + '\n'
                           << "line 3: area 1 block 0 is out of order (blocks go in the usual order, each once)";
    QTest::addRow("no such block") << "xiepin-image 1 subset 1\n5 1 " + zeros + '\n'
                                   << "line 2: area 5 block 1 is no block of the radio";
    QTest::addRow("count too large") << QByteArray("xiepin-image 1 subset 53\n")
                                     << "line 1: expected the header \"xiepin-image 1\", found \"xiepin-image 1 subset 53\"";
}

void TestRadioImage::subsetMalformed()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, message);
    QString error;
    QVERIFY(!TRadioImage::fromText(text, &error).has_value());
    QCOMPARE(error, message);
}

void TestRadioImage::emptyImage()
{
    const TRadioImage empty;
    const Block emptyChannel = blockOf("000000000000000000000000000000000000000000000000000000FF");
    for (const auto &place : TRadioImage::Places())
        QCOMPARE(empty.block(place.area, place.block), place.area == 0 ? emptyChannel : Block{});
}

void TestRadioImage::factoryMainConfiguration()
{
    const TRadioImage image = FactoryImage();
    // Start values of the settings boxes: 无 1 0 60 中文 无 无 开 开 开.
    QCOMPARE(image.block(5, 0), blockOf("01010000000000000001003C01000001000000000000000000000000"));

    int inUse = 0;
    for (int n = 1; n <= 16; ++n) {
        const Block &ch = image.block(0, n);
        QCOMPARE(ch[27], std::uint8_t(0xFF));
        if (le32(ch, 0) == 0) {
            QCOMPARE(ch, EmptyChannelBlock());
            continue;
        }
        ++inUse;
        // UHF amateur/PMR band, on a 6.25 kHz raster, a listed step and plausible codes.
        QVERIFY(le32(ch, 0) >= 400000000 && le32(ch, 0) <= 470000000);
        QVERIFY(le32(ch, 4) >= 400000000 && le32(ch, 4) <= 470000000);
        QCOMPARE(le32(ch, 0) % 6250, 0u);
        const int step = ch[15] | ch[16] << 8;
        QVERIFY(QList<int>({5000, 6250, 10000, 12500, 25000}).contains(step));
        QVERIFY(ch[19] <= 3 && ch[20] <= 10 && ch[22] <= 3 && ch[23] >= 1 && ch[23] <= 16);
        for (int off : {8, 10}) {
            const int tone = ch[off] | ch[off + 1] << 8;
            const int kind = tone >> 12;
            QVERIFY2(tone == 0xFFFF || (kind == 0 && tone >= 600 && tone <= 2550) || kind == 0x2 || kind == 0xA,
                     qPrintable(QString::number(tone, 16)));
        }
    }
    QVERIFY(inUse >= 3 && inUse <= 10);
    // Channel 1 as the tool encodes 438.50000 MHz both ways, 88.5 Hz both ways, high, wide, scan, 25 kHz.
    QCOMPARE(image.block(0, 1), blockOf("A0FA221AA0FA221A75037503FFFFFFA861FFFF0000000001000000FF"));
}

void TestRadioImage::factorySignalling()
{
    const TRadioImage image = FactoryImage();
    // DTMF: rate 6, ID code 12345678 with its 8-digit count, memory 1 "123" of 3 digits.
    const Block &dtmf = image.block(1, 0);
    QCOMPARE(dtmf[0], std::uint8_t(6));
    QCOMPARE(le32(dtmf, 10), 0x12345678u);
    QCOMPARE(dtmf[19], std::uint8_t(8));
    QCOMPARE(dtmf[20], std::uint8_t(3));
    QCOMPARE(le32(image.block(1, 1), 0), 0x123u);
    // FSK: own queue 100, own ID 1000, 2400 baud.
    QCOMPARE(image.block(2, 0)[0] | image.block(2, 0)[1] << 8, 100);
    QCOMPARE(image.block(2, 0)[2] | image.block(2, 0)[3] << 8, 1000);
    QCOMPARE(image.block(2, 0)[4], std::uint8_t(24));
    // Two-tone: tones A-D 1981, 1124, 1197, 1275 Hz; decode entry 1 uses codes of tones A-D only.
    const Block &tones = image.block(3, 0);
    QCOMPARE(QList<int>({tones[0] | tones[1] << 8, tones[2] | tones[3] << 8, tones[4] | tones[5] << 8, tones[6] | tones[7] << 8}),
             QList<int>({1981, 1124, 1197, 1275}));
    const Block &decode = image.block(3, 3);
    for (int slot = 0; slot < 4; ++slot) {
        const int code = decode[3 * slot];
        QVERIFY(code >> 4 >= 0xA && code >> 4 <= 0xD && (code & 0xF) >= 0xA && (code & 0xF) <= 0xD);
    }
    // Five-tone: every encode and decode entry names a standard 1-5; entry 1 codes 12345.
    for (int b = 1; b <= 16; ++b)
        for (int entry = 0; entry < 2; ++entry) {
            const int standard = b <= 8 ? image.block(4, b)[14 * entry + 12] : image.block(4, b)[14 * entry] & 0x0F;
            QVERIFY2(standard >= 1 && standard <= 5, qPrintable(QStringLiteral("block %1 entry %2").arg(b).arg(entry)));
        }
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(image.block(4, 1).data()), 3), QByteArray::fromHex("452301"));
}

QTEST_GUILESS_MAIN(TestRadioImage)
#include "tst_radioimage.moc"
