#pragma once

#include <QString>
#include <cstdint>

// A string of up to 8 DTMF characters is packed 4 bits per character into a 32-bit code, the
// first character in the highest group used: "123" is 0x123. Two tables give the 4-bit codes:
//
//   character   1..9  0   *   #   A   B   C   D
//   DTMF table  1..9  10  11  12  13  14  15  0    (autodial memories, group call code)
//   ID table    1..9  11  10  12  13  14  15  0    (the radio's own ID code)
//
// "D" is 0, so a code does not tell its length; the radio keeps digit counts beside some codes.
// Lower-case "a" to "d" count as upper-case; any other character is skipped.

constexpr int kMaxDigits = 8;

// The 4-bit code of a character, or -1 when it is none of the 16.
int DtmfDigitCode(QChar c);
int IdDigitCode(QChar c);

std::uint32_t DtmfTextToCode(const QString &text);
std::uint32_t IdTextToCode(const QString &text);

// The `count` lowest 4-bit groups, the highest first; groups above the 8th read as "D".
// A code of 0 or a count below 1 gives no text.
QString DtmfCodeToText(std::uint32_t code, int count);
QString IdCodeToText(std::uint32_t code, int count);

// Groups up to the highest non-zero one: the length of a code's text without its leading "D"s.
int SignificantDigits(std::uint32_t code);

// Throws EConvertError unless the text is at most 8 of "0"-"9", "A"-"D", "*", "#"
// (lower-case "a"-"d" allowed).
void CheckDigitText(const QString &text);
