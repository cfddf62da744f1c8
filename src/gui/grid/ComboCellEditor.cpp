#include "grid/ComboCellEditor.h"

#include "base/ShownText.h"
#include "grid/CellEditorError.h"
#include "grid/ComboInplace.h"

#include <QLineEdit>

TComboCellEditor::TComboCellEditor(QObject *owner)
    : TMetaCellEditor(owner)
{
}

QWidget *TComboCellEditor::NewEditControl(QWidget *owner)
{
    auto *combo = new TComboInplace(owner, this);
    combo->SetFreeText(m_style == TComboStyle::DropDown);
    return combo;
}

QComboBox *TComboCellEditor::Combo() const
{
    return qobject_cast<QComboBox *>(EditControl());
}

void TComboCellEditor::SetStyle(TComboStyle style)
{
    m_style = style;
    if (auto *combo = qobject_cast<TComboInplace *>(EditControl()))
        combo->SetFreeText(style == TComboStyle::DropDown);
}

void TComboCellEditor::SetItems(const QStringList &items)
{
    m_items = items;
    if (QComboBox *combo = Combo()) {
        combo->clear();
        combo->addItems(ShownEntries(m_items));
    }
}

void TComboCellEditor::StartEdit()
{
    EnsureControl();
    QComboBox *combo = Combo();
    if (!combo)
        throw ECellEditorError::NoEditControl();
    combo->clear();
    combo->addItems(ShownEntries(m_items));
    const QString pending = TakePendingText();
    if (!pending.isEmpty()) {
        LoadPending(combo, pending);
        return;
    }
    LoadText(combo, CurrentEditText());
    if (combo->currentText().isEmpty())
        LoadText(combo, Shown(m_defaultText));
    if (combo->isEditable())
        combo->lineEdit()->selectAll();
}

// The item equal to the text becomes the selected one, so that Up and Down go on from there.
void TComboCellEditor::LoadText(QComboBox *combo, const QString &text)
{
    combo->setCurrentIndex(combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
    if (combo->isEditable())
        combo->setEditText(text);
}

void TComboCellEditor::LoadPending(QComboBox *combo, const QString &pending)
{
    if (!combo->isEditable()) {
        combo->setCurrentIndex(combo->findText(pending, Qt::MatchStartsWith));
        return;
    }
    combo->setCurrentIndex(-1);
    combo->setEditText(pending);
    combo->lineEdit()->deselect();
    combo->lineEdit()->setCursorPosition(pending.length());
}

void TComboCellEditor::CommitEdit()
{
    if (QComboBox *combo = Combo(); combo && Grid())
        SetCellText(StoredOf(combo->currentText()));
}

QString TComboCellEditor::StoredOf(const QString &shown) const
{
    return StoredText(shown, m_items + QStringList{m_defaultText});
}

QString TComboCellEditor::Shown(const QString &stored) const
{
    return ShownEntry(stored, m_items);
}
