#pragma once

#include "grid/MetaCellEditor.h"

#include <QStringList>

class QComboBox;

// DropDown: a list with a free-text field, where any typed text is accepted (every window uses
// this style). DropDownList: the list alone.
enum class TComboStyle { DropDown, DropDownList };

// Drop-down cell editor. An edit starts with the cell's text (DefaultText when the cell is
// empty), or with the character typed on the cell in the grid's immediate edit mode.
class TComboCellEditor : public TMetaCellEditor {
    Q_OBJECT
public:
    explicit TComboCellEditor(QObject *owner = nullptr);

    QString DefaultText() const { return m_defaultText; }
    void SetDefaultText(const QString &text) { m_defaultText = text; }
    TComboStyle Style() const { return m_style; }
    void SetStyle(TComboStyle style);
    QStringList Items() const { return m_items; }
    QString StoredOf(const QString &shown) const override;
    QString Shown(const QString &stored) const override;
    void SetItems(const QStringList &items);

    void StartEdit() override;
    void CommitEdit() override;

protected:
    QWidget *NewEditControl(QWidget *owner) override;

private:
    QComboBox *Combo() const;
    void LoadText(QComboBox *combo, const QString &text);
    void LoadPending(QComboBox *combo, const QString &pending);

    QString m_defaultText;
    TComboStyle m_style = TComboStyle::DropDown;
    QStringList m_items;
};
