#include "mainconfig/CsvText.h"

namespace {

bool IsLineBreak(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

}  // namespace

TCsvReader::TCsvReader(const QString &text) : m_text(text) {}

std::optional<CsvRecord> TCsvReader::Next()
{
    while (m_pos < m_text.size()) {
        CsvRecord record;
        record.line = m_line;
        m_unclosed = false;
        record.fields = Record();
        record.unclosed = m_unclosed;
        if (record.fields.size() > 1 || !record.fields.constFirst().isEmpty())
            return record;
    }
    return std::nullopt;
}

QStringList TCsvReader::Record()
{
    QStringList fields;
    for (;;) {
        fields << Field();
        if (m_pos >= m_text.size())
            return fields;
        if (m_text.at(m_pos) == QLatin1Char(',')) {
            ++m_pos;
            continue;
        }
        SkipLineBreak();
        return fields;
    }
}

// One field, up to (not over) the comma or line break that ends it.
QString TCsvReader::Field()
{
    QString field;
    bool quoted = false;
    if (m_pos < m_text.size() && m_text.at(m_pos) == QLatin1Char('"')) {
        quoted = true;
        ++m_pos;
    }
    while (m_pos < m_text.size()) {
        const QChar c = m_text.at(m_pos);
        if (quoted && c == QLatin1Char('"')) {
            if (m_pos + 1 < m_text.size() && m_text.at(m_pos + 1) == QLatin1Char('"')) {
                field += c;
                m_pos += 2;
                continue;
            }
            quoted = false;
            ++m_pos;
            continue;
        }
        if (!quoted && (c == QLatin1Char(',') || IsLineBreak(c)))
            break;
        if (IsLineBreak(c))
            SkipLineBreak(&field);
        else {
            field += c;
            ++m_pos;
        }
    }
    m_unclosed = m_unclosed || quoted;
    return field;
}

// Passes CR LF, LF or CR at m_pos, copying it into `into` when given (a break in quotes).
void TCsvReader::SkipLineBreak(QString *into)
{
    const bool crlf = m_text.at(m_pos) == QLatin1Char('\r') && m_pos + 1 < m_text.size()
                      && m_text.at(m_pos + 1) == QLatin1Char('\n');
    const int length = crlf ? 2 : 1;
    if (into)
        *into += m_text.mid(m_pos, length);
    m_pos += length;
    ++m_line;
}

QVector<CsvRecord> SplitCsvRecords(const QString &text)
{
    QVector<CsvRecord> records;
    TCsvReader reader(text);
    while (std::optional<CsvRecord> record = reader.Next())
        records << *record;
    return records;
}

QString CsvField(const QString &text)
{
    const bool needsQuotes = text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"'))
                             || text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
    if (!needsQuotes)
        return text;
    QString inner = text;
    inner.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

QString CsvLine(const QStringList &fields)
{
    QStringList parts;
    for (const QString &field : fields)
        parts << CsvField(field);
    return parts.join(QLatin1Char(','));
}
