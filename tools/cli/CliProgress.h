#pragma once

#include <QString>
#include <cstdio>

// Progress of xiepin-cli on stderr. On a terminal the line of a running transfer counts its
// answers in place ("reading DTMF (area 1): 2/4"); in a log or a pipe each transfer gets one
// plain line when it starts, so that the output stays readable and the last line before a
// failure says what was running.
class TCliProgress {
public:
    explicit TCliProgress(FILE *stream);
    ~TCliProgress();
    TCliProgress(const TCliProgress &) = delete;
    TCliProgress &operator=(const TCliProgress &) = delete;

    void Begin(const QString &label, int total);
    void Step(int done);
    void End();
    // A line of its own; ends a running transfer line first.
    void Note(const QString &line);

private:
    void Write(const QString &text);

    FILE *m_stream;
    bool m_terminal;
    bool m_lineOpen = false;
    QString m_label;
    int m_total = 0;
};
