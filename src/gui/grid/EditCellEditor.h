#pragma once

#include "grid/MetaCellEditor.h"

#include <QString>
#include <functional>

class QLineEdit;
class QToolButton;

// Free-text cell editor. An edit starts with the cell's text selected, or DefaultText when the
// cell is empty, or only the character typed on the cell in the grid's immediate edit mode.
class TEditCellEditor : public TMetaCellEditor {
    Q_OBJECT
public:
    explicit TEditCellEditor(QObject *owner = nullptr);
    ~TEditCellEditor() override;

    QString DefaultText() const { return m_defaultText; }
    void SetDefaultText(const QString &text) { m_defaultText = text; }

    // An optional button at the right end of the cell, as wide as the cell is high.
    bool hasElipsis() const { return m_hasElipsis; }
    void SethasElipsis(bool on) { m_hasElipsis = on; }
    QString ElipsisCaption() const { return m_elipsisCaption; }
    void SetElipsisCaption(const QString &caption);
    std::function<void()> OnElipsisClick;

    void DestroyEditWindow() override;
    void StartEdit() override;
    void CommitEdit() override;
    void ShowAt(const QRect &rect) override;
    void Hide() override;

protected:
    QWidget *NewEditControl(QWidget *owner) override;

private:
    QLineEdit *Edit() const;
    void ShowElipsis(const QRect &square);

    QString m_defaultText;
    bool m_hasElipsis = false;
    QString m_elipsisCaption = QStringLiteral("...");
    QPointer<QToolButton> m_button;
};
