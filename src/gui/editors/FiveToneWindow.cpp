#include "editors/FiveToneWindow.h"

#include "editors/FormLayout.h"
#include "grid/XStringGrid.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace {

const TTransferStyle &FiveToneStyle()
{
    // 17 blocks each way; the read's bar ends at 16.
    static const TTransferStyle style{16, 17};
    return style;
}

const QString kPages = QStringLiteral("PageControl1");
const QString kStandardBox = QStringLiteral("CCIR");

// Room for a line of Chinese text 2 pixels in from the cell's edges.
constexpr int kRowHeight = 22;

// Along the bottom: the progress bar on the left, the buttons on the right.
constexpr int kBottomTop = 491;
constexpr int kButtonWidth = 90;
constexpr int kButtonHeight = 30;

// Standards page: the CCIR box and the sixteen frequency boxes in two columns on the left
// (digits 0-7 and 8-F), the standards grid on the right.
constexpr int kFrequencyTop = 56;
constexpr int kFrequencyPitch = 32;
constexpr int kFrequencyRows = 8;
constexpr int kDigitLabelWidth = 20;
constexpr int kFrequencyWidth = 72;
constexpr int kFrequencyColumnLeft[] = {20, 136};
constexpr int kStandardNameWidth = 96;
constexpr int kDurationWidth = 112;
constexpr int kDigitWidth = 64;

// Encode page: the grid on the left, the four delay boxes to its right, each under its label.
constexpr int kEntryWidth = 52;
constexpr int kCodeWidth = 80;
constexpr int kEncodeStandardWidth = 80;
constexpr int kDelayLeft = 508;
constexpr int kDelayWidth = 150;
constexpr int kDelayTop = 40;
constexpr int kDelayPitch = 68;
constexpr int kLabelAbove = 20;

// Decode page: the grid on the left, the reset time to its right.
constexpr int kDecodeStandardWidth = 66;
constexpr int kDecodeCodeWidth = 72;
constexpr int kFunctionWidth = 56;

}  // namespace

TForm5::TForm5(TProgramLink &link, PortName portName, QWidget *parent)
    : TForm5(std::make_unique<Area>(), link, std::move(portName), parent)
{
}

TForm5::TForm5(std::unique_ptr<Area> area, TProgramLink &link, PortName portName, QWidget *parent)
    : TSignallingWindow(link, area->texts, area->codec, FiveToneLayout(), FiveToneStyle(), std::move(portName),
                        parent),
      m_area(std::move(area))
{
    Place(kPages, 8, 6, 761, 477);
    PlaceStandardsPage();
    PlaceEncodePage();
    PlaceDecodePage();
    Place(QStringLiteral("ProgressBar1"), 16, kBottomTop + (kButtonHeight - 16) / 2, 432, 16);
    Place(QStringLiteral("rbtn"), 474, kBottomTop, kButtonWidth, kButtonHeight);
    Place(QStringLiteral("wbtn"), 574, kBottomTop, kButtonWidth, kButtonHeight);
    Place(QStringLiteral("Button3"), 674, kBottomTop, kButtonWidth, kButtonHeight);
    SetUpGrids();

    // Connected after the base window's binding, so the area already holds the new text.
    auto *standard = qobject_cast<QComboBox *>(Control(kStandardBox));
    connect(standard, &QComboBox::editTextChanged, this, &TForm5::CCIRChange);
}

TForm5::~TForm5() = default;

TXStringGrid *TForm5::xg1() const
{
    return Grid(QStringLiteral("xg1"));
}

TXStringGrid *TForm5::xg2() const
{
    return Grid(QStringLiteral("xg2"));
}

TXStringGrid *TForm5::xg3() const
{
    return Grid(QStringLiteral("xg3"));
}

void TForm5::CCIRChange()
{
    m_area->texts.CCIRChange();
    for (int digit = 1; digit <= TFiveToneTexts::kDigits; ++digit) {
        const QString name = QStringLiteral("Edit%1").arg(digit);
        qobject_cast<QLineEdit *>(Control(name))->setText(m_area->texts.Controls().Text(name));
    }
}

