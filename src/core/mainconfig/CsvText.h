#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

// Comma-separated text as RFC 4180 has it: fields split by commas, a field in double quotes may
// hold commas, line breaks and doubled quotes. Lines end with CR LF, LF or a lone CR.

struct CsvRecord {
    int line = 0;           // where the record starts, counted from 1
    QStringList fields;     // as written, blanks kept
    bool unclosed = false;  // a quoted field of it ran to the end of the text
};

// The records of a text one after another, so that a caller may stop early. A line with
// nothing on it gives no record; a final line break adds none. Text after a closing quote up to
// the next comma stays part of the field.
class TCsvReader {
public:
    explicit TCsvReader(const QString &text);
    // The next record; nullopt at the end of the text.
    std::optional<CsvRecord> Next();

private:
    QStringList Record();
    QString Field();
    void SkipLineBreak(QString *into = nullptr);

    const QString m_text;  // shared with the caller's, not copied
    int m_pos = 0;
    int m_line = 1;
    bool m_unclosed = false;
};

// Every record of the text in order, as TCsvReader reads them.
QVector<CsvRecord> SplitCsvRecords(const QString &text);

// The field as written into a file: in double quotes, inner quotes doubled, when it holds a
// comma, a double quote or a line break; unchanged otherwise.
QString CsvField(const QString &text);
// Fields joined by commas, each as CsvField writes it.
QString CsvLine(const QStringList &fields);
