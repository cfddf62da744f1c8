#pragma once

#include <QObject>

#include <memory>

// Tells when a serial device comes or goes, on the thread that owns it: a libudev monitor of
// the tty subsystem whose socket a QSocketNotifier watches. Where libudev is missing (Windows,
// macOS, a build without it) it never signals, and IsWatching() says so.
class TPortWatcher : public QObject {
    Q_OBJECT
public:
    explicit TPortWatcher(QObject *parent = nullptr);
    ~TPortWatcher() override;

    bool IsWatching() const;

Q_SIGNALS:
    void PortsChanged();

private:
    struct Monitor;
    std::unique_ptr<Monitor> m_monitor;
};
