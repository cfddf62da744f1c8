#pragma once

#include <QString>
#include <functional>

class QWidget;

// Every window reports through these two calls, so that tests can answer them instead of a
// modal box. ShowMessage is the plain box ("写入成功"); ShowError the application's error box.
enum class MessageKind { Information, Error };

void ShowMessage(QWidget *parent, const QString &text);
void ShowError(QWidget *parent, const QString &text);

// Changes that would be lost: a box with the buttons "保存", "不保存" and "取消" (also Escape).
enum class TSaveAnswer { Save, DontSave, Cancel };
TSaveAnswer AskSaveChanges(QWidget *parent, const QString &text);

// An error that offers to put the radio back: true when the user chose "恢复备份". With a sink
// installed the text goes to it as an error and the answer is the sink's restore answer.
bool AskRestoreBackup(QWidget *parent, const QString &text);
void SetRestoreAnswer(bool restore);
// A question before a backup is written back: true when the user chose "写回". With a sink
// installed the text goes to it as a message and the answer is the sink's restore answer.
bool AskWriteBack(QWidget *parent, const QString &text);

// A question before the program ends with changes that would be lost: true when the user chose
// "退出". With a sink installed the text goes to it as a message and the answer is the sink's
// restore answer.
bool AskQuitAnyway(QWidget *parent, const QString &text);

// The editors stay on top of every window: a dialog of another window shown while one is open
// would open under it, its buttons hidden. Such a dialog is put above them too.
void KeepAboveWindowsOnTop(QWidget &dialog);

// Tests install a sink; while one is installed no box is shown. Pass an empty function to restore.
using MessageSink = std::function<void(MessageKind kind, const QString &text)>;
void SetMessageSink(MessageSink sink);
