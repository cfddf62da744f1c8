#include "support/TestSupport.h"

#include "mainconfig/TextConvert.h"

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

QString ConvertErrorOf(const std::function<void()> &call)
{
    try {
        call();
    } catch (const EConvertError &e) {
        return e.message();
    }
    return QStringLiteral("accepted");
}
