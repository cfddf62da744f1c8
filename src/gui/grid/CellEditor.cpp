#include "grid/CellEditor.h"

#include "base/ShownText.h"
#include "grid/CellEditorError.h"
#include "grid/XStringGrid.h"

TCellEditor::TCellEditor(QObject *owner)
    : QObject(owner)
{
}

TCellEditor::~TCellEditor()
{
    if (m_grid)
        m_grid->ForgetEditor(this);
}

void TCellEditor::Attach(TXStringGrid *grid)
{
    if (grid != m_grid) {
        if (m_grid)
            throw ECellEditorError::AlreadyAssigned(objectName(), m_grid->objectName());
        m_grid = grid;
    }
    ++m_attachCount;
}

void TCellEditor::Detach()
{
    if (m_attachCount > 0 && --m_attachCount == 0)
        m_grid = nullptr;
}

void TCellEditor::SetCellText(const QString &value)
{
    if (m_grid)
        m_grid->SetEditText(m_grid->EditCol(), m_grid->EditRow(), value);
}

QString TCellEditor::TakePendingText()
{
    return m_grid ? std::exchange(m_grid->m_pendingText, QString()) : QString();
}

QString TCellEditor::Shown(const QString &stored) const
{
    return ShownText(stored);
}

QString TCellEditor::CurrentEditText() const
{
    return m_grid ? Shown(m_grid->GetEditText(m_grid->Col(), m_grid->Row())) : QString();
}

void TCellEditor::ClearActiveEditor()
{
    if (m_grid && m_grid->m_activeEditor == this)
        m_grid->m_activeEditor = nullptr;
}
