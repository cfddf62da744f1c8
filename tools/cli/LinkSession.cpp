#include "cli/LinkSession.h"

#include "cli/CliError.h"
#include "cli/CliProgress.h"
#include "cli/Interrupt.h"
#include "serial/Comm.h"

#include <QEventLoop>
#include <QTimer>
#include <map>

namespace {

std::unique_ptr<TSerialChannel> MakeSerialPort()
{
    return CreateComm1();
}

QString Seconds(int ms)
{
    return QString::number(ms / 1000.0, 'g', 6);
}

[[noreturn]] void MissingBlock(int area, int block, int answered)
{
    // The DTMF and FSK reads count replies: one that carries another block number ends them
    // with a block never sent.
    throw ETransferFailed(QStringLiteral("incomplete read: the radio never sent area %1 block %2 "
                                         "(a reply carried another block number)")
                              .arg(area)
                              .arg(block),
                          false, answered);
}

}  // namespace

QString AreaName(int area)
{
    if (!IsArea(area))
        return QStringLiteral("area %1").arg(area);
    return QStringLiteral("%1 (area %2)").arg(QString::fromUtf8(AreaFacts(area).name)).arg(area);
}

TLinkSession::TLinkSession(const QString &portName, int timeoutMs, TCliProgress &progress)
    : TLinkSession(MakeSerialPort(), portName, timeoutMs, progress)
{
}

TLinkSession::TLinkSession(std::unique_ptr<TSerialChannel> channel, const QString &portName, int timeoutMs,
                           TCliProgress &progress)
    : m_link(std::move(channel)), m_portName(portName), m_timeoutMs(timeoutMs), m_progress(progress)
{
}

TLinkSession::~TLinkSession()
{
    if (m_link.IsBusy())
        m_link.Cancel();
    m_link.ClosePort();
}

QString TLinkSession::PortError(const char *reason) const
{
    return QStringLiteral("cannot open %1: %2").arg(m_portName, QString::fromUtf8(reason));
}

void TLinkSession::OpenPort()
{
    try {
        m_link.OpenPort(m_portName);
    } catch (const ECommsError &e) {
        throw ECliError(PortError(e.what()));
    }
}

void TLinkSession::ClosePort()
{
    m_link.ClosePort();
}

void TLinkSession::Cancel()
{
    if (m_link.IsBusy())
        m_link.Cancel(TransferEnd::Cancelled);
}

void TLinkSession::Run(const QString &what, int answers, const std::function<bool()> &start)
{
    if (TInterruptCancels::Interrupted())
        throw ETransferNotStarted(QStringLiteral("interrupted before %1 on %2").arg(what, m_portName));
    QEventLoop loop;
    QTimer silence;
    silence.setSingleShot(true);
    silence.setTimerType(Qt::PreciseTimer);  // a coarse timer may fire 5 % early
    silence.setInterval(m_timeoutMs);
    bool finished = false;
    TransferEnd reason = TransferEnd::Cancelled;
    int answered = 0;

    // The connections live as long as this context object, i.e. this one transfer.
    QObject context;
    QObject::connect(&m_link, &TProgramLink::Progressed, &context, [&](TransferKind, int, int count) {
        answered = count;
        m_progress.Step(count);
        silence.start();
    });
    QObject::connect(&m_link, &TProgramLink::Finished, &context, [&](TransferKind, int, TransferEnd why) {
        finished = true;
        reason = why;
        loop.quit();
    });
    QObject::connect(&silence, &QTimer::timeout, &loop, &QEventLoop::quit);

    bool started = false;
    try {
        started = start();
    } catch (const ECommsError &e) {
        throw ETransferNotStarted(PortError(e.what()));
    }
    if (!started)
        throw ETransferNotStarted(QStringLiteral("%1 on %2 could not start (is the port open?)").arg(what, m_portName));
    m_progress.Begin(what, answers);
    if (!finished) {
        silence.start();
        loop.exec();
    }
    m_progress.End();
    if (!finished) {
        m_link.Cancel(TransferEnd::Silent);
        throw ETransferFailed(QStringLiteral("no answer from the radio on %1 for %2 s while %3 (%4 of %5 answers came)")
                                  .arg(m_portName, Seconds(m_timeoutMs), what, QString::number(answered),
                                       QString::number(answers)),
                              false, answered);
    }
    if (reason == TransferEnd::PortGone)
        throw ETransferFailed(QStringLiteral("%1: the port was disconnected (%2 of %3 answers came)")
                                  .arg(m_portName, QString::number(answered), QString::number(answers)),
                              true, answered);
    if (reason == TransferEnd::Cancelled && TInterruptCancels::Interrupted())
        throw ETransferFailed(QStringLiteral("interrupted while %1 on %2 (%3 of %4 answers came)")
                                  .arg(what, m_portName, QString::number(answered), QString::number(answers)),
                              false, answered);
    if (reason != TransferEnd::Completed)
        throw ECliError(QStringLiteral("%1 on %2 was cancelled").arg(what, m_portName));
}

MainImage TLinkSession::MainRead()
{
    std::map<int, Block> channels;
    std::map<int, Block> settings;
    QObject context;
    QObject::connect(&m_link, &TProgramLink::MainBlockRead, &context, [&](int area, int block, const Block &data) {
        (area == frame::kSettingsArea ? settings : channels)[block] = data;
    });
    Run(QStringLiteral("reading channels and settings"), frame::kMainAnswers,
        [&] { return m_link.StartMainRead(m_portName); });

    MainImage image;
    for (int n = 1; n <= frame::kChannelCount; ++n) {
        const auto found = channels.find(n);
        if (found == channels.end())
            MissingBlock(frame::kMainArea, n, frame::kMainAnswers);
        image.channels[static_cast<std::size_t>(n - 1)] = found->second;
    }
    const auto found = settings.find(0);
    if (found == settings.end())
        MissingBlock(frame::kSettingsArea, 0, frame::kMainAnswers);
    image.settings = found->second;
    return image;
}

void TLinkSession::MainWrite(const MainImage &image)
{
    Run(QStringLiteral("writing channels and settings"), frame::kMainAnswers,
        [&] { return m_link.StartMainWrite(m_portName, image); });
}

std::vector<Block> TLinkSession::AreaRead(int area, NextRead rule)
{
    std::map<int, Block> received;
    QObject context;
    QObject::connect(&m_link, &TProgramLink::AreaBlockRead, &context, [&](int replyArea, int block, const Block &data) {
        if (replyArea == area)
            received[block] = data;
    });
    const int count = AreaFacts(area).blockCount;
    Run(QStringLiteral("reading %1").arg(AreaName(area)), count, [&] { return m_link.StartAreaRead(area, rule); });

    std::vector<Block> blocks;
    for (int block = 0; block < count; ++block) {
        const auto found = received.find(block);
        if (found == received.end())
            MissingBlock(area, block, count);
        blocks.push_back(found->second);
    }
    return blocks;
}

void TLinkSession::AreaWrite(int area, const std::vector<Block> &blocks, WriteFraming framing)
{
    Run(QStringLiteral("writing %1").arg(AreaName(area)), static_cast<int>(blocks.size()),
        [&] { return m_link.StartAreaWrite(area, blocks, framing); });
}
