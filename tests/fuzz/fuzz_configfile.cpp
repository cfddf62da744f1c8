// The .qz loader on any bytes: it either fills the model or refuses the file with its error,
// and a loaded model survives a save and a second load unchanged (empty cells aside).
#include "mainconfig/ConfigFile.h"
#include "mainconfig/MainConfig.h"

#include "FuzzScratch.h"

#include <cstdlib>

namespace {

// Cells a short line lacks are empty after the first load and a single space after the second,
// as every empty field is.
QStringList Filled(QStringList cells)
{
    for (QString &cell : cells)
        if (cell.isEmpty())
            cell = QStringLiteral(" ");
    return cells;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path =
        WriteFuzzFile(QStringLiteral("in.qz"), QByteArray(reinterpret_cast<const char *>(data), static_cast<int>(size)));
    TMainConfig config;
    try {
        LoadConfigFile(config, path);
    } catch (const EConfigFileError &) {
        return 0;
    }
    const QString again = FuzzScratch().filePath(QStringLiteral("again.qz"));
    try {
        SaveConfigFile(config, again);
    } catch (const EConfigFileError &) {
        return 0;  // a text GBK cannot hold came in through a UTF-8 file
    }
    TMainConfig reloaded;
    LoadConfigFile(reloaded, again);
    for (int row = 0; row < TMainConfig::kRows; ++row)
        if (Filled(reloaded.Row(row)) != Filled(config.Row(row)))
            std::abort();
    for (int box = 1; box <= 9; ++box)
        if (reloaded.Setting(box) != config.Setting(box))
            std::abort();
    return 0;
}
