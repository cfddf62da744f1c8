#include "dialogs/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

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

bool &restoreAnswer()
{
    static bool answer = false;
    return answer;
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

TSaveAnswer AskSaveChanges(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Question, QApplication::applicationDisplayName(), text, QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("SaveChangesBox"));
    QPushButton *save = box.addButton(QCoreApplication::translate("MessageBox", "保存"), QMessageBox::AcceptRole);
    QPushButton *dontSave = box.addButton(QCoreApplication::translate("MessageBox", "不保存"), QMessageBox::DestructiveRole);
    QPushButton *cancel = box.addButton(QCoreApplication::translate("MessageBox", "取消"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save)
        return TSaveAnswer::Save;
    return box.clickedButton() == dontSave ? TSaveAnswer::DontSave : TSaveAnswer::Cancel;
}

bool AskRestoreBackup(QWidget *parent, const QString &text)
{
    if (sink()) {
        sink()(MessageKind::Error, text);
        return restoreAnswer();
    }
    QMessageBox box(QMessageBox::Critical, QApplication::applicationDisplayName(), text, QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("RestoreBackupBox"));
    QPushButton *restore = box.addButton(QCoreApplication::translate("MessageBox", "恢复备份"), QMessageBox::AcceptRole);
    QPushButton *close = box.addButton(QCoreApplication::translate("MessageBox", "关闭"), QMessageBox::RejectRole);
    box.setDefaultButton(close);
    box.setEscapeButton(close);
    box.exec();
    return box.clickedButton() == restore;
}

bool AskWriteBack(QWidget *parent, const QString &text)
{
    if (sink()) {
        sink()(MessageKind::Information, text);
        return restoreAnswer();
    }
    QMessageBox box(QMessageBox::Question, QApplication::applicationDisplayName(), text, QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("WriteBackBox"));
    QPushButton *write = box.addButton(QCoreApplication::translate("MessageBox", "写回"), QMessageBox::AcceptRole);
    QPushButton *cancel = box.addButton(QCoreApplication::translate("MessageBox", "取消"), QMessageBox::RejectRole);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == write;
}

void SetRestoreAnswer(bool restore)
{
    restoreAnswer() = restore;
}

void SetMessageSink(MessageSink sink_)
{
    sink() = std::move(sink_);
}
