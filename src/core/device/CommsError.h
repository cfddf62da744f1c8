#pragma once

#include <stdexcept>

// Raised when a port cannot be opened; the message is the one shown to the user.
class ECommsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
