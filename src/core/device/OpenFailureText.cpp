#include "device/OpenFailureText.h"

namespace {

const char kGeneral[] = "Error opening serial port";

}  // namespace

const char kPortInUseElsewhere[] = "in use by another program. Close the program that uses it, then try again.";
const char kNoSuchPort[] = "no such device. Is the cable plugged in?";
const char kOwnTerminal[] = "this is the terminal the program runs in, not a radio's port. Choose the port of the "
                            "programming cable.";

std::string OpenFailureText(const std::string &path, const std::string &detail)
{
    return std::string(kGeneral) + ": " + path + ": " + detail;
}
