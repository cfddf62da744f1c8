#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class TCellEditor;
class TXStringColumns;
class TXStringGrid;

// The description of one grid column; its index in TXStringColumns is its column number.
// Caption is the text of the column's cell in row 0, Width the grid's width of the column.
// Header* apply to the column's cells in the fixed row, the others to its ordinary cells.
class TXStringColumnItem {
public:
    TXStringColumnItem(TXStringColumns &owner, int index);
    ~TXStringColumnItem();
    TXStringColumnItem(const TXStringColumnItem &) = delete;
    TXStringColumnItem &operator=(const TXStringColumnItem &) = delete;

    int Index() const { return m_index; }

    QString Caption() const;
    void SetCaption(const QString &caption);
    int Width() const;
    void SetWidth(int width);

    Qt::Alignment Alignment() const { return m_alignment; }
    void SetAlignment(Qt::Alignment alignment);
    Qt::Alignment HeaderAlignment() const { return m_headerAlignment; }
    void SetHeaderAlignment(Qt::Alignment alignment);

    QColor Color() const { return m_color; }
    void SetColor(const QColor &color);
    QColor HeaderColor() const { return m_headerColor; }
    void SetHeaderColor(const QColor &color);
    QFont Font() const { return m_font; }
    void SetFont(const QFont &font);
    QFont HeaderFont() const { return m_headerFont; }
    void SetHeaderFont(const QFont &font);
    QColor FontColor() const { return m_fontColor; }
    void SetFontColor(const QColor &color);
    QColor HeaderFontColor() const { return m_headerFontColor; }
    void SetHeaderFontColor(const QColor &color);

    // The column is editable only through its editor; none makes it read-only. Attaching an
    // editor that another grid uses throws ECellEditorError and leaves the column as it was.
    TCellEditor *Editor() const { return m_editor; }
    void SetEditor(TCellEditor *editor);
    // When the editor shows, its control takes the column's Color and Font.
    bool EditorInheritsCellProps() const { return m_editorInheritsCellProps; }
    void SetEditorInheritsCellProps(bool on) { m_editorInheritsCellProps = on; }

    // Copies colours, fonts, alignments and caption; the editor becomes none.
    void Assign(const TXStringColumnItem &source);
    // Lays the editor over the cell of this column in the given row.
    void PlaceEditor(int row);

private:
    friend class TXStringGrid;
    TXStringGrid &Grid() const;
    void Repaint() const;
    // The editor is being destroyed: forget it without touching it.
    void DropEditor() { m_editor = nullptr; }

    TXStringColumns &m_owner;
    int m_index;
    Qt::Alignment m_alignment = Qt::AlignLeft;
    Qt::Alignment m_headerAlignment = Qt::AlignLeft;
    QColor m_color;
    QColor m_headerColor;
    QFont m_font;
    QFont m_headerFont;
    QColor m_fontColor;
    QColor m_headerFontColor;
    TCellEditor *m_editor = nullptr;
    bool m_editorInheritsCellProps = false;
};
