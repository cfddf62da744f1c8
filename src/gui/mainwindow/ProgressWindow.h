#pragma once

#include "backup/SafeWrite.h"

#include <QPoint>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

// The progress window of the main read and write: a borderless window that stays on top, with
// a progress bar and the buttons Retry and Cancel. It only shows progress and reports the
// buttons; the main window decides what Retry and Cancel do.
class TForm3 : public QWidget {
    Q_OBJECT
public:
    // What the bar counts, named above it: a write's bar starts again at each step.
    enum class Step { Read, Compare, Backup, Write, Verify };

    explicit TForm3(QWidget *parent = nullptr);

    QProgressBar *ProgressBar1() const { return m_progressBar1; }
    QPushButton *Button1() const { return m_button1; }  // "重试"
    QPushButton *Button2() const { return m_button2; }  // "取消"

    // Moves the window's top-left corner there (screen pixels) and shows it.
    void ShowAt(const QPoint &topLeft);
    // Where the main read and write show it: the main window's left + 150, top + 250.
    void ShowBeside(const QWidget &mainWindow);

    void ShowStep(Step step);
    static Step StepOf(TSafeWrite::Phase phase);  // of a write, its backup read first and its verify after
    QLabel *StepLabel() const { return m_stepLabel; }
    // Makes the bar visible with range 0..maximum at that position.
    void ShowProgress(int maximum, int position);
    void SetProgressPosition(int position);
    void StepProgress();
    void HideProgress();
    // The note under the bar while the radio does not answer, with the resends so far; the
    // window grows to hold it and shrinks back when it goes.
    void ShowSilence(int resends);
    void HideSilence();
    QLabel *SilenceLabel() const { return m_silenceLabel; }

Q_SIGNALS:
    void RetryClicked();
    void CancelClicked();

private Q_SLOTS:
    void Button1Click();
    void Button2Click();

private:
    // Created in tab order: Cancel comes before Retry.
    QProgressBar *m_progressBar1;
    QPushButton *m_button2;
    QPushButton *m_button1;
    QLabel *m_silenceLabel;
    QLabel *m_stepLabel;
};
