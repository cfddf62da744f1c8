#pragma once

#include "base/Language.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <stdexcept>

class TMainConfig;

// Channel lists in the "generic CSV" of the common multi-radio programmer, read by column name:
//   Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,
//   RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE
// (older files lack RxDtcsCode, CrossMode and Power), plus this tool's own columns
//   DTMFKey1,DTMFKey2,PTTID,Scrambler,Signalling,SignallingEntry,Compander
// which carry the cells that format has no place for.

// A file that cannot be read or written at all. what() is the message for the user.
class EChannelCsvError : public std::runtime_error {
public:
    explicit EChannelCsvError(const QString &message);
    QString message() const { return QString::fromUtf8(what()); }
};

struct ChannelCsvImport {
    QMap<int, QStringList> rows;  // channel 1..16 -> its 16 cells, the number first
    QStringList reports;          // "line 7: ..." / "第 7 行：..." in file order
};

// The channels of a CSV file from startChannel (1..16) on, one per row with a frequency, as
// consecutive channels; rows past channel 16 and rows that cannot be imported are reported, as
// is every value that had to be changed. Text is UTF-8 (a byte-order mark is skipped); a file
// that is not is read as GBK. Throws EChannelCsvError when the text decodes as neither, has
// no header naming a Frequency column, or is larger than a channel list can be (4 MiB).
// The reports are in the language asked for; the captions and list entries they name are as
// ShownText shows them.
ChannelCsvImport ImportChannelCsv(const QByteArray &bytes, int startChannel = 1,
                                  TLanguage language = TLanguage::English);

// One row per channel in use, in channel order; UTF-8, CR LF. Throws EConvertError, naming the
// channel and column, for a frequency, step or tone cell that a write could not store exactly,
// with the write's reason: exported rounded, it would not be the channel the radio gets.
QByteArray ExportChannelCsv(const TMainConfig &config);

// The same with files; a file that cannot be opened or written throws EChannelCsvError
// ('Cannot open file "name". reason', 'Cannot create file "name". reason').
ChannelCsvImport ReadChannelCsvFile(const QString &path, int startChannel = 1,
                                    TLanguage language = TLanguage::English);
void WriteChannelCsvFile(const TMainConfig &config, const QString &path);
