#include "tools/InstallationGenerator.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <charconv>
#include <exception>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "archive/HpiWriter.h"
#include "base/FileSystem.h"
#include "base/TextCase.h"
#include "tools/FillerContent.h"
#include "tools/InstallationPlan.h"
#include "tools/Lz77Encoder.h"

namespace kloxmere::tools {

namespace {

// Stand-ins per kind: enough that neighbouring units rarely share one.
constexpr std::size_t kFillerVariants = 24;

struct WrittenArchive {
    std::uint64_t archiveBytes = 0, contentBytes = 0, definitionBytes = 0;
};

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string pad(std::size_t n, int width) {
    std::string text = std::to_string(n);
    return std::string(static_cast<std::size_t>(std::max(0, width - static_cast<int>(text.size()))),
                       '0') +
           text;
}

// A map's description file, as map packs ship beside each map.
std::string mapDescription(const std::string& name, DeterministicRandom& random) {
    return "[GlobalHeader]\r\n\t{\r\n\tmissionname=" + name +
           ";\r\n\tplanet=Rocky;\r\n\tnumplayers=" + std::to_string(random.between(2, 8)) +
           ";\r\n\tsize=" + std::to_string(random.between(4, 32)) + " x " +
           std::to_string(random.between(4, 32)) +
           ";\r\n\ttidalstrength=20;\r\n\tsolarstrength=20;\r\n\tminwindspeed=0;\r\n\t}\r\n";
}

// Everything of one archive: definitions rendered and encoded here, the
// stand-ins shared through the pool.
class ArchiveWriter {
  public:
    ArchiveWriter(const PlannedArchive& archive, const InstallationPlan& plan, FillerPool& pool)
        : m_archive(archive), m_pool(pool), m_random(archive.seed), m_writer(archive.key) {
        m_writer.setTrailerYear(plan.trailerYear);
        m_writer.setLz77Compressor(EncodeLz77Chunk);
    }

    WrittenArchive write(const std::filesystem::path& path) {
        const PlannedArchive& a = m_archive;
        for (const PlannedUnit& unit : a.units) {
            TextStyle style = RandomTextStyle(m_random);
            addDefinition(a.unitsDir + "\\" + unit.fileName,
                          UnitDefinitionText(unit.definition, unit.textSize, style, m_random));
            addUnitFiles(unit.definition);
        }
        for (const PlannedWeaponFile& file : a.weaponFiles) {
            TextStyle style = RandomTextStyle(m_random);
            addDefinition(a.weaponsDir + "\\" + file.fileName,
                          WeaponFileText(file.weapons, style, m_random));
        }
        for (const PlannedDownloadFile& file : a.downloadFiles) {
            TextStyle style = RandomTextStyle(m_random);
            addDefinition(a.downloadDir + "\\" + file.fileName,
                          DownloadFileText(file.entries, style, m_random));
        }
        for (const std::string& map : a.maps) {
            addFiller("maps\\" + map + ".tnt", FillerKind::Terrain, map);
            addText("maps\\" + map + ".ota", mapDescription(map, m_random));
        }
        if (a.role == ArchiveRole::Game || a.role == ArchiveRole::Expansion) addGameFiles();

        HpiWriter::Layout layout;
        m_writer.write(path, &layout);
        WrittenArchive written;
        written.archiveBytes = layout.totalBytes;
        written.contentBytes = m_contentBytes;
        written.definitionBytes = layout.directoryEnd;
        for (const std::string& definition : m_definitions)
            written.definitionBytes += layout.dataBytes.at(definition);
        return written;
    }

  private:
    // The first file of a path stays; a later one of the same path (without
    // regard to case) is left out.
    void addBytes(const std::string& path, std::vector<std::uint8_t> bytes) {
        if (m_writer.contains(path)) return;
        m_contentBytes += bytes.size();
        m_writer.addFile(path, std::move(bytes), m_archive.encoding);
    }

    void addText(const std::string& path, const std::string& text) {
        addBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
    }

    void addDefinition(const std::string& path, const std::string& text) {
        addText(path, text);
        m_definitions.push_back(path);
    }

    void addFiller(const std::string& path, FillerKind kind, const std::string& selector) {
        auto file = m_pool.get(kind, HashText(selector) ^ static_cast<std::uint64_t>(kind),
                               m_archive.encoding);
        if (m_writer.contains(path)) return;
        m_contentBytes += file->size;
        m_writer.addEncodedFile(path, std::move(file));
    }

