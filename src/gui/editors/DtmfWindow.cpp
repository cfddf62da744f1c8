#include "editors/DtmfWindow.h"

#include "editors/FormLayout.h"
#include "grid/XStringGrid.h"

#include <QLabel>

namespace {

const TTransferStyle &DtmfStyle()
{
    // Read: position 1, one step per reply, 5 after block 3. Write: one step per acknowledgement.
    static const TTransferStyle style{5, 4};
    return style;
}

const QString kEncodePage = QStringLiteral("DTMF编码");
const QString kDecodePage = QStringLiteral("DTMF解码");

// The window keeps five blanks after these label captions.
const QString kLabelPadding = QStringLiteral("     ");

// Encode page: the grid on the left, the boxes in a column to its right, each under its label.
constexpr int kBoxLeft = 214;
constexpr int kBoxWidth = 168;
constexpr int kBoxTop = 42;
constexpr int kBoxPitch = 52;
constexpr int kLabelAbove = 18;

// Decode page: labels on the left, controls in a column to their right.
constexpr int kRowLabelLeft = 16;
constexpr int kRowControlLeft = 196;
constexpr int kRowControlWidth = 168;
constexpr int kRowTop = 32;
constexpr int kRowPitch = 46;

constexpr int kMemoryNumberWidth = 64;
constexpr int kMemoryWidth = 102;
constexpr int kRowHeight = 24;

}  // namespace

TForm2::TForm2(TProgramLink &link, PortName portName, QWidget *parent)
    : TForm2(std::make_unique<Area>(), link, std::move(portName), parent)
{
}

TForm2::TForm2(std::unique_ptr<Area> area, TProgramLink &link, PortName portName, QWidget *parent)
    : TSignallingWindow(link, area->texts, area->codec, DtmfLayout(), DtmfStyle(), std::move(portName), parent),
      m_area(std::move(area))
{
    Place(QStringLiteral("PageControl1"), 8, 8, 412, 392);
    Place(QStringLiteral("ProgressBar1"), 8, 408, 412, 16);
    Place(QStringLiteral("rbtn"), 40, 440, 90, 30);
    Place(QStringLiteral("wbtn"), 169, 440, 90, 30);
    Place(QStringLiteral("Button3"), 298, 440, 90, 30);
    PlaceEncodePage();
    PlaceDecodePage();
    SetUpGrid();
}

TForm2::~TForm2() = default;

TXStringGrid *TForm2::xg2() const
{
    return Grid(QStringLiteral("xg2"));
}

void TForm2::PadLabel(const QString &controlName)
{
    if (QLabel *label = Label(controlName))
        label->setText(label->text() + kLabelPadding);
}

void TForm2::PlaceEncodePage()
{
    // The time boxes' labels carry the blanks; the others do not.
    static constexpr struct {
        const char *name;
        bool padded;
    } boxes[] = {{"cb1", false}, {"cb2", true}, {"cb3", true}, {"cb4", true}, {"cb5", false}};

    Place(kEncodePage, 6, 6, 396, 350);
    Place(QStringLiteral("xg2"), 12, 26, 186, 312);
    int top = kBoxTop;
    for (const auto &box : boxes) {
        const QString name = QString::fromLatin1(box.name);
        if (box.padded)
            PadLabel(name);
        Place(name, kBoxLeft, top, kBoxWidth);
        PlaceLabel(name, kBoxLeft, top - kLabelAbove);
        top += kBoxPitch;
    }
    Place(QStringLiteral("CheckB1"), kBoxLeft, top - 4, kBoxWidth);
}

void TForm2::PlaceDecodePage()
{
    Place(kDecodePage, 6, 6, 396, 350);
    int top = kRowTop;
    for (const char *name : {"Edit1", "cb6", "cb7", "cb8", "cb9", "CheckB2"}) {
        const QString control = QString::fromLatin1(name);
        PadLabel(control);
        Place(control, kRowControlLeft, top, kRowControlWidth);
        // The label's text centred on the control's.
        const QLabel *label = Label(control);
        const int height = Control(control)->height();
        PlaceLabel(control, kRowLabelLeft, top + (height - label->sizeHint().height()) / 2);
        top += kRowPitch;
    }
}

void TForm2::SetUpGrid()
{
    TXStringGrid *grid = xg2();
    grid->SetColWidths(0, kMemoryNumberWidth);
    grid->SetColWidths(TDtmfTexts::kMemoryColumn, kMemoryWidth);
    grid->SetDefaultRowHeight(kRowHeight);
    grid->SetFixedLineColor(Qt::black);
    grid->SetMultiLine(false);
    grid->SetImmediateEditMode(false);
}
