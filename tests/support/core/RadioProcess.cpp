#include "support/core/RadioProcess.h"

#include <QElapsedTimer>
#include <csignal>

RadioProcess::RadioProcess(const QString &program, const QString &link, const QStringList &args,
                           const QProcessEnvironment &env, LinkAt at)
    : m_link(link), m_save(link + QStringLiteral(".saved"))
{
    QStringList all = args;
    if (at == LinkAt::Given)
        all << QStringLiteral("--link") << m_link;
    m_process.setProcessEnvironment(env);
    m_process.start(program, all << QStringLiteral("--save") << m_save);
    QElapsedTimer clock;
    clock.start();
    while (!m_process.canReadLine() && clock.elapsed() < 5000 && m_process.state() != QProcess::NotRunning)
        m_process.waitForReadyRead(50);
    m_device = QString::fromUtf8(m_process.readLine()).trimmed();
}

RadioProcess::~RadioProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
}

QStringList RadioProcess::ImageArgs(const QString &link, const TRadioImage &image)
{
    const QString path = link + QStringLiteral(".start");
    QString error;
    if (!image.save(path, &error))
        qWarning("%s", qPrintable(error));
    return {QStringLiteral("--image"), path};
}

std::optional<TRadioImage> RadioProcess::Stop()
{
    ::kill(static_cast<pid_t>(m_process.processId()), SIGTERM);
    if (!m_process.waitForFinished(5000) || m_process.exitCode() != 0)
        return std::nullopt;
    QString error;
    return TRadioImage::load(m_save, &error);
}
