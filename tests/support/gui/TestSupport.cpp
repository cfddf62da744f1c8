#include "support/gui/TestSupport.h"

MessageRecorder::MessageRecorder()
{
    SetMessageSink([this](MessageKind kind, const QString &text) { messages.append({kind, text}); });
}

MessageRecorder::~MessageRecorder()
{
    SetMessageSink({});
}

QStringList MessageRecorder::texts() const
{
    QStringList result;
    for (const auto &m : messages)
        result << m.second;
    return result;
}