void TForm5::PlaceStandardsPage()
{
    Place(kStandardBox, 96, 16, 112);
    PlaceLabel(kStandardBox, kFrequencyColumnLeft[0],
               16 + (Control(kStandardBox)->height() - Label(kStandardBox)->sizeHint().height()) / 2);
    for (int digit = 0; digit < TFiveToneTexts::kDigits; ++digit) {
        const QString box = QStringLiteral("Edit%1").arg(digit + 1);
        const int left = kFrequencyColumnLeft[digit / kFrequencyRows];
        const int top = kFrequencyTop + kFrequencyPitch * (digit % kFrequencyRows);
        Place(box, left + kDigitLabelWidth, top, kFrequencyWidth);
        PlaceLabel(box, left, top + (Control(box)->height() - Label(box)->sizeHint().height()) / 2);
    }
    Place(QStringLiteral("xg1"), 264, 16,
          GridWidth({kStandardNameWidth, kDurationWidth, kDigitWidth, kDigitWidth}),
          GridHeight(TFiveToneTexts::kStandards + 1, kRowHeight));
}

void TForm5::PlaceEncodePage()
{
    Place(QStringLiteral("xg2"), 12, 8,
          GridWidth({kEntryWidth, kCodeWidth, kCodeWidth, kCodeWidth, kCodeWidth, kEncodeStandardWidth}),
          GridHeight(TFiveToneTexts::kEntries + 1, kRowHeight));
    int top = kDelayTop;
    for (const char *name : {"cb1", "cb2", "cb3", "cb4"}) {
        const QString box = QString::fromLatin1(name);
        Place(box, kDelayLeft, top, kDelayWidth);
        PlaceLabel(box, kDelayLeft, top - kLabelAbove);
        top += kDelayPitch;
    }
}

void TForm5::PlaceDecodePage()
{
    const int width = GridWidth({kEntryWidth, kDecodeStandardWidth, kDecodeCodeWidth, kFunctionWidth,
                                 kDecodeCodeWidth, kFunctionWidth, kDecodeCodeWidth, kFunctionWidth,
                                 kDecodeCodeWidth});
    Place(QStringLiteral("xg3"), 12, 8, width, GridHeight(TFiveToneTexts::kEntries + 1, kRowHeight));
    const QString reset = QStringLiteral("ed1");
    const int left = 12 + width + 24;
    Place(reset, left, kDelayTop, 100);
    PlaceLabel(reset, left, kDelayTop - kLabelAbove);
}

void TForm5::SetUpGrids()
{
    TXStringGrid *standards = xg1();
    standards->SetDefaultRowHeight(kRowHeight);
    standards->SetColWidths(0, kStandardNameWidth);
    standards->SetColWidths(1, kDurationWidth);
    standards->SetColWidths(2, kDigitWidth);
    standards->SetColWidths(3, kDigitWidth);

    TXStringGrid *encode = xg2();
    encode->SetDefaultRowHeight(kRowHeight);
    encode->SetColWidths(0, kEntryWidth);
    for (int col = 1; col <= 4; ++col)
        encode->SetColWidths(col, kCodeWidth);
    encode->SetColWidths(5, kEncodeStandardWidth);

    TXStringGrid *decode = xg3();
    decode->SetDefaultRowHeight(kRowHeight);
    decode->SetColWidths(0, kEntryWidth);
    decode->SetColWidths(1, kDecodeStandardWidth);
    for (int col = 2; col <= 8; col += 2)
        decode->SetColWidths(col, kDecodeCodeWidth);
    for (int col = 3; col <= 7; col += 2)
        decode->SetColWidths(col, kFunctionWidth);

    for (TXStringGrid *grid : {standards, encode, decode})
        grid->SetFixedLineColor(Qt::black);
}
