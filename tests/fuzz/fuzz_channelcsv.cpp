// The CSV import on any bytes and any start channel: it returns rows for channels 1..16 only,
// 16 cells each, or refuses the file with EChannelCsvError; the rows it returns go into a model
// that a write can encode, every channel of it.
#include "base/TextConvert.h"
#include "mainconfig/ChannelCsv.h"
#include "mainconfig/MainCodec.h"
#include "mainconfig/MainConfig.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const int startChannel = 1 + data[0] % TMainConfig::kChannels;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), static_cast<int>(size - 1));
    ChannelCsvImport imported;
    try {
        imported = ImportChannelCsv(bytes, startChannel);
    } catch (const EChannelCsvError &) {
        return 0;
    }
    for (auto it = imported.rows.cbegin(); it != imported.rows.cend(); ++it) {
        if (it.key() < startChannel || it.key() > TMainConfig::kChannels || it.value().size() != TMainConfig::kCols)
            std::abort();
    }
    TMainConfig config;
    config.ReplaceRows(imported.rows);
    try {
        BuildMainImage(config);
    } catch (const EConvertError &) {
        std::abort();
    }
    return 0;
}
