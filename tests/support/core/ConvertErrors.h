#pragma once

#include <QString>
#include <functional>

// The message of the EConvertError the call throws; "accepted" when it throws none.
QString ConvertErrorOf(const std::function<void()> &call);
