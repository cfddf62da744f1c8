#include "mainconfig/CsvText.h"

namespace {

bool IsLineBreak(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

// Reads records one character at a time; `line` follows every line break, quoted ones too.
class CsvReader {
public:
    explicit CsvReader(const QString &text) : m_text(text) {}

    QVector<CsvRecord> Records()
    {
        QVector<CsvRecord> records;
        while (m_pos < m_text.size()) {
            CsvRecord record;
            record.line = m_line;
            record.fields = Record();
            if (record.fields.size() > 1 || !record.fields.constFirst().isEmpty())
                records << record;
        }
        return records;
    }

private:
    QStringList Record()
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
    QString Field()
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
        return field;
    }

    // Passes CR LF, LF or CR at m_pos, copying it into `into` when given (a break in quotes).
    void SkipLineBreak(QString *into = nullptr)
    {
        const bool crlf = m_text.at(m_pos) == QLatin1Char('\r') && m_pos + 1 < m_text.size()
                          && m_text.at(m_pos + 1) == QLatin1Char('\n');
        const int length = crlf ? 2 : 1;
        if (into)
            *into += m_text.mid(m_pos, length);
        m_pos += length;
        ++m_line;
    }

    const QString &m_text;
    int m_pos = 0;
    int m_line = 1;
};

}  // namespace

QVector<CsvRecord> SplitCsvRecords(const QString &text)
{
    return CsvReader(text).Records();
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
