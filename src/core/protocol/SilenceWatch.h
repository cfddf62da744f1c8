#pragma once

#include "protocol/ProgramLink.h"

#include <QObject>
#include <QTimer>

// Tells when the radio has stopped answering a running transfer: after a quiet spell with no
// answer, and again with each resend while the quiet lasts. Nothing is ended here; the caller
// decides what silence means (a note under the main progress bar, an editor's time-out).
class TSilenceWatch : public QObject {
    Q_OBJECT
public:
    // Watches the transfers of link that `watched` accepts.
    using Filter = bool (*)(TransferKind kind, int area);
    TSilenceWatch(TProgramLink &link, int quietMs, Filter watched, QObject *parent = nullptr);

    bool IsSilent() const { return m_silent; }
    int Resends() const { return m_resends; }
    // Answers of the running transfer so far, and whether it is watched at all.
    int Answers() const { return m_answers; }
    bool Watching() const { return m_watching; }

Q_SIGNALS:
    // silent: no answer for the quiet spell; resends: frames repeated since the transfer began.
    void SilenceChanged(bool silent, int resends);

private:
    void OnBusyChanged(bool busy);
    void OnProgressed(TransferKind kind, int area, int answers);
    void OnResent(TransferKind kind, int area, int resends);
    void OnQuiet();
    void SetSilent(bool silent);

    TProgramLink &m_link;
    Filter m_watched;
    QTimer m_quiet;
    bool m_watching = false;
    bool m_silent = false;
    int m_resends = 0;
    int m_answers = 0;
};
