#include "cli/HpiCommands.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "archive/HpiArchive.h"
#include "archive/HpiWriter.h"
#include "base/FileSystem.h"
#include "cli/CommandErrors.h"

namespace kloxmere::cli {

namespace fs = std::filesystem;

namespace {

std::unique_ptr<HpiArchive> openArchive(const std::string& archivePath) {
    std::error_code error;
    if (!fs::exists(PathFromUtf8(archivePath), error)) {
        throw CommandError(archivePath + ": no such file");
    }
    return HpiArchive::open(PathFromUtf8(archivePath));
}

}  // namespace

void ListArchive(const std::string& archivePath, bool json, std::ostream& out) {
    auto archive = openArchive(archivePath);
    std::vector<HpiFileInfo> files = archive->listFiles();
    if (json) {
        nlohmann::ordered_json list = nlohmann::ordered_json::array();
        for (const HpiFileInfo& file : files) {
            list.push_back({{"path", file.path},
                            {"size", file.size},
                            {"compression", HpiCompressionName(file.compression)}});
        }
        out << list.dump(2) << '\n';
        return;
    }
    for (const HpiFileInfo& file : files) {
        out << file.path << '\t' << file.size << '\t' << HpiCompressionName(file.compression)
            << '\n';
    }
}

void ExtractFromArchive(const std::string& archivePath, const std::string& innerPath,
                        const std::string& destPath) {
    fs::path dest = PathFromUtf8(destPath);
    std::error_code error;
    if (fs::is_directory(dest, error)) {
        throw CommandError(destPath + ": is a directory; give the file to write");
    }
    auto archive = openArchive(archivePath);
    if (!archive->findFile(innerPath)) {
        if (archive->listDirectory(innerPath)) {
            throw CommandError(archivePath + ": " + innerPath + " is a directory, not a file");
        }
        throw CommandError(archivePath + ": no file " + innerPath + " in the archive");
    }
    std::vector<std::uint8_t> bytes = archive->extract(innerPath);
    WriteFileAtomically(dest, bytes);
}

std::size_t PackDirectory(const std::string& archivePath, const std::string& sourceDir) {
    fs::path source = PathFromUtf8(sourceDir);
    fs::path target = PathFromUtf8(archivePath);
    std::error_code error;
    if (!fs::is_directory(source, error)) {
        throw CommandError(sourceDir + ": not a directory");
    }
    if (fs::is_directory(target, error)) {
        throw CommandError(archivePath + ": is a directory; give the archive file to write");
    }

    HpiWriter writer;
    std::size_t count = 0;
    bool replacing = fs::exists(target, error);
    fs::recursive_directory_iterator it(source, error), end;
    for (; !error && it != end; it.increment(error)) {
        std::error_code ignored;
        if (!it->is_regular_file(ignored)) continue;
        // An archive written into the tree it packs must not pack its old self.
        if (replacing && fs::equivalent(it->path(), target, ignored)) continue;
        std::string inner;
        for (const fs::path& part : it->path().lexically_relative(source)) {
            if (!inner.empty()) inner += '\\';
            inner += Utf8FromPath(part);
        }
        writer.addFile(inner, ReadFileBytes(it->path()));
        ++count;
    }
    if (error) throw CommandError(sourceDir + ": cannot be read: " + error.message());
    writer.write(target);
    return count;
}

void RegisterHpiCommands(CLI::App& app) {
    CLI::App* hpi = app.add_subcommand("hpi", "List, extract and pack the game's archives");
    hpi->require_subcommand(1);

    struct Options {
        std::string archive;
        std::string innerPath;
        std::string dest;
        std::string sourceDir;
        bool json = false;
    };
    auto options = std::make_shared<Options>();

    CLI::App* list = hpi->add_subcommand("list", "List every file of an archive");
    list->add_option("ARCHIVE", options->archive, "The archive (*.hpi, *.ccx, *.ufo, ...)")
        ->required();
    list->add_flag("--json", options->json, "Print a JSON array of {path, size, compression}");
    list->callback([options] { ListArchive(options->archive, options->json, std::cout); });

    CLI::App* extract = hpi->add_subcommand("extract", "Extract one file of an archive");
    extract->add_option("ARCHIVE", options->archive, "The archive")->required();
    extract
        ->add_option("INNER-PATH", options->innerPath,
                     "The file inside the archive, e.g. units\\ARMCOM.FBI (any case, / or \\)")
        ->required();
    extract->add_option("DEST-FILE", options->dest, "The file to write")->required();
    extract->callback(
        [options] { ExtractFromArchive(options->archive, options->innerPath, options->dest); });

    CLI::App* pack = hpi->add_subcommand("pack", "Pack a directory tree into a new archive");
    pack->add_option("ARCHIVE", options->archive, "The archive to write")->required();
    pack->add_option("SOURCE-DIR", options->sourceDir, "The directory to pack")->required();
    pack->callback([options] {
        std::size_t count = PackDirectory(options->archive, options->sourceDir);
        std::cout << "Packed " << count << (count == 1 ? " file" : " files") << " into "
                  << options->archive << '\n';
    });
}

}  // namespace kloxmere::cli
