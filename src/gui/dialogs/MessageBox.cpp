#include "dialogs/MessageBox.h"

#include <QApplication>
#include <QMessageBox>

namespace {

MessageSink &sink()
{
    static MessageSink installed;
    return installed;
}

void show(QWidget *parent, MessageKind kind, const QString &text)
{
    if (sink()) {
        sink()(kind, text);
        return;
    }
    const QString title = QApplication::applicationDisplayName();
    if (kind == MessageKind::Error)
        QMessageBox::critical(parent, title, text);
    else
        QMessageBox::information(parent, title, text);
}

}  // namespace

void ShowMessage(QWidget *parent, const QString &text)
{
    show(parent, MessageKind::Information, text);
}

void ShowError(QWidget *parent, const QString &text)
{
    show(parent, MessageKind::Error, text);
}

void SetMessageSink(MessageSink sink_)
{
    sink() = std::move(sink_);
}
