#include "support/core/ConvertErrors.h"

#include "base/TextConvert.h"

QString ConvertErrorOf(const std::function<void()> &call)
{
    try {
        call();
    } catch (const EConvertError &e) {
        return e.message();
    }
    return QStringLiteral("accepted");
}
