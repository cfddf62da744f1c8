#pragma once

#include "backup/SafeWrite.h"

#include <QObject>
#include <QTimer>
#include <vector>

// Puts what an image holds back into the radio: each signalling area it holds, then the
// channels and settings, every one a safe write of its own (backup, write, verify). The areas
// go first because they need the port open, and the main write closes it at its end.
//
// The window's restore from a backup uses it; it writes whole areas only, as the window's
// backups hold them (PartlyHeld() names the areas held in part). An area's transfer that gets no
// answer for kSilenceMs is ended as silent, as the editors end theirs; the main write resends
// until an answer comes or the caller cancels the link.
class TImageRestore : public QObject {
    Q_OBJECT
public:
    static constexpr int kSilenceMs = 10000;

    TImageRestore(TProgramLink &link, TBackupStore store, QString program, QObject *parent = nullptr);

    static constexpr int kMainStep = -1;  // the channels and settings, as one step

    // The areas (kMainStep for the channels and settings) the image holds only some blocks of;
    // such an image is refused.
    static std::vector<int> PartlyHeld(const TRadioImage &image);

    // Starts with the first area. Throws ECommsError when the port does not open; false, with
    // nothing started, when the link is busy or the image holds no block or part of an area.
    bool Start(const QString &port, const TRadioImage &image, bool verify);

    bool IsRunning() const { return !m_steps.empty() || m_write->IsRunning(); }
    bool IsReading() const { return m_write->IsReading(); }
    // The area of the step that runs: -1 for the channels and settings.
    int CurrentArea() const { return m_area; }
    int StepCount() const { return m_stepCount; }

Q_SIGNALS:
    // A step's transfer begins: its area (-1 for the main write) and what it does.
    void StepStarted(int area, TSafeWrite::Phase phase);
    // The last step's outcome when every step succeeded, else the first that did not;
    // stepsDone counts the steps that succeeded before it.
    void Finished(const TSafeWrite::Outcome &outcome, int area, int stepsDone);

private:
    bool StartStep();  // the next step; throws when its port does not open
    void StartNext();
    void Abandon();  // stops without a word, closing the port it opened
    void OnStepFinished(const TSafeWrite::Outcome &outcome);
    void OnSilence();
    void Finish(const TSafeWrite::Outcome &outcome);

    TProgramLink &m_link;
    TSafeWrite *m_write = nullptr;
    QTimer m_guard;
    QString m_port;
    TRadioImage m_image = TRadioImage::None();
    std::vector<int> m_steps;  // areas still to write, -1 for the main write
    int m_area = -1;
    int m_stepCount = 0;
    int m_done = 0;
    bool m_verify = true;
    bool m_openedPort = false;
};
