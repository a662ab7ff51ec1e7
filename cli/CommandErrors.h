#pragma once

// How commands report failure. main.cpp turns them into exit codes: a
// CommandError (a bad, damaged or missing input, an unwritable output) exits
// with 1, a UsageError (the command line itself is wrong) with 2; both print
// one line on stderr.

#include <stdexcept>

namespace kloxmere::cli {

class CommandError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

}  // namespace kloxmere::cli
