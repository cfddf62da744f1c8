#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

enum class TControlKind {
    ComboBox,      // list plus free typing
    DropDownList,  // list only: its text is a list entry, or empty when nothing is selected
    EditBox,
    CheckBox,
};

// One control of an editor window, as data: the window creates and binds it by name.
struct TControlSpec {
    QString name;         // object name in the window ("cb1", "Edit1", "CheckB1")
    TControlKind kind = TControlKind::EditBox;
    QString label;        // caption of the label beside the control; also names it in errors
    QString caption;      // a check box's own caption
    QStringList items;    // list entries, in order
    QString initialText;  // combo and edit boxes
    bool initialChecked = false;
    int maxLength = 0;    // edit boxes: most characters the box accepts while typing; 0 for no limit
    // False for a control that only shows something (the five-tone standard chooser and its
    // frequencies, the reset time): not in the radio's area, so its changes are no edit of the
    // table and no difference from the radio.
    bool inArea = true;
};

// The current texts and check states of a window's controls, looked up by object name.
// An unknown name is a programming error and throws std::out_of_range.
class TControlTexts {
public:
    explicit TControlTexts(std::vector<TControlSpec> specs);

    const std::vector<TControlSpec> &Specs() const { return m_specs; }
    const TControlSpec &Spec(const QString &name) const;

    QString Text(const QString &name) const;
    // A drop-down list takes only one of its entries; any other text leaves it without selection.
    void SetText(const QString &name, const QString &text);

    bool Checked(const QString &name) const;
    void SetChecked(const QString &name, bool checked);

private:
    std::vector<TControlSpec> m_specs;
    QHash<QString, QString> m_texts;
    QHash<QString, bool> m_checked;
};

// The list "50", "100", ... of the time and delay boxes: from first to last in steps.
QStringList NumberItems(int first, int last, int step);
