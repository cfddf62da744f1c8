#pragma once

#include "app/MessageBox.h"

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

// The message of the EConvertError the call throws; "accepted" when it throws none.
QString ConvertErrorOf(const std::function<void()> &call);
