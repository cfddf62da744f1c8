#pragma once

#include "protocol/ProgramLink.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

class TCliProgress;

// The transfers of one command over one port, each run to its end in a local event loop.
//
// The engine resends an unanswered frame every 300 ms without end; here a transfer fails when
// the radio gives no answer that moves it on for the timeout. Every read is checked block by
// block: a transfer that completes without some block (a reply that carried another block
// number makes the engine skip the one requested) fails instead of yielding a wrong result.
// Failures throw ECliError with a one-line message that names the port and the transfer; a port
// that goes away ends the transfer at once.
class TLinkSession {
public:
    // A serial port (TComm) with the main window's line settings: no flow control, chunks end
    // after 20 ms of silence.
    TLinkSession(const QString &portName, int timeoutMs, TCliProgress &progress);
    // Any channel, e.g. an in-process radio.
    TLinkSession(std::unique_ptr<TSerialChannel> channel, const QString &portName, int timeoutMs,
                 TCliProgress &progress);
    ~TLinkSession();
    TLinkSession(const TLinkSession &) = delete;
    TLinkSession &operator=(const TLinkSession &) = delete;

    TProgramLink &Link() { return m_link; }
    // Ends the running transfer; it fails as interrupted when a signal asked for it.
    void Cancel();

    // Handshake, area 0 blocks 1..16, area 5 block 0. Opens the port and leaves it closed.
    MainImage MainRead();
    // Handshake, the 16 channels and the settings block. Opens the port and leaves it closed.
    void MainWrite(const MainImage &image);

    // The area transfers need the port open.
    void OpenPort();
    void ClosePort();
    // Every block of area 1..4.
    std::vector<Block> AreaRead(int area, NextRead rule);
    void AreaWrite(int area, const std::vector<Block> &blocks, WriteFraming framing);

private:
    // Starts a transfer with `start` (false: it did not start) and waits until it finishes or
    // the radio stays silent for the timeout.
    void Run(const QString &what, int answers, const std::function<bool()> &start);
    QString PortError(const char *reason) const;

    TProgramLink m_link;
    QString m_portName;
    int m_timeoutMs;
    TCliProgress &m_progress;
};

// "DTMF (area 1)", "two-tone (area 3)" and the like, for messages.
QString AreaName(int area);
