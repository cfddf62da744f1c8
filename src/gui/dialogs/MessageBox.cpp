#include "dialogs/MessageBox.h"

#include "base/ShownText.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {

// A box taller than the screen hides its button: past this many lines the text is in the
// box's details, which scroll.
constexpr int kShownLines = 20;

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
    QMessageBox box(kind == MessageKind::Error ? QMessageBox::Critical : QMessageBox::Information,
                    ProgramName(), text, QMessageBox::Ok, parent);
    const QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.size() > kShownLines) {
        box.setText(lines.mid(0, kShownLines).join(QLatin1Char('\n')) + QStringLiteral("\n…"));
        box.setDetailedText(text);
    }
    box.exec();
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
    QMessageBox box(QMessageBox::Question, ProgramName(), text, QMessageBox::NoButton, parent);
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

namespace {

// A box with a button that answers yes and one that answers no (the default, also Escape);
// true for yes. With a sink installed the text goes to it and the answer is the sink's.
bool AskYesOrNo(QWidget *parent, const char *name, MessageKind kind, const QString &text, const char *yes, const char *no)
{
    if (sink()) {
        sink()(kind, text);
        return restoreAnswer();
    }
    const QMessageBox::Icon icon = kind == MessageKind::Error ? QMessageBox::Critical : QMessageBox::Question;
    QMessageBox box(icon, ProgramName(), text, QMessageBox::NoButton, parent);
    box.setObjectName(QString::fromLatin1(name));
    QPushButton *yesButton = box.addButton(QCoreApplication::translate("MessageBox", yes), QMessageBox::AcceptRole);
    QPushButton *noButton = box.addButton(QCoreApplication::translate("MessageBox", no), QMessageBox::RejectRole);
    box.setDefaultButton(noButton);
    box.setEscapeButton(noButton);
    box.exec();
    return box.clickedButton() == yesButton;
}

}  // namespace

bool AskRestoreBackup(QWidget *parent, const QString &text)
{
    return AskYesOrNo(parent, "RestoreBackupBox", MessageKind::Error, text, QT_TRANSLATE_NOOP("MessageBox", "恢复备份"),
                      QT_TRANSLATE_NOOP("MessageBox", "关闭"));
}

bool AskWriteBack(QWidget *parent, const QString &text)
{
    return AskYesOrNo(parent, "WriteBackBox", MessageKind::Information, text, QT_TRANSLATE_NOOP("MessageBox", "写回"),
                      QT_TRANSLATE_NOOP("MessageBox", "取消"));
}

bool AskQuitAnyway(QWidget *parent, const QString &text)
{
    return AskYesOrNo(parent, "QuitAnywayBox", MessageKind::Information, text, QT_TRANSLATE_NOOP("MessageBox", "退出"),
                      QT_TRANSLATE_NOOP("MessageBox", "取消"));
}

void SetRestoreAnswer(bool restore)
{
    restoreAnswer() = restore;
}

void SetMessageSink(MessageSink sink_)
{
    sink() = std::move(sink_);
}
