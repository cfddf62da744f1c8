#pragma once

#include "dialogs/MessageBox.h"
#include "support/core/ConvertErrors.h"

#include <QList>
#include <QPair>
#include <QString>
#include <functional>

// Collects what windows report instead of showing modal boxes, for the life of the object.
class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder &) = delete;
    MessageRecorder &operator=(const MessageRecorder &) = delete;

    QList<QPair<MessageKind, QString>> messages;
    QStringList texts() const;
};
