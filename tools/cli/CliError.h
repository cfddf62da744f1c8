#pragma once

#include <QString>
#include <stdexcept>

// Exit codes of xiepin-cli.
namespace exitcode {
constexpr int kSuccess = 0;
constexpr int kFailure = 1;  // the command ran and failed: port, radio, file or text
constexpr int kUsage = 2;    // the command line itself is wrong
constexpr int kDiffer = 3;   // diff: the two sides differ
}  // namespace exitcode

// A failure that ends the command. what() is the one-line message for stderr, without the
// program name in front.
class ECliError : public std::runtime_error {
public:
    explicit ECliError(const QString &message, int exitCode = exitcode::kFailure)
        : std::runtime_error(message.toStdString()), m_exitCode(exitCode)
    {
    }
    QString message() const { return QString::fromStdString(what()); }
    int exitCode() const { return m_exitCode; }

private:
    int m_exitCode;
};

// A failure's message followed by "; nothing written", its full stop dropped.
inline QString NothingWritten(QString message)
{
    if (message.endsWith(QLatin1Char('.')))
        message.chop(1);
    return message + QStringLiteral("; nothing written");
}

// The command line is wrong: unknown command or option, missing or surplus argument.
class ECliUsage : public ECliError {
public:
    explicit ECliUsage(const QString &message) : ECliError(message, exitcode::kUsage) {}
};

// A transfer that did not complete: the radio fell silent or the port went away. answered
// counts the answers that came (for a main write the handshake's acknowledgement among them).
class ETransferFailed : public ECliError {
public:
    ETransferFailed(const QString &message, bool portGone, int answered)
        : ECliError(message), m_portGone(portGone), m_answered(answered)
    {
    }
    bool portGone() const { return m_portGone; }
    int answered() const { return m_answered; }

private:
    bool m_portGone;
    int m_answered;
};

// A transfer that sent nothing: the port did not open, or a signal came before it began.
class ETransferNotStarted : public ETransferFailed {
public:
    explicit ETransferNotStarted(const QString &message) : ETransferFailed(message, false, 0) {}
};
