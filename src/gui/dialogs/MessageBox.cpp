#include "dialogs/MessageBox.h"

#include "base/DisplayWidth.h"
#include "base/ShownText.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>
#include <algorithm>

namespace {

// A box taller than the screen hides its button: past this many lines, a long line counted as
// the lines it wraps to (a box is about this many Latin letters wide on a small screen), the
// text is in the box's details, which scroll.
constexpr int kShownLines = 20;
constexpr int kWrapWidth = 56;
// Beside its title a title bar holds the window's icon and three buttons.
constexpr int kTitleBarRoom = 120;

// A short message ("写入成功") makes a box narrower than its title, which the window manager
// then cuts to "对…": a row of spacing as wide as the title keeps it whole. QMessageBox sets its
// own size, so a minimum width of the box would not hold.
void WidenForTitle(QMessageBox &box)
{
    auto *grid = qobject_cast<QGridLayout *>(box.layout());
    if (!grid)
        return;
    const int title = box.fontMetrics().horizontalAdvance(box.windowTitle()) + kTitleBarRoom;
    grid->addItem(new QSpacerItem(title, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

// Last before a box shows, its buttons in place: as wide as its title, above the editors.
void Dress(QMessageBox &box)
{
    WidenForTitle(box);
    KeepAboveWindowsOnTop(box);
}

int WrappedLines(const QString &line)
{
    return 1 + DisplayWidth(line) / kWrapWidth;
}

// A line cut to a few wrapped lines: a report may quote a whole field of a hostile file.
QString Shortened(const QString &line)
{
    const int most = 3 * kWrapWidth;
    if (DisplayWidth(line) <= most)
        return line;
    QString cut;
    for (const QChar c : line) {
        if (DisplayWidth(cut) + 2 > most)
            break;
        cut += c;
    }
    return cut + QStringLiteral("…");
}

// Past the limit the box shows the first lines, "…", and the last one, which says what to do
// (the backup to restore, the command); the whole text is in its details.
void FitText(QMessageBox &box, const QString &text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    int total = 0;
    for (const QString &line : std::as_const(lines))
        total += WrappedLines(line);
    if (total <= kShownLines)
        return;
    for (QString &line : lines)
        line = Shortened(line);
    const QString last = lines.takeLast();
    int room = kShownLines - 1 - WrappedLines(last);
    QStringList shown;
    for (const QString &line : std::as_const(lines)) {
        if (WrappedLines(line) > room)
            break;
        shown << line;
        room -= WrappedLines(line);
    }
    box.setText((shown + QStringList{QStringLiteral("…"), last}).join(QLatin1Char('\n')));
    box.setDetailedText(text);
}

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
    FitText(box, text);
    Dress(box);
    box.exec();
}

bool &restoreAnswer()
{
    static bool answer = false;
    return answer;
}

}  // namespace

void KeepAboveWindowsOnTop(QWidget &dialog)
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    const bool onTop = std::any_of(windows.cbegin(), windows.cend(), [&dialog](const QWidget *window) {
        return window != &dialog && window->isVisible() && window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    });
    // A dialog kept for reuse goes back to an ordinary one once they are closed.
    if (dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint) != onTop)
        dialog.setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
}

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
    Dress(box);
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
    FitText(box, text);
    box.setObjectName(QString::fromLatin1(name));
    QPushButton *yesButton = box.addButton(QCoreApplication::translate("MessageBox", yes), QMessageBox::AcceptRole);
    QPushButton *noButton = box.addButton(QCoreApplication::translate("MessageBox", no), QMessageBox::RejectRole);
    box.setDefaultButton(noButton);
    box.setEscapeButton(noButton);
    Dress(box);
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
