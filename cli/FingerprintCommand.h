#pragma once

// kloxmere-cli fingerprint: the enabled set's code and each enabled archive's
// digest, for two players to compare their installations.

#include <iosfwd>

namespace CLI {
class App;
}

namespace kloxmere::cli {

class CliRun;

void RegisterFingerprintCommand(CLI::App& app);

// Scans and prints the code, then each enabled archive's digest and name.
void FingerprintCommand(CliRun& run, bool json, std::ostream& out);

}  // namespace kloxmere::cli
