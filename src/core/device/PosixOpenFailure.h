#pragma once

#include <string>
#include <vector>

// What a user reads when a port does not open: the general message first, then the device,
// what went wrong and what to do about it.
//   permission denied: the group that owns the device and how to join it, when that group may
//   read and write it; else who may;
//   busy: the programs that hold it, as far as /proc tells;
//   missing: whether the cable is plugged in.
// error is the errno of the failed open or lock; proc stands for /proc in tests.
std::string OpenFailureMessage(const std::string &path, int error, const std::string &proc = "/proc");

// "ModemManager (pid 812)" for every process that holds a lock on the device (/proc/locks), or
// else has a descriptor on it; this process is left out (its own windows are not "another
// program"). Processes of other users are not visible to an ordinary user, so the list may be
// empty.
std::vector<std::string> ProgramsHolding(const std::string &path, const std::string &proc = "/proc");
