#include "device/OpenFailureText.h"

const char kOpenFailureGeneral[] = "Error opening serial port";
const char kPortInUseElsewhere[] = "in use by another program. Close the program that uses it, then try again.";
const char kNoSuchPort[] = "no such device. Is the cable plugged in?";

std::string OpenFailureText(const std::string &path, const std::string &detail)
{
    return std::string(kOpenFailureGeneral) + ": " + path + ": " + detail;
}
