#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

// Decimal views of a double, taken from its 15-significant-digit form so that a typed
// "438.12345" is treated as exactly that and not as its nearest binary fraction.

// value rounded to `decimals` places (ties away from zero), at least one integer digit:
// FormatFixed(438.123456, 5) == "438.12346", FormatFixed(0.5, 5) == "0.50000".
QString FormatFixed(double value, int decimals);

// value * 10^decimals when that is a whole number, else nullopt (also when it does not fit
// in 18 digits): ScaledWhole(88.5, 1) == 885, ScaledWhole(88.55, 1) == nullopt.
std::optional<qint64> ScaledWhole(double value, int decimals);
