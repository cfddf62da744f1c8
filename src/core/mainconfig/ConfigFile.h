#pragma once

#include <QString>
#include <QStringList>
#include <stdexcept>

class TMainConfig;

// A configuration file that cannot be written or read. what() is the message for the user:
// 'Cannot create file "name". reason' or 'Cannot open file "name". reason'.
class EConfigFileError : public std::runtime_error {
public:
    explicit EConfigFileError(const QString &message);
    QString message() const { return QString::fromUtf8(what()); }
};

// The ".qz" file: 26 lines of GBK text, each ended by CR LF, no byte-order mark.
//   line 1       the 16 column captions (grid row 0)
//   lines 2..17  channels 1..16: number and the 15 channel cells
//   lines 18..26 the texts of ComboBox1..ComboBox9 (the alarm box is not in the file)
// Grid rows are comma-separated cells; see JoinConfigLine/SplitConfigLine.

// Writes a temporary file beside `path` and renames it over `path`, so that a failed save
// leaves an existing file as it was. Throws EConfigFileError, also for a text that GBK cannot
// hold or that holds a line break (the message names the cell or box).
void SaveConfigFile(const TMainConfig &config, const QString &path);

// Reads the whole file first and refuses it, with the model unchanged, unless it has exactly
// 26 lines and decodes (UTF-8 after a UTF-8 byte-order mark, GBK otherwise). Empty fields of
// grid lines become single spaces; the alarm box keeps its text. Throws EConfigFileError.
void LoadConfigFile(TMainConfig &config, const QString &path);

// Why a text cannot go into the file and come back the same (a line break, a NUL character, a
// character GBK cannot hold), without a final full stop; empty when it can.
QString FileTextProblem(const QString &text);

// Cells joined by commas; a cell holding a space, a control character, a double quote or a
// comma is written in double quotes with inner quotes doubled, any other cell unchanged.
QString JoinConfigLine(const QStringList &cells);
// The reverse, as the file is read: blanks (codes 1..32) around fields are skipped, a quoted
// field runs to its closing quote, any other field to the next comma or blank, a comma at the
// very end adds an empty field.
QStringList SplitConfigLine(const QString &line);
