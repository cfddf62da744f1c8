#pragma once

#include <string>
#include <vector>

// What a user reads when a port does not open: the general message first, then the device,
// what went wrong and what to do about it.
//   permission denied: the group that owns the device and how to join it;
//   busy: the programs that hold it, as far as /proc tells;
//   missing: whether the cable is plugged in.
// error is the errno of the failed open or lock; proc stands for /proc in tests.
std::string OpenFailureMessage(const std::string &path, int error, const std::string &proc = "/proc");

// "ModemManager (pid 812)" for every process with a descriptor on the device. Processes of
// other users are not visible to an ordinary user, so the list may be empty.
std::vector<std::string> ProgramsHolding(const std::string &path, const std::string &proc = "/proc");
