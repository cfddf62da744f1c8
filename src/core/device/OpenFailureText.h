#pragma once

#include <string>

// The words of a port that does not open, on every platform: "Error opening serial port: " (as
// the window has always said it), the device, then what went wrong and what to do.
std::string OpenFailureText(const std::string &path, const std::string &detail);

extern const char kPortInUseElsewhere[];  // held by a program we cannot name
extern const char kNoSuchPort[];          // nothing there by that name
extern const char kOwnTerminal[];         // the terminal the program itself runs in
