#include "grid/XStringColumnItem.h"

#include "grid/CellEditor.h"
#include "grid/MetaCellEditor.h"
#include "grid/XStringColumns.h"
#include "grid/XStringGrid.h"

TXStringColumnItem::TXStringColumnItem(TXStringColumns &owner, int index)
    : m_owner(owner)
    , m_index(index)
    , m_color(owner.Grid().Color())
    , m_headerColor(owner.Grid().FixedColor())
    , m_font(owner.Grid().font())
    , m_headerFont(owner.Grid().font())
    , m_fontColor(owner.Grid().palette().color(QPalette::Text))
    , m_headerFontColor(owner.Grid().palette().color(QPalette::Text))
{
}

TXStringColumnItem::~TXStringColumnItem()
{
    if (m_editor)
        m_editor->Detach();
}

TXStringGrid &TXStringColumnItem::Grid() const
{
    return m_owner.Grid();
}

void TXStringColumnItem::Repaint() const
{
    Grid().RepaintCells();
}

QString TXStringColumnItem::Caption() const
{
    return Grid().Cells(m_index, 0);
}

void TXStringColumnItem::SetCaption(const QString &caption)
{
    Grid().SetCells(m_index, 0, caption);
}

int TXStringColumnItem::Width() const
{
    return Grid().ColWidths(m_index);
}

void TXStringColumnItem::SetWidth(int width)
{
    Grid().SetColWidths(m_index, width);
}

void TXStringColumnItem::SetAlignment(Qt::Alignment alignment)
{
    if (alignment == m_alignment)
        return;
    m_alignment = alignment;
    Repaint();
}

void TXStringColumnItem::SetHeaderAlignment(Qt::Alignment alignment)
{
    if (alignment == m_headerAlignment)
        return;
    m_headerAlignment = alignment;
    Repaint();
}

void TXStringColumnItem::SetColor(const QColor &color)
{
    m_color = color;
    Repaint();
}

void TXStringColumnItem::SetHeaderColor(const QColor &color)
{
    m_headerColor = color;
    Repaint();
}

void TXStringColumnItem::SetFont(const QFont &font)
{
    m_font = font;
    Repaint();
}

void TXStringColumnItem::SetHeaderFont(const QFont &font)
{
    m_headerFont = font;
    Repaint();
}

void TXStringColumnItem::SetFontColor(const QColor &color)
{
    m_fontColor = color;
    Repaint();
}

void TXStringColumnItem::SetHeaderFontColor(const QColor &color)
{
    m_headerFontColor = color;
    Repaint();
}

void TXStringColumnItem::SetEditor(TCellEditor *editor)
{
    if (editor == m_editor)
        return;
    if (editor)
        editor->Attach(&Grid());
    if (m_editor)
        m_editor->Detach();
    m_editor = editor;
}

void TXStringColumnItem::Assign(const TXStringColumnItem &source)
{
    m_alignment = source.m_alignment;
    m_headerAlignment = source.m_headerAlignment;
    m_color = source.m_color;
    m_headerColor = source.m_headerColor;
    m_font = source.m_font;
    m_headerFont = source.m_headerFont;
    m_fontColor = source.m_fontColor;
    m_headerFontColor = source.m_headerFontColor;
    SetEditor(nullptr);
    SetCaption(source.Caption());
    Repaint();
}

void TXStringColumnItem::PlaceEditor(int row)
{
    if (!m_editor)
        return;
    const QRect rect = Grid().CellRect(m_index, row);
    if (m_editorInheritsCellProps) {
        if (auto *meta = qobject_cast<TMetaCellEditor *>(m_editor); meta && meta->EditControl()) {
            QWidget *control = meta->EditControl();
            QPalette palette = control->palette();
            palette.setColor(QPalette::Base, m_color);
            palette.setColor(QPalette::Text, m_fontColor);
            control->setPalette(palette);
            control->setFont(m_font);
        }
    }
    if (!rect.isEmpty())
        m_editor->ShowAt(rect);
}
