#pragma once

#include "backup/BackupStore.h"
#include "backup/SafeWrite.h"
#include "compare/BlockCompare.h"
#include "protocol/ProgramLink.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <memory>
#include <vector>

enum class TFleetPhase { Waiting, Backup, Write, Verify, Read, Done };

// How one radio of a fleet ended.
enum class TFleetResult {
    Verified,        // written and read back the same
    Written,         // written; verify was off
    Read,            // a read: every block came
    VerifyFailed,    // written, but blocks read back differ
    NoAnswer,        // the radio stayed silent for the guard's time
    Disconnected,    // the port went away
    CouldNotOpen,    // the port did not open: nothing sent
    BackupFailed,    // the backup could not be saved, or the backup read skipped a block: nothing written
    IncompleteRead,  // a read completed without some block
    Cancelled,       // the user ended it
};

struct TFleetReport {
    QString port;
    TFleetResult result = TFleetResult::Cancelled;
    TFleetPhase phase = TFleetPhase::Waiting;  // where a radio that failed was
    TransferTally tally;                       // how far that phase got
    qint64 elapsedMs = 0;
    QString backupPath;  // what the radio held before the write (a read: its copy in the backups)
    QString earlierBackupPath;  // from before an earlier unfinished write on the port (TSafeWrite)
    QString error;       // could not open, backup failed, incomplete read, a port that did not open again: why
    std::vector<TBlockMismatch> mismatches;
    TRadioImage image = TRadioImage::None();  // a read: the radio's blocks

    bool Succeeded() const;
};

// One radio of a fleet: its own port and engine, a write through TSafeWrite (backup, write,
// verify) or a whole-radio read, and a guard that ends the transfer when the radio gives no
// answer for silenceMs (the engine itself resends without end).
class TFleetRadio : public QObject {
    Q_OBJECT
public:
    TFleetRadio(const QString &port, std::unique_ptr<TSerialChannel> channel, const TBackupStore &store,
                const QString &program, int silenceMs, QObject *parent = nullptr);
    ~TFleetRadio() override;

    // Each starts once; a port that does not open finishes (CouldNotOpen) from the event loop.
    void StartWrite(const TRadioImage &image, bool verify, const QString &source = {});
    // Reads the areas that `which` holds (all five by default).
    void StartRead(const TRadioImage &which = TRadioImage());
    void Cancel();

    const QString &Port() const { return m_report.port; }
    TFleetPhase Phase() const { return m_phase; }
    int Done() const { return m_done; }
    int Total() const { return m_total; }
    bool IsFinished() const { return m_phase == TFleetPhase::Done; }
    const TFleetReport &Report() const { return m_report; }

Q_SIGNALS:
    void Changed();  // phase or blocks
    void Finished();

private:
    void MoveTo(TFleetPhase phase, int total);
    void OnMoved(int done, int total);
    void OnSafeWritePhase(TSafeWrite::Phase phase);
    void OnWriteFinished(const TSafeWrite::Outcome &outcome);
    bool StartReadStep();
    void OnReadFinished(TransferKind kind, int area, TransferEnd reason);
    void FinishRead();
    void FailToOpen(const QString &error);
    void Finish(TFleetResult result);

    std::unique_ptr<TProgramLink> m_link;
    std::unique_ptr<TSafeWrite> m_safeWrite;
    TBackupStore m_store;
    QString m_program;
    QTimer m_guard;
    QElapsedTimer m_clock;
    TFleetPhase m_phase = TFleetPhase::Waiting;
    int m_done = 0;
    int m_total = 0;
    TRadioImage m_readWhich;
    std::vector<int> m_readSteps;
    std::size_t m_readStep = 0;
    int m_readDone = 0;
    TFleetReport m_report;
};
