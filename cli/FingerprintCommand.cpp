#include "cli/FingerprintCommand.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <nlohmann/json.hpp>

#include "catalogue/Fingerprint.h"
#include "cli/CliSession.h"

namespace kloxmere::cli {

void FingerprintCommand(CliRun& run, bool json, std::ostream& out) {
    run.scan();
    EnabledSetFingerprint fingerprint = FingerprintEnabledSet(run.session.catalogue);
    if (json) {
        nlohmann::ordered_json archives = nlohmann::ordered_json::array();
        for (const ArchiveFingerprint& archive : fingerprint.archives) {
            archives.push_back({{"name", archive.name}, {"hash", HexHash(archive.hash)}});
        }
        nlohmann::ordered_json result = {{"fingerprint", fingerprint.code}, {"archives", archives}};
        out << result.dump(2) << '\n';
        return;
    }
    out << fingerprint.code << '\n';
    for (const ArchiveFingerprint& archive : fingerprint.archives) {
        out << HexHash(archive.hash) << "  " << archive.name << '\n';
    }
}

void RegisterFingerprintCommand(CLI::App& app) {
    app.add_subcommand("fingerprint",
                       "Print the enabled set's fingerprint and each enabled archive's digest")
        ->callback([] {
            CliRun run;
            FingerprintCommand(run, Globals().json, std::cout);
            ExitWithoutTeardown(0);  // read-only: nothing left to save
        });
}

}  // namespace kloxmere::cli
