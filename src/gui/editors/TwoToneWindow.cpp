#include "editors/TwoToneWindow.h"

#include "editors/FormLayout.h"
#include "grid/XStringGrid.h"

#include <QLabel>

namespace {

const TTransferStyle &TwoToneStyle()
{
    // 11 blocks each way.
    static const TTransferStyle style{11, 11};
    return style;
}

const QString kPages = QStringLiteral("PageControl1");
const QString kTonesGroup = QStringLiteral("两音频率");
const QString kDecodeGroup = QStringLiteral("2TONE解码");

// Room for a line of Chinese text 2 pixels in from the cell's edges.
constexpr int kRowHeight = 22;

// Encode page: the grid on the left, the three time boxes to its right, each under its label.
constexpr int kNumberWidth = 56;
constexpr int kFrequencyWidth = 132;
constexpr int kTimeLeft = 380;
constexpr int kTimeWidth = 150;
constexpr int kTimeTop = 40;
constexpr int kTimePitch = 64;
constexpr int kLabelAbove = 20;

// Decode page: entry number, then code, mode and prompt four times.
constexpr int kEntryWidth = 44;
constexpr int kCodeWidth = 40;
constexpr int kModeWidth = 72;
constexpr int kPromptWidth = 34;

// The tones group, one row: the four tones, then the reset time.
constexpr int kToneRowTop = 22;
constexpr int kToneBoxWidth = 48;
constexpr int kToneGap = 12;  // between a box and the next label

// Along the bottom: the progress bar on the left, the buttons on the right.
constexpr int kBottomTop = 525;
constexpr int kButtonWidth = 90;
constexpr int kButtonHeight = 30;

}  // namespace

TForm4::TForm4(TProgramLink &link, PortName portName, QWidget *parent)
    : TForm4(std::make_unique<Area>(), link, std::move(portName), parent)
{
}

TForm4::TForm4(std::unique_ptr<Area> area, TProgramLink &link, PortName portName, QWidget *parent)
    : TSignallingWindow(link, area->texts, area->codec, TwoToneLayout(), TwoToneStyle(), std::move(portName), parent),
      m_area(std::move(area))
{
    Place(kPages, 8, 6, 669, 450);
    PlaceEncodePage();
    PlaceDecodePage();
    PlaceTones();
    Place(QStringLiteral("ProgressBar1"), 16, kBottomTop + (kButtonHeight - 16) / 2, 340, 16);
    Place(QStringLiteral("rbtn"), 382, kBottomTop, kButtonWidth, kButtonHeight);
    Place(QStringLiteral("wbtn"), 482, kBottomTop, kButtonWidth, kButtonHeight);
    Place(QStringLiteral("Button3"), 582, kBottomTop, kButtonWidth, kButtonHeight);
    SetUpGrids();
}

TForm4::~TForm4() = default;

TXStringGrid *TForm4::xg1() const
{
    return Grid(QStringLiteral("xg1"));
}

TXStringGrid *TForm4::xg2() const
{
    return Grid(QStringLiteral("xg2"));
}

void TForm4::PlaceEncodePage()
{
    Place(QStringLiteral("xg1"), 12, 8, GridWidth({kNumberWidth, kFrequencyWidth, kFrequencyWidth}),
          GridHeight(TTwoToneTexts::kEntries + 1, kRowHeight));
    int top = kTimeTop;
    for (const char *name : {"cb1", "cb2", "cb3"}) {
        const QString box = QString::fromLatin1(name);
        Place(box, kTimeLeft, top, kTimeWidth);
        PlaceLabel(box, kTimeLeft, top - kLabelAbove);
        top += kTimePitch;
    }
}

void TForm4::PlaceDecodePage()
{
    const int gridWidth = GridWidth({kEntryWidth, kCodeWidth, kModeWidth, kPromptWidth, kCodeWidth, kModeWidth,
                                     kPromptWidth, kCodeWidth, kModeWidth, kPromptWidth, kCodeWidth, kModeWidth,
                                     kPromptWidth});
    const int gridHeight = GridHeight(TTwoToneTexts::kEntries + 1, kRowHeight);
    Place(kDecodeGroup, 4, 0, gridWidth + 12, gridHeight + 24);
    Place(QStringLiteral("xg2"), 6, 20, gridWidth, gridHeight);
}

void TForm4::PlaceTones()
{
    Place(kTonesGroup, 8, 460, 669, 56);
    int left = 12;
    for (const char *name : {"ed1", "ed2", "ed3", "ed4", "ed5"}) {
        const QString box = QString::fromLatin1(name);
        const QLabel *label = Label(box);
        const int labelWidth = label->sizeHint().width();
        Place(box, left + labelWidth + 4, kToneRowTop, kToneBoxWidth);
        PlaceLabel(box, left, kToneRowTop + (Control(box)->height() - label->sizeHint().height()) / 2);
        left += labelWidth + 4 + kToneBoxWidth + kToneGap;
    }
}

void TForm4::SetUpGrids()
{
    TXStringGrid *encode = xg1();
    encode->SetDefaultRowHeight(kRowHeight);
    encode->SetColWidths(0, kNumberWidth);
    encode->SetColWidths(1, kFrequencyWidth);
    encode->SetColWidths(2, kFrequencyWidth);
    encode->SetFixedLineColor(Qt::black);

    TXStringGrid *decode = xg2();
    decode->SetDefaultRowHeight(kRowHeight);
    decode->SetColWidths(0, kEntryWidth);
    for (int slot = 0; slot < TTwoToneTexts::kSlots; ++slot) {
        const int code = TTwoToneTexts::kSlotColumns * slot + 1;
        decode->SetColWidths(code, kCodeWidth);
        decode->SetColWidths(code + 1, kModeWidth);
        decode->SetColWidths(code + 2, kPromptWidth);
    }
    decode->SetFixedLineColor(Qt::black);
}
