#include "editors/FskWindow.h"

#include "editors/FormLayout.h"
#include "grid/XStringGrid.h"

#include <QLabel>

namespace {

const TTransferStyle &FskStyle()
{
    // Position 1 at the start, one step per reply or acknowledgement: 4 after the third.
    static const TTransferStyle style{4, 4};
    return style;
}

// Settings: labels on the left, boxes in a column to their right.
constexpr int kLabelLeft = 24;
constexpr int kBoxLeft = 200;
constexpr int kBoxWidth = 130;
constexpr int kRowTop = 28;
constexpr int kRowPitch = 44;

constexpr int kNumberWidth = 64;
constexpr int kPairWidth = 110;
// The buttons' row, under the settings.
constexpr int kButtonTop = 420;
constexpr int kButtonHeight = 30;
// The table right of the settings, all 17 rows in sight, its foot level with the buttons'.
constexpr int kGridRight = 672;
constexpr int kGridBottom = kButtonTop + kButtonHeight;
constexpr int kRowHeight = 24;

}  // namespace

TForm6::TForm6(TProgramLink &link, PortName portName, QWidget *parent)
    : TForm6(std::make_unique<Area>(), link, std::move(portName), parent)
{
}

TForm6::TForm6(std::unique_ptr<Area> area, TProgramLink &link, PortName portName, QWidget *parent)
    : TSignallingWindow(link, area->texts, area->codec, FskLayout(), FskStyle(), std::move(portName), parent),
      m_area(std::move(area))
{
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint);
    PlaceSettings();
    Place(QStringLiteral("ProgressBar1"), kLabelLeft, 376, 306, 16);
    Place(QStringLiteral("rbtn"), kLabelLeft, kButtonTop, 90, kButtonHeight);
    Place(QStringLiteral("wbtn"), 132, kButtonTop, 90, kButtonHeight);
    Place(QStringLiteral("Button3"), 240, kButtonTop, 90, kButtonHeight);
    Place(QStringLiteral("FileButton"), kLabelLeft, kButtonTop - 100, 90, kButtonHeight);  // above the progress bar
    SetUpGrid();
    PlaceGrid();
}

TForm6::~TForm6() = default;

TXStringGrid *TForm6::xg1() const
{
    return Grid(QStringLiteral("xg1"));
}

void TForm6::PlaceSettings()
{
    int top = kRowTop;
    for (const char *name : {"ed1", "ed2", "cb1", "ed3", "ed4"}) {
        const QString box = QString::fromLatin1(name);
        Place(box, kBoxLeft, top, kBoxWidth);
        // The label's text centred on the box's.
        const int height = Control(box)->height();
        PlaceLabel(box, kLabelLeft, top + (height - Label(box)->sizeHint().height()) / 2);
        top += kRowPitch;
    }
    Place(QStringLiteral("CheckBox1"), kLabelLeft, top, kBoxLeft + kBoxWidth - kLabelLeft);
}

void TForm6::SetUpGrid()
{
    TXStringGrid *grid = xg1();
    grid->SetColWidths(0, kNumberWidth);
    grid->SetColWidths(TFskTexts::kQueueColumn, kPairWidth);
    grid->SetColWidths(TFskTexts::kIdColumn, kPairWidth);
    grid->SetDefaultRowHeight(kRowHeight);
}

// Exactly as large as its cells and lines, so that nothing scrolls and no blank shows.
void TForm6::PlaceGrid()
{
    TXStringGrid *grid = xg1();
    const int line = grid->GridLineWidth();
    int width = 2 * grid->frameWidth();
    for (int col = 0; col < grid->ColCount(); ++col)
        width += grid->ColWidths(col) + line;
    int height = 2 * grid->frameWidth();
    for (int row = 0; row < grid->RowCount(); ++row)
        height += grid->RowHeights(row) + line;
    Place(QStringLiteral("xg1"), kGridRight - width, kGridBottom - height, width, height);
}
