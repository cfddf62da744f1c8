// The image loader on any bytes, by text and by file: a refusal names its line, and an image it
// takes writes back to a text that loads to the same image.
#include "protocol/RadioImage.h"

#include "FuzzScratch.h"

#include <cstdlib>

namespace {

void CheckRoundTrip(const TRadioImage &image)
{
    QString error;
    const std::optional<TRadioImage> again = TRadioImage::fromText(image.toText(), &error);
    if (!again || *again != image)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), static_cast<int>(size));
    QString error;
    const std::optional<TRadioImage> image = TRadioImage::fromText(text, &error);
    if (image)
        CheckRoundTrip(*image);
    else if (error.isEmpty())
        std::abort();  // a refusal always says why

    const QString path = WriteFuzzFile(QStringLiteral("in.img"), text);
    QString fileError;
    const std::optional<TRadioImage> loaded = TRadioImage::load(path, &fileError);
    if (loaded.has_value() != image.has_value() || (loaded && *loaded != *image))
        std::abort();  // the file and its text load alike
    return 0;
}
