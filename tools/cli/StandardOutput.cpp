#include "cli/StandardOutput.h"

#include "cli/CliError.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

QString TerminalText(const QString &text)
{
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        const bool control = c.category() == QChar::Other_Control && c != QLatin1Char('\n') && c != QLatin1Char('\t');
        if (control)
            shown += QStringLiteral("\\x") + QString::number(c.unicode(), 16).toUpper().rightJustified(2, QLatin1Char('0'));
        else
            shown += c;
    }
    return shown;
}

void PrintOut(const QString &text)
{
    const QByteArray bytes = TerminalText(text).toLocal8Bit();
    errno = 0;
    const bool written = std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout) ==
                             static_cast<std::size_t>(bytes.size()) &&
                         std::fflush(stdout) == 0;
    if (!written) {
        const int error = errno;
        std::clearerr(stdout);
        throw ECliError(QStringLiteral("cannot write to standard output: %1")
                            .arg(QString::fromLocal8Bit(std::strerror(error != 0 ? error : EIO))));
    }
}
