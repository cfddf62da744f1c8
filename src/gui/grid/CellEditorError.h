#pragma once

#include <QString>
#include <stdexcept>

// Errors of cell editors: attaching an editor that another grid already uses, or an editor
// whose in-place control cannot be built. what() is the message shown to the user.
class ECellEditorError : public std::runtime_error {
public:
    explicit ECellEditorError(const QString &message);
    QString message() const { return QString::fromUtf8(what()); }

    // "EditCellEditor1 is allready assigned to xg" (the spelling is the program's own).
    static ECellEditorError AlreadyAssigned(const QString &editorName, const QString &gridName);
    static ECellEditorError NoEditControl();
};
