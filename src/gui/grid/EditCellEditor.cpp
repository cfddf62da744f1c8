#include "grid/EditCellEditor.h"

#include "base/ShownText.h"
#include "grid/CellEditorError.h"
#include "grid/EditInplace.h"
#include "grid/XStringGrid.h"

#include <QToolButton>

TEditCellEditor::TEditCellEditor(QObject *owner)
    : TMetaCellEditor(owner)
{
}

TEditCellEditor::~TEditCellEditor()
{
    delete m_button.data();
}

void TEditCellEditor::SetElipsisCaption(const QString &caption)
{
    m_elipsisCaption = caption;
    if (m_button)
        m_button->setText(caption);
}

QWidget *TEditCellEditor::NewEditControl(QWidget *owner)
{
    return new TEditInplace(owner, this);
}

QLineEdit *TEditCellEditor::Edit() const
{
    return qobject_cast<QLineEdit *>(EditControl());
}

void TEditCellEditor::DestroyEditWindow()
{
    delete m_button.data();
    TMetaCellEditor::DestroyEditWindow();
}

void TEditCellEditor::StartEdit()
{
    EnsureControl();
    QLineEdit *edit = Edit();
    if (!edit)
        throw ECellEditorError::NoEditControl();
    const QString pending = TakePendingText();
    if (!pending.isEmpty()) {
        edit->setText(pending);
        edit->deselect();
        edit->setCursorPosition(pending.length());
        return;
    }
    const QString text = CurrentEditText();
    edit->setText(text.isEmpty() ? ShownText(m_defaultText) : text);
    edit->selectAll();
}

void TEditCellEditor::CommitEdit()
{
    if (QLineEdit *edit = Edit(); edit && Grid())
        // A shown entry left as it was keeps its stored text.
        SetCellText(StoredText(edit->text(), {Grid()->Cells(Grid()->EditCol(), Grid()->EditRow()), m_defaultText}));
}

void TEditCellEditor::ShowAt(const QRect &rect)
{
    if (!m_hasElipsis) {
        TMetaCellEditor::ShowAt(rect);
        return;
    }
    QRect text = rect;
    text.setRight(rect.right() - rect.height());
    ShowElipsis(QRect(text.right() + 1, rect.top(), rect.height(), rect.height()));
    TMetaCellEditor::ShowAt(text);
}

void TEditCellEditor::ShowElipsis(const QRect &square)
{
    if (!EditControl())
        return;
    if (!m_button) {
        m_button = new QToolButton(EditControl()->parentWidget());
        // A click on the button keeps the focus, and so the edit, in the text box: without the
        // proxy the click would hand the focus to the grid behind it.
        m_button->setFocusPolicy(Qt::NoFocus);
        m_button->setFocusProxy(EditControl());
        m_button->setText(m_elipsisCaption);
        connect(m_button, &QToolButton::clicked, this, [this] {
            if (OnElipsisClick)
                OnElipsisClick();
        });
    }
    m_button->setParent(EditControl()->parentWidget());
    m_button->setGeometry(square);
    m_button->show();
    m_button->raise();
}

void TEditCellEditor::Hide()
{
    TMetaCellEditor::Hide();
    if (m_button)
        m_button->hide();
}
