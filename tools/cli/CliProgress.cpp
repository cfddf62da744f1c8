#include "cli/CliProgress.h"

#include "cli/StandardOutput.h"

#include <unistd.h>

TCliProgress::TCliProgress(FILE *stream)
    : m_stream(stream), m_terminal(::isatty(::fileno(stream)) == 1)
{
}

TCliProgress::~TCliProgress()
{
    End();
}

void TCliProgress::Begin(const QString &label, int total)
{
    End();
    m_label = label;
    m_total = total;
    if (m_terminal) {
        m_lineOpen = true;
        Step(0);
    } else {
        Write(label + QLatin1Char('\n'));
    }
}

void TCliProgress::Step(int done)
{
    if (m_lineOpen)
        Write(QStringLiteral("\r%1: %2/%3").arg(m_label, QString::number(done), QString::number(m_total)));
}

void TCliProgress::End()
{
    if (!m_lineOpen)
        return;
    m_lineOpen = false;
    Write(QStringLiteral("\n"));
}

void TCliProgress::Note(const QString &line)
{
    End();
    Write(TerminalText(line) + QLatin1Char('\n'));
}

void TCliProgress::Write(const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), m_stream);
    std::fflush(m_stream);
}
