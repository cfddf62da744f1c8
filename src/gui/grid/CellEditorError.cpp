#include "grid/CellEditorError.h"

ECellEditorError::ECellEditorError(const QString &message)
    : std::runtime_error(message.toStdString())
{
}

ECellEditorError ECellEditorError::AlreadyAssigned(const QString &editorName, const QString &gridName)
{
    return ECellEditorError(QStringLiteral("%1 is allready assigned to %2").arg(editorName, gridName));
}

ECellEditorError ECellEditorError::NoEditControl()
{
    return ECellEditorError(QStringLiteral("Cell Editor not of type TCellEditor"));
}
