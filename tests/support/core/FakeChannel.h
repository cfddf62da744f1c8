#pragma once

#include "serial/SerialChannel.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>

// An in-process port for protocol tests: records every accepted WriteData call with the time it
// came, and lets a test deliver received chunks as if the port had read them.
class FakeChannel : public TSerialChannel {
    Q_OBJECT
public:
    explicit FakeChannel(QObject *parent = nullptr);

    void OpenPort() override;
    void ClosePort() override;
    bool IsOpen() const override { return m_open; }
    bool WriteData(const char *bytes, quint16 count) override;

    // The next OpenPort calls throw ECommsError with this text; empty: they succeed.
    void SetOpenError(const QString &message) { m_openError = message; }

    // Delivers a chunk to the receive handler, as the real port does on the owner's thread.
    void Inject(const QByteArray &chunk) { emit OnReceiveData(chunk); }
    // Delivers the rest of a chunk that the port cut at a complete frame.
    void InjectRest(const QByteArray &rest) { emit OnReceiveRest(rest); }
    // The frame rule the owner gave the port; null when none.
    void SetFrameRule(TFrameRule rule) override { m_frameRule = rule; }
    TFrameRule frameRule() const { return m_frameRule; }
    // The device goes away (a pulled cable): the channel closes itself, refuses writes from
    // now on, and reports the hang-up. Not counted in closes().
    void Disappear();

    struct Write {
        QByteArray bytes;
        qint64 atMs;  // since the channel was created
    };
    const QList<Write> &writes() const { return m_writes; }
    QList<QByteArray> writtenChunks(int from = 0) const;
    QByteArray allBytes(int from = 0) const;
    int writeCount() const { return static_cast<int>(m_writes.size()); }
    void clearWrites() { m_writes.clear(); }

    int opens() const { return m_opens; }
    int closes() const { return m_closes; }
    int refusedWrites() const { return m_refused; }

private:
    QElapsedTimer m_clock;
    QList<Write> m_writes;
    QString m_openError;
    TFrameRule m_frameRule = nullptr;
    bool m_open = false;
    int m_opens = 0;
    int m_closes = 0;
    int m_refused = 0;
};
