#pragma once

#include "app/MessageBox.h"

#include <QList>
#include <QPair>
#include <QString>

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
