#include "app/AppWindows.h"

#include "base/ShownText.h"
#include "editors/DtmfWindow.h"
#include "editors/FiveToneWindow.h"
#include "editors/FskWindow.h"
#include "editors/TwoToneWindow.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/ProgressWindow.h"
#include "serial/Comm.h"

#include <QApplication>
#include <QEvent>
#include <QIcon>
#include <QSet>

namespace {

// Desktops that take a window's icon from the window, not from the menu entry (KDE, Xfce,
// the Windows task bar), show the menu entry's.
void SetApplicationIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/xiepin-%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);
}

}  // namespace

void SetApplicationFont()
{
    // Narrow enough that "438.50000" fits the 58-pixel frequency columns, with CJK glyphs of
    // its own; where the family is missing Qt falls back to the default sans serif.
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(12);
    QApplication::setFont(font);
}

// Notes each window it watches when it is shown: Qt forgets a closed window's native side, so
// whether it was shown cannot be asked of the window itself afterwards.
class TAppWindows::ShownWatch : public QObject {
public:
    bool Saw(const QWidget &window) const { return m_shown.contains(&window); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            m_shown.insert(watched);
        return false;
    }

private:
    QSet<const QObject *> m_shown;
};

TAppWindows::TAppWindows(Options options)
{
    SetApplicationFont();
    SetApplicationIcon();
    std::unique_ptr<TSerialChannel> port = std::move(options.port);
    if (!port)
        port = CreateComm1();
    m_form1 = std::make_unique<TForm1>(std::move(port), options.screen);
    TForm1 &form1 = *m_form1;
    const auto portName = [&form1] { return form1.PortName(); };
    m_form2 = std::make_unique<TForm2>(form1.Link(), portName);
    m_form4 = std::make_unique<TForm4>(form1.Link(), portName);
    m_form5 = std::make_unique<TForm5>(form1.Link(), portName);
    m_form6 = std::make_unique<TForm6>(form1.Link(), portName);
    m_form3 = std::make_unique<TForm3>();
    m_form1->SetWindows(m_form3.get(), m_form2.get(), m_form4.get(), m_form5.get(), m_form6.get());
    m_form1->SetSignallingSource([this] { return SignallingTables(); });
    m_form1->SetUnsavedTablesSource([this] { return UnsavedTables(); });
    TSignallingWindow *editors[] = {m_form2.get(), m_form4.get(), m_form5.get(), m_form6.get()};
    m_shown = std::make_unique<ShownWatch>();
    m_form1->installEventFilter(m_shown.get());
    for (TSignallingWindow *editor : editors) {
        editor->installEventFilter(m_shown.get());
        QObject::connect(m_form1.get(), &TForm1::LastReadsOutdated, editor, &TSignallingWindow::ForgetLastRead);
        QObject::connect(m_form1.get(), &TForm1::PortsHeldElsewhere, editor, &TSignallingWindow::SetPortsHeldElsewhere);
    }
}

TAppWindows::~TAppWindows() = default;

bool TAppWindows::WasShown(const QWidget &window) const
{
    return m_shown->Saw(window);
}

QStringList TAppWindows::UnsavedTables() const
{
    QStringList names;
    TSignallingWindow *editors[] = {m_form2.get(), m_form4.get(), m_form5.get(), m_form6.get()};
    for (TSignallingWindow *editor : editors)
        if (editor->HasUnsavedChanges())
            names << ShownText(QString::fromUtf8(AreaFacts(editor->SignallingArea().Area()).title));
    return names;
}

std::optional<TRadioImage> TAppWindows::SignallingTables()
{
    TRadioImage image = TRadioImage::None();
    TSignallingWindow *editors[] = {m_form2.get(), m_form4.get(), m_form5.get(), m_form6.get()};
    for (TSignallingWindow *editor : editors) {
        if (!editor->CommitOpenCells())
            return std::nullopt;
        const TSignallingArea &area = editor->SignallingArea();
        const std::vector<Block> blocks = area.EncodeBlocks();
        const int first = AreaFacts(area.Area()).firstBlock;
        for (std::size_t i = 0; i < blocks.size(); ++i)
            image.setBlock(area.Area(), first + static_cast<int>(i), blocks[i]);
    }
    return image;
}
