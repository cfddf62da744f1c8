#include "radio/PtyRadio.h"

#include "serial/SerialPorts.h"

#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr qint64 kNsPerMs = 1000000;
constexpr qint64 kCloseGraceNs = 100 * kNsPerMs;  // lets the tool read the last answer first

QString systemError(const QString &what)
{
    return QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(errno)));
}

// No echo, no line editing, no translation: the tool must see exactly the radio's bytes, and
// the radio must not hear its own answers echoed back.
bool makeRaw(int fd)
{
    termios tio{};
    if (tcgetattr(fd, &tio) != 0)
        return false;
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    cfsetispeed(&tio, B9600);
    cfsetospeed(&tio, B9600);
    return tcsetattr(fd, TCSANOW, &tio) == 0;
}

bool replaceLink(const QString &linkPath, const QString &target, QString *error)
{
    // A fresh link under a temporary name, renamed over the old one: never a moment without it.
    const QByteArray link = QFile::encodeName(linkPath);
    const QByteArray temp = link + ".new" + QByteArray::number(getpid());
    ::unlink(temp.constData());
    if (::symlink(QFile::encodeName(target).constData(), temp.constData()) != 0) {
        *error = systemError(QStringLiteral("cannot create the link %1").arg(linkPath));
        return false;
    }
    if (::rename(temp.constData(), link.constData()) != 0) {
        *error = systemError(QStringLiteral("cannot create the link %1").arg(linkPath));
        ::unlink(temp.constData());
        return false;
    }
    return true;
}

}  // namespace

PtyRadio::PtyRadio(VirtualRadio &radio, QObject *parent) : QObject(parent), m_radio(radio)
{
    connect(&m_alarm, &PreciseAlarm::ring, this, &PtyRadio::service);
    m_clock.start();
}

PtyRadio::~PtyRadio()
{
    close();
}

QString PtyRadio::defaultLinkPath()
{
    return DefaultVirtualRadioLink();  // where the tool's port list looks for it
}

bool PtyRadio::open(const QString &linkPath, QString *error)
{
    QString problem;
    auto fail = [&](const QString &message) {
        if (error)
            *error = message;
        close();
        return false;
    };
    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0)
        return fail(systemError(QStringLiteral("cannot create a pseudo-terminal")));
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    char name[128] = {};
    if (grantpt(m_master) != 0 || unlockpt(m_master) != 0 || ptsname_r(m_master, name, sizeof name) != 0)
        return fail(systemError(QStringLiteral("cannot set up the pseudo-terminal")));
    m_devicePath = QFile::decodeName(name);

    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_slave < 0 || !makeRaw(m_slave))
        return fail(systemError(QStringLiteral("cannot open %1").arg(m_devicePath)));

    if (!linkPath.isEmpty()) {
        if (!replaceLink(linkPath, m_devicePath, &problem))
            return fail(problem);
        m_linkPath = linkPath;
    }

    m_notifier = std::make_unique<QSocketNotifier>(m_master, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &PtyRadio::readAvailable);
    return true;
}

void PtyRadio::close()
{
    m_notifier.reset();
    m_alarm.stop();
    m_heard.clear();
    m_sending.clear();
    m_goneAtNs = -1;
    if (!m_linkPath.isEmpty()) {
        // Another radio may have taken the path over since; leave its link alone.
        if (QFile::symLinkTarget(m_linkPath) == m_devicePath)
            QFile::remove(m_linkPath);
        m_linkPath.clear();
    }
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    m_slave = -1;
    m_master = -1;
}

void PtyRadio::readAvailable()
{
    QByteArray bytes;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n <= 0)
            break;  // EAGAIN: all read; EIO cannot last while the radio holds the slave open
        bytes.append(buffer, static_cast<int>(n));
    }
    if (bytes.isEmpty())
        return;
    if (m_byteTiming) {
        const qint64 t = now();
        for (char byte : bytes) {
            m_rxFreeNs = qMax(t, m_rxFreeNs) + kByteNs;
            m_heard.push_back({m_rxFreeNs, byte});
        }
    } else {
        hear(bytes, now());
    }
    service();
}

void PtyRadio::hear(const QByteArray &bytes, qint64 atNs)
{
    schedule(m_radio.handle(bytes), atNs);
}

void PtyRadio::schedule(const std::vector<RadioSend> &parts, qint64 fromNs)
{
    qint64 start = qMax(fromNs, m_txFreeNs);
    for (const RadioSend &part : parts) {
        start += part.pauseMs * kNsPerMs;
        for (char byte : part.bytes) {
            if (m_byteTiming)
                start += kByteNs;  // a byte is there when its last bit is
            m_sending.push_back({start, byte});
        }
    }
    m_txFreeNs = start;
}

void PtyRadio::service()
{
    if (!isOpen())
        return;
    const qint64 t = now();
    QByteArray heard;
    qint64 heardAt = t;
    while (!m_heard.empty() && m_heard.front().dueNs <= t) {
        heard.append(m_heard.front().byte);
        heardAt = m_heard.front().dueNs;
        m_heard.pop_front();
    }
    if (!heard.isEmpty())
        hear(heard, heardAt);
    writeDue(t);

    if (m_radio.gone() && m_sending.empty() && m_goneAtNs < 0)
        m_goneAtNs = t + kCloseGraceNs;
    if (m_goneAtNs >= 0 && t >= m_goneAtNs) {
        close();
        emit disappeared();
        return;
    }
    rearm(t);
}

void PtyRadio::writeDue(qint64 t)
{
    QByteArray due;
    while (!m_sending.empty() && m_sending.front().dueNs <= t) {
        due.append(m_sending.front().byte);
        m_sending.pop_front();
    }
    // A serial line has no flow control here: what nobody reads is lost, never waited for.
    if (!due.isEmpty() && ::write(m_master, due.constData(), static_cast<size_t>(due.size())) < 0 && errno != EAGAIN)
        qWarning("xiepin-radio: write to the pseudo-terminal failed: %s", std::strerror(errno));
}

void PtyRadio::rearm(qint64 t)
{
    qint64 next = -1;
    auto consider = [&next](qint64 due) {
        if (due >= 0 && (next < 0 || due < next))
            next = due;
    };
    if (!m_heard.empty())
        consider(m_heard.front().dueNs);
    if (!m_sending.empty())
        consider(m_sending.front().dueNs);
    consider(m_goneAtNs);
    if (next < 0) {
        m_alarm.stop();
        return;
    }
    m_alarm.start(next - t);
}
