#pragma once

#include "backup/BackupStore.h"
#include "compare/BlockCompare.h"
#include "protocol/ProgramLink.h"

#include <QObject>
#include <vector>

// A write that never leaves the radio in doubt: what the radio holds in the blocks about to be
// written is read and saved in the backups folder first (unless the caller already holds such a
// read from this port), then the blocks are written, then read back and compared byte for byte.
//
// A write that reached the radio and did not end well is noted in the backups folder, and a
// write that ends well on the port, covering the noted areas, ends the note
// (TBackupStore::NoteUnfinishedWrite, EndUnfinishedWrite).
//
// It drives the one TProgramLink through up to three phases, each one transfer per area it
// touches (the main transfer first, then areas 1 to 4). While it reads (backup or verify) the
// replies are its own: windows must not take them for a read of their own
// (IsReading()), nor its transfers' ends for theirs (IsRunning()).
class TSafeWrite : public QObject {
    Q_OBJECT
public:
    enum class Phase { Idle, Backup, Write, Verify };
    enum class Result {
        Verified,      // written and read back the same
        Written,       // written; verify was off
        VerifyFailed,  // written, but blocks read back differ: mismatches
        BackupFailed,  // the backup could not be saved: nothing was written; error says why
        Ended,         // a transfer ended early: end, phase and tally say which and how far
    };
    // A read of the radio already made on this port in this run: it serves as the backup when
    // it holds every block about to be written.
    struct PriorRead {
        QString port;
        TRadioImage image = TRadioImage::None();
        QString backupPath;
    };
    struct Outcome {
        Result result = Result::Ended;
        Phase phase = Phase::Idle;  // where it ended (Ended)
        TransferEnd end = TransferEnd::Completed;
        TransferTally tally;        // of the transfer that ended early
        QString backupPath;         // what the radio held before; empty when none was saved
        QString error;
        std::vector<TBlockMismatch> mismatches;
        PriorRead before;           // the backup as read, with its port and path; none without one
        // A write that reached the radio and did not end well, after an earlier one on the port
        // that did not either: that one's backup, from before both. A write that ended well and
        // left that earlier one's areas in doubt still (part of them written, or the radio put
        // back as it left it): the same. Else empty.
        QString earlierBackupPath;
    };

    // What the next write to the port takes as its backup: after a write that reached the
    // radio without ending well (the port still there), what the radio held before it, for a
    // backup read now would find a half-written radio; otherwise nothing, and the next write
    // reads first.
    static PriorRead BackupForNextWrite(const Outcome &outcome);
    // The write reached the radio and did not end well: cut short after its backup, or read
    // back wrong.
    static bool LeftUnfinished(const Outcome &outcome);

    TSafeWrite(TProgramLink &link, TBackupStore store, QString program, QObject *parent = nullptr);

    // The channels and settings (a main write; it opens and closes the port as main transfers
    // do). Returns false, with nothing started, when the link is busy.
    bool StartMain(const QString &port, const MainImage &image, const PriorRead &prior, bool verify);
    // One signalling area's blocks from block 0 on; the port must be open.
    bool StartArea(const QString &port, int area, const std::vector<Block> &blocks, const PriorRead &prior,
                   bool verify);
    // Every area the image touches, each whole: blocks the image lacks are written back as the
    // backup read found them. Opens the port when it is closed (ECommsError goes to the caller,
    // nothing started) and leaves it open after a signalling area. restoredFrom: the backup
    // file the image comes from, for a restore.
    bool StartImage(const QString &port, const TRadioImage &image, const PriorRead &prior, bool verify,
                    const QString &restoredFrom = {});

    // Backups saved from now on carry the port in their names (several radios written at once).
    void SetPortInBackupNames(bool on) { m_portInNames = on; }

    Phase CurrentPhase() const { return m_phase; }
    bool IsRunning() const { return m_phase != Phase::Idle; }
    bool IsReading() const { return m_phase == Phase::Backup || m_phase == Phase::Verify; }

    // Saves a read of the radio in the backups folder; the path, or empty with *error set.
    QString SaveRead(const TRadioImage &image, const QString &port, QString *error) const;

Q_SIGNALS:
    void PhaseChanged(Phase phase);
    // Blocks of the running phase moved so far, of its total.
    void BlocksMoved(int done, int total);
    void Finished(const Outcome &outcome);

private:
    bool Begin(const QString &port, const TRadioImage &sent, const PriorRead &prior, bool verify,
               const QString &restoredFrom);
    bool StartRead();
    bool StartWrite();
    bool StartStep();
    bool NextStep();
    int StepBlocks(std::size_t step) const;
    TransferTally PhaseTally(TransferTally current) const;
    void OnBlockRead(int area, int block, const Block &data);
    void OnProgressed(TransferKind kind, int area, int answers);
    void OnFinished(TransferKind kind, int area, TransferEnd reason);
    void AfterBackupRead();
    void AfterWrite();
    void AfterVerifyRead();
    void Finish(Outcome outcome);
    void MoveTo(Phase phase);

    TProgramLink &m_link;
    TBackupStore m_store;
    QString m_program;
    Phase m_phase = Phase::Idle;
    QString m_port;
    std::vector<int> m_steps;  // the areas of each phase's transfers; kMainStep: the main one
    std::size_t m_step = 0;    // the transfer of the phase that runs
    int m_stepsDone = 0;       // blocks moved by the phase's earlier transfers
    TRadioImage m_sent = TRadioImage::None();  // what is written: whole areas once backed up
    TRadioImage m_read = TRadioImage::None();
    TRadioImage m_backup = TRadioImage::None();  // what the radio held before the write
    bool m_portInNames = false;
    QString m_restoredFrom;
    bool m_verify = true;
    QString m_backupPath;
    bool m_backupReadNow = false;  // read just before this write, not an earlier read reused
};