    // A unit's model, script, sounds, animation and build picture. A second
    // unit of the same name in one archive shares the first one's files.
    void addUnitFiles(const UnitDefinition& unit) {
        const std::string& n = unit.name;
        std::string sound = lower(n);
        addFiller("objects3d\\" + n + ".3do", FillerKind::Model, n);
        addFiller("scripts\\" + n + ".cob", FillerKind::Script, n);
        addFiller("sounds\\" + sound + "_sel.wav", FillerKind::Sound, n + "sel");
        addFiller("sounds\\" + sound + (unit.weapons.empty() ? "_ack.wav" : "_fire.wav"),
                  FillerKind::Sound, n + "act");
        addFiller("anims\\" + n + ".gaf", FillerKind::Animation, n);
        addFiller("unitpics\\" + n + ".pcx", FillerKind::Picture, n);
    }

    // What a game archive holds besides its units, some 25 MB even in a
    // small installation: textures, ambient sounds, map features in nested
    // directories, effects, and in the first one the palette.
    void addGameFiles() {
        static constexpr std::string_view kFeatureDirs[] = {"rocks", "trees", "wrecks"};
        std::size_t units = m_archive.units.size();
        std::string stem = m_archive.fileName.substr(0, m_archive.fileName.rfind('.'));
        for (std::size_t i = 0; i < 150 + units / 3; ++i)
            addFiller("textures\\" + stem + pad(i, 4) + ".gaf", FillerKind::Texture,
                      stem + pad(i, 4));
        for (std::size_t i = 0; i < 120 + units / 4; ++i)
            addFiller("sounds\\amb" + pad(i, 3) + ".wav", FillerKind::Sound,
                      stem + "amb" + pad(i, 3));
        for (std::size_t i = 0; i < 120 + units / 5; ++i) {
            std::string dir(kFeatureDirs[i % std::size(kFeatureDirs)]);
            addFiller("features\\" + dir + "\\" + dir + pad(i, 4) + ".3do", FillerKind::Model,
                      stem + dir + pad(i, 4));
        }
        for (std::size_t i = 0; i < 2 + units / 20; ++i)
            addFiller("anims\\fx" + pad(i, 2) + ".gaf", FillerKind::Animation,
                      stem + "fx" + pad(i, 2));
        if (m_archive.fileName == "basegame.hpi") {
            std::vector<std::uint8_t> palette;
            for (int i = 0; i < 256; ++i) {
                palette.insert(palette.end(),
                               {static_cast<std::uint8_t>(i * 7), static_cast<std::uint8_t>(i * 3),
                                static_cast<std::uint8_t>(255 - i), 0});
            }
            addBytes("palettes\\PALETTE.PAL", std::move(palette));
        }
    }

