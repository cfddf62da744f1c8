#pragma once

#include <QString>
#include <QUndoCommand>
#include <QUndoStack>
#include <functional>
#include <utility>

// The undo history of a window's texts on Qt's undo stack. Each step holds the texts before and
// after one user action, taken as whole snapshots: undo and redo put them back exactly, however
// the action's entry rules spread over the table. The window calls Record after each action;
// the texts at the last step are kept, so the next Record finds what changed since.
template <typename Snapshot>
class TSnapshotHistory {
public:
    using Take = std::function<Snapshot()>;
    using Restore = std::function<void(const Snapshot &)>;

    TSnapshotHistory(Take take, Restore restore, QObject *parent)
        : m_take(std::move(take)), m_restore(std::move(restore)), m_stack(new QUndoStack(parent))
    {
        m_base = m_take();
    }

    QUndoStack &Stack() const { return *m_stack; }

    // Starts again from the texts as they are: no steps, clean.
    void Reset()
    {
        m_stack->clear();
        m_base = m_take();
    }

    // One step named text from the texts at the last step to the texts now; nothing when they
    // are the same, inside a batch, or while a step is being undone or redone. Records with
    // the same mergeKey (0 or more) in a row make one step, as the keys typed into one box.
    // `applied` follows the step's undo (false) and redo (true), for what it changed beyond
    // the texts. True when a step was recorded.
    bool Record(const QString &text, int mergeKey = -1, std::function<void(bool redo)> applied = {})
    {
        return Push(text, mergeKey, m_run, std::move(applied));
    }

    // Ends the run of records that merge: a later visit to the same box is a step of its own.
    void EndMergeRun() { ++m_run; }

    // As Record, in a run of the caller's own (0 or more) that EndMergeRun does not end: the
    // blocks of one read, recorded as they come, stay one step while the user moves between
    // boxes, and an edit between two blocks is a step of its own.
    bool RecordInRun(const QString &text, int mergeKey, int run) { return Push(text, mergeKey, -1 - run, {}); }

    // The records between the outermost Begin and End make one step, recorded by End.
    void BeginBatch() { ++m_batch; }
    void EndBatch(const QString &text)
    {
        if (m_batch > 0 && --m_batch == 0)
            Record(text);
    }

private:
    bool Push(const QString &text, int mergeKey, int run, std::function<void(bool redo)> applied)
    {
        if (m_batch > 0 || m_applying)
            return false;
        Snapshot now = m_take();
        if (now == m_base) {
            m_base = std::move(now);  // what a snapshot carries beside the texts stays current
            return false;
        }
        m_stack->push(new Command(*this, text, std::exchange(m_base, now), now, mergeKey, run, std::move(applied)));
        return true;
    }

    class Command : public QUndoCommand {
    public:
        Command(TSnapshotHistory &history, const QString &text, Snapshot before, Snapshot after, int mergeKey, int run,
                std::function<void(bool)> applied)
            : QUndoCommand(text), m_history(history), m_before(std::move(before)), m_after(std::move(after)),
              m_mergeKey(mergeKey), m_run(run), m_applied(std::move(applied))
        {
        }
        void undo() override
        {
            m_history.Apply(m_before);
            if (m_applied)
                m_applied(false);
        }
        // The first redo is the push: the texts are already there.
        void redo() override
        {
            if (!std::exchange(m_pushed, true))
                return;
            m_history.Apply(m_after);
            if (m_applied)
                m_applied(true);
        }
        int id() const override { return m_mergeKey; }
        bool mergeWith(const QUndoCommand *other) override
        {
            const auto *next = static_cast<const Command *>(other);
            if (next->m_run != m_run)
                return false;
            m_after = next->m_after;
            setObsolete(m_after == m_before);
            return true;
        }

    private:
        TSnapshotHistory &m_history;
        Snapshot m_before;
        Snapshot m_after;
        int m_mergeKey;
        int m_run;
        std::function<void(bool)> m_applied;
        bool m_pushed = false;
    };

    void Apply(const Snapshot &snapshot)
    {
        m_applying = true;
        m_restore(snapshot);
        m_applying = false;
        m_base = snapshot;
    }

    Take m_take;
    Restore m_restore;
    QUndoStack *m_stack;
    Snapshot m_base;
    int m_batch = 0;
    int m_run = 0;
    bool m_applying = false;
};