    const PlannedArchive& m_archive;
    FillerPool& m_pool;
    DeterministicRandom m_random;
    HpiWriter m_writer;
    std::vector<std::string> m_definitions;
    std::uint64_t m_contentBytes = 0;
};

using Field = std::uint64_t GeneratedInstallation::*;
struct NamedField {
    std::string_view name;
    Field field;
};
constexpr NamedField kFields[] = {
    {"seed", &GeneratedInstallation::seed},
    {"generator", &GeneratedInstallation::generatorVersion},
    {"archives", &GeneratedInstallation::archives},
    {"disabledArchives", &GeneratedInstallation::disabledArchives},
    {"cataloguedArchives", &GeneratedInstallation::cataloguedArchives},
    {"units", &GeneratedInstallation::units},
    {"weapons", &GeneratedInstallation::weapons},
    {"menuEntries", &GeneratedInstallation::menuEntries},
    {"unitFiles", &GeneratedInstallation::unitFiles},
    {"shadowedUnitFiles", &GeneratedInstallation::shadowedUnitFiles},
    {"weaponFiles", &GeneratedInstallation::weaponFiles},
    {"shadowedWeaponFiles", &GeneratedInstallation::shadowedWeaponFiles},
    {"weaponSections", &GeneratedInstallation::weaponSections},
    {"downloadFiles", &GeneratedInstallation::downloadFiles},
    {"menuEntriesWritten", &GeneratedInstallation::menuEntriesWritten},
    {"sharedMenuSlots", &GeneratedInstallation::sharedMenuSlots},
    {"archiveBytes", &GeneratedInstallation::archiveBytes},
    {"contentBytes", &GeneratedInstallation::contentBytes},
    {"definitionBytes", &GeneratedInstallation::definitionBytes},
};

using TierField = std::uint64_t InstallationTier::*;
constexpr std::pair<std::string_view, TierField> kTierFields[] = {
    {"tier.archives", &InstallationTier::archives},
    {"tier.units", &InstallationTier::units},
    {"tier.weapons", &InstallationTier::weapons},
    {"tier.menuEntries", &InstallationTier::menuEntries},
};

}  // namespace

InstallationTier TierM() {
    return {"M", 300, 1000, 1200, 1400};
}
InstallationTier TierL() {
    return {"L", 2000, 6300, 8000, 9000};
}
InstallationTier TierXL() {
    return {"XL", 3000, 20000, 20000, 40000};
}

std::optional<InstallationTier> TierNamed(std::string_view name) {
    for (const InstallationTier& tier : {TierM(), TierL(), TierXL()}) {
        if (EqualsNoCase(name, tier.name)) return tier;
    }
    return std::nullopt;
}

GeneratedInstallation GenerateInstallation(const std::filesystem::path& directory,
                                           const InstallationTier& tier, std::uint64_t seed,
                                           const GeneratorOptions& options) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::exists(directory, error) && !fs::is_empty(directory, error)) {
        throw std::runtime_error(Utf8FromPath(directory) +
                                 " is not empty; an installation is only generated into an empty "
                                 "or new directory");
    }
    fs::create_directories(directory, error);
    if (error)
        throw std::runtime_error("cannot create " + Utf8FromPath(directory) + ": " +
                                 error.message());

    InstallationPlan plan = PlanInstallation(tier, seed);
    FillerPool pool(DeterministicRandom::Derive(seed, 2), kFillerVariants);

    // The largest archives first, so that no thread is left with one at the end.
    std::vector<std::size_t> order(plan.archives.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return plan.archives[a].units.size() > plan.archives[b].units.size();
    });
    std::vector<WrittenArchive> written(plan.archives.size());
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    std::exception_ptr failure;
    std::mutex failureMutex;
    auto work = [&] {
        for (std::size_t k; !failed && (k = next++) < order.size();) {
            std::size_t i = order[k];
            try {
                ArchiveWriter writer(plan.archives[i], plan, pool);
                written[i] = writer.write(directory / PathFromUtf8(plan.archives[i].fileName));
            } catch (...) {
                std::lock_guard lock(failureMutex);
                if (!failure) failure = std::current_exception();
                failed = true;
            }
        }
    };
    unsigned threads = options.threads ? options.threads : std::thread::hardware_concurrency();
    threads = std::clamp<unsigned>(threads, 1, 64);
    std::vector<std::thread> workers;
    for (unsigned t = 1; t < threads; ++t) workers.emplace_back(work);
    work();
    for (std::thread& worker : workers) worker.join();
    if (failure) std::rethrow_exception(failure);

    GeneratedInstallation result;
    result.tier = tier;
    result.seed = seed;
    result.units = plan.units;
    result.weapons = plan.weapons;
    result.menuEntries = plan.menuEntries;
    result.shadowedUnitFiles = plan.shadowedUnitFiles;
    result.weaponSections = plan.weaponSections;
    result.shadowedWeaponFiles = plan.shadowedWeaponFiles;
    result.menuEntriesWritten = plan.menuEntriesWritten;
    result.sharedMenuSlots = plan.sharedMenuSlots;
    for (std::size_t i = 0; i < plan.archives.size(); ++i) {
        const PlannedArchive& archive = plan.archives[i];
        ++result.archives;
        result.disabledArchives += archive.disabled() ? 1 : 0;
        result.cataloguedArchives += archive.catalogued() ? 1 : 0;
        result.unitFiles += archive.units.size();
        result.weaponFiles += archive.weaponFiles.size();
        result.downloadFiles += archive.downloadFiles.size();
        result.archiveBytes += written[i].archiveBytes;
        result.contentBytes += written[i].contentBytes;
        result.definitionBytes += written[i].definitionBytes;
    }
    return result;
}

bool ParseNumber(std::string_view text, std::uint64_t& out) {
    std::uint64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return false;
    out = value;
    return true;
}

std::string FormatGeneratedInstallation(const GeneratedInstallation& installation) {
    std::string text = "tier=" + installation.tier.name + "\n";
    for (const auto& [name, field] : kTierFields)
        text += std::string(name) + "=" + std::to_string(installation.tier.*field) + "\n";
    for (const NamedField& named : kFields)
        text += std::string(named.name) + "=" + std::to_string(installation.*named.field) + "\n";
    return text;
}

std::optional<GeneratedInstallation> ParseGeneratedInstallation(std::string_view text) {
    GeneratedInstallation installation;
    installation.generatorVersion = 0;
    std::size_t found = 0;
    bool haveTier = false;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        std::string_view key = line.substr(0, equals), value = line.substr(equals + 1);
        if (key == "tier") {
            installation.tier.name = std::string(value);
            haveTier = true;
            continue;
        }
        std::uint64_t number = 0;
        if (!ParseNumber(value, number)) return std::nullopt;
        for (const auto& [name, field] : kTierFields) {
            if (key == name) {
                installation.tier.*field = number;
                ++found;
            }
        }
        for (const NamedField& named : kFields) {
            if (key == named.name) {
                installation.*named.field = number;
                ++found;
            }
        }
    }
    if (!haveTier || found != std::size(kTierFields) + std::size(kFields)) return std::nullopt;
    return installation;
}

}  // namespace kloxmere::tools
