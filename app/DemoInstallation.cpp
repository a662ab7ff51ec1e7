#include "app/DemoInstallation.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "archive/HpiWriter.h"
#include "base/FileSystem.h"

namespace kloxmere {

namespace {

struct DemoUnit {
    const char* name;
    const char* callname;
    const char* side;
    const char* tedClass;
    const char* description;
    const char* weapon;  // "" for none
    int number;
};

struct DemoWeapon {
    const char* name;
    int id;
};

struct DemoMenuEntry {
    const char* builder;
    int menu;
    int button;
    const char* unit;
};

struct DemoArchive {
    const char* fileName;
    std::vector<DemoUnit> units;
    const char* weaponFile;
    std::vector<DemoWeapon> weapons;
    const char* downloadFile;
    std::vector<DemoMenuEntry> menu;
};

std::vector<std::uint8_t> bytesOf(std::string_view text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::string unitDefinition(const DemoUnit& unit) {
    std::string text = "[UNITINFO]\r\n\t{\r\n";
    auto line = [&](std::string_view key, const std::string& value) {
        text += "\t";
        text += key;
        text += "=" + value + ";\r\n";
    };
    line("UnitName", unit.name);
    line("Version", "1.2");
    line("Side", unit.side);
    line("Name", unit.callname);
    line("Description", unit.description);
    line("TEDClass", unit.tedClass);
    line("UnitNumber", std::to_string(unit.number));
    line("MaxDamage", std::to_string(400 + unit.number * 37));
    line("BuildTime", std::to_string(1200 + unit.number * 150));
    line("BuildCostEnergy", std::to_string(300 + unit.number * 55));
    line("BuildCostMetal", std::to_string(40 + unit.number * 9));
    text += "\t// the demo's units move slowly and see far\r\n";
    line("SightDistance", "400");
    if (*unit.weapon) line("Weapon1", unit.weapon);
    text += "\t}\r\n";
    return text;
}

std::string weaponDefinitions(const std::vector<DemoWeapon>& weapons) {
    std::string text;
    for (const auto& weapon : weapons) {
        text += "[" + std::string(weapon.name) + "]\n\t{\n\tID=" + std::to_string(weapon.id) +
                ";\n\tname=" + weapon.name + ";\n\trange=" + std::to_string(300 + weapon.id * 20) +
                ";\n\treloadtime=1.5;\n\t[DAMAGE]\n\t\t{\n\t\tdefault=" +
                std::to_string(20 + weapon.id * 4) + ";\n\t\t}\n\t}\n";
    }
    return text;
}

std::string downloadEntries(const std::vector<DemoMenuEntry>& entries) {
    std::string text;
    int n = 0;
    for (const auto& entry : entries) {
        text += "[MENUENTRY" + std::to_string(++n) + "]\r\n\t{\r\n\tUNITMENU=" + entry.builder +
                ";\r\n\tMENU=" + std::to_string(entry.menu) +
                ";\r\n\tBUTTON=" + std::to_string(entry.button) + ";\r\n\tUNITNAME=" + entry.unit +
                ";\r\n\t}\r\n";
    }
    return text;
}

// An invented 256-colour palette: black, a grey ramp, then 15 hues in 16 shades.
std::vector<std::uint8_t> demoPalette() {
    std::vector<std::uint8_t> palette;
    for (int i = 0; i < 256; ++i) {
        int r, g, b;
        if (i < 16) {
            r = g = b = i * 17;
        } else {
            int hue = (i - 16) / 16, shade = (i - 16) % 16 + 1;
            int base[15][3] = {{255, 0, 0},    {255, 128, 0}, {255, 255, 0},  {128, 255, 0},
                               {0, 255, 0},    {0, 255, 128}, {0, 255, 255},  {0, 128, 255},
                               {0, 0, 255},    {128, 0, 255}, {255, 0, 255},  {255, 0, 128},
                               {160, 120, 80}, {90, 110, 70}, {200, 200, 160}};
            r = base[hue][0] * shade / 16;
            g = base[hue][1] * shade / 16;
            b = base[hue][2] * shade / 16;
        }
        palette.insert(palette.end(), {static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                                       static_cast<std::uint8_t>(b), 0});
    }
    return palette;
}

// A 96 x 96 8-bit run-length PCX: a shaded field with a band and a frame in
// the unit's own colour, so that each demo unit looks different.
std::vector<std::uint8_t> demoPicture(int seed) {
    constexpr int kSize = 96;
    std::vector<std::uint8_t> pcx(128, 0);
    pcx[0] = 10;                   // manufacturer
    pcx[1] = 5;                    // version
    pcx[2] = 1;                    // run-length encoded
    pcx[3] = 8;                    // bits per pixel
    pcx[8] = pcx[10] = kSize - 1;  // XMax, YMax
    pcx[65] = 1;                   // one plane
    pcx[66] = kSize;               // bytes per line
    pcx[68] = 1;                   // colour palette
    int hue = 16 + (seed % 15) * 16;
    for (int y = 0; y < kSize; ++y) {
        std::vector<std::uint8_t> row(kSize);
        for (int x = 0; x < kSize; ++x) {
            bool frame = x < 3 || y < 3 || x >= kSize - 3 || y >= kSize - 3;
            bool band = std::abs(x - y) < 10 || std::abs(x + y - kSize) < 6;
            row[static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(frame  ? hue + 15
                                                                         : band ? hue + 8 + (x / 12)
                                                                                : 2 + (y / 12));
        }
        for (std::size_t x = 0; x < row.size();) {
            std::size_t run = 1;
            while (x + run < row.size() && row[x + run] == row[x] && run < 63) ++run;
            if (run > 1 || row[x] >= 0xC0) pcx.push_back(static_cast<std::uint8_t>(0xC0 | run));
            pcx.push_back(row[x]);
            x += run;
        }
    }
    pcx.push_back(12);
    std::vector<std::uint8_t> palette = demoPalette();
    for (std::size_t i = 0; i < 256; ++i)
        pcx.insert(pcx.end(), &palette[i * 4], &palette[i * 4 + 3]);
    return pcx;
}

// Stand-ins for a unit's model and script: invented bytes of a plausible size.
std::vector<std::uint8_t> demoBlob(std::string_view kind, std::string_view name, std::size_t size) {
    std::string header = "Kloxmere demo " + std::string(kind) + " of " + std::string(name) + "\n";
    std::vector<std::uint8_t> blob(header.begin(), header.end());
    for (std::size_t i = blob.size(); i < size; ++i) {
        blob.push_back(static_cast<std::uint8_t>((i * 131 + name.size() * 7) & 0xFF));
    }
    return blob;
}

const std::vector<DemoArchive>& demoArchives() {
    static const std::vector<DemoArchive> archives = {
        {"kloxbase.hpi",
         {{"ARMCOM", "Commander", "ARM", "COMMANDER", "Commander", "ARM_LASER", 1},
          {"ARMSOLAR", "Solar Collector", "ARM", "ENERGY", "Produces Energy", "", 2},
          {"ARMBOLT", "Bolt", "ARM", "TANK", "Fast Raider", "ARM_BOLT", 3},
          {"CORCOM", "Commander", "CORE", "COMMANDER", "Commander", "CORE_LASER", 4},
          {"CORTANK", "Crusher", "CORE", "TANK", "Heavy Tank", "CORE_CANNON", 5}},
         "weapons\\base.tdf",
         {{"ARM_LASER", 1}, {"ARM_BOLT", 3}, {"CORE_LASER", 4}, {"CORE_CANNON", 5}},
         "download\\base.tdf",
         {{"ARMCOM", 1, 1, "ARMSOLAR"}, {"ARMCOM", 1, 2, "ARMBOLT"}, {"CORCOM", 1, 1, "CORTANK"}}},
        {"kloxextra.ccx",
         {{"ARMKBOT", "Sprinter", "ARM", "KBOT", "Light Kbot", "ARM_ROCKET", 6},
          {"CORKBOT", "Stomper", "CORE", "KBOT", "Assault Kbot", "CORE_ROCKET", 7}},
         "weapons\\extra.tdf",
         {{"ARM_ROCKET", 6}, {"CORE_ROCKET", 7}},
         "download\\extra.tdf",
         {{"ARMCOM", 1, 3, "ARMKBOT"}, {"CORCOM", 1, 2, "CORKBOT"}}},
        {"aurora.ufo",
         {{"NOVACOM", "Warden", "NOVA", "COMMANDER", "Nova Commander", "NOVA_BEAM", 40},
          {"NOVATANK", "Glimmer", "NOVA", "TANK", "Pulse Tank", "NOVA_PULSE", 41}},
         "weapons\\aurora.tdf",
         {{"NOVA_BEAM", 10}, {"NOVA_PULSE", 3}},  // 3 is ARM_BOLT's number too
         "download\\aurora.tdf",
         {{"NOVACOM", 1, 1, "NOVATANK"}, {"ARMCOM", 1, 2, "NOVATANK"}}},  // ARMBOLT's button
        {"retro.xufo",
         {{"RETROGUN", "Old Guard", "CORE", "FORT", "Retired Cannon Tower", "RETRO_CANNON", 60}},
         "weapons\\retro.tdf",
         {{"RETRO_CANNON", 7}},  // 7 is CORE_ROCKET's number too, in a disabled archive
         "download\\retro.tdf",
         {{"CORCOM", 2, 1, "RETROGUN"}}},
    };
    return archives;
}

}  // namespace

void WriteDemoInstallation(const std::string& directory) {
    namespace fs = std::filesystem;
    fs::path root = PathFromUtf8(directory);
    std::error_code error;
    if (fs::exists(root, error) && !fs::is_empty(root, error)) {
        throw std::runtime_error(directory +
                                 " is not empty; the demo installation needs an "
                                 "empty or new directory");
    }
    fs::create_directories(root, error);
    if (error) throw std::runtime_error("Cannot create " + directory + ": " + error.message());

    int seed = 0;
    for (const auto& demo : demoArchives()) {
        HpiWriter writer;
        for (const auto& unit : demo.units) {
            std::string name = unit.name;
            writer.addFile("units\\" + name + ".fbi", bytesOf(unitDefinition(unit)));
            writer.addFile("unitpics\\" + name + ".pcx", demoPicture(seed++));
            writer.addFile("objects3d\\" + name + ".3do", demoBlob("model", name, 6000));
            writer.addFile("scripts\\" + name + ".cob", demoBlob("script", name, 1500));
        }
        writer.addFile(demo.weaponFile, bytesOf(weaponDefinitions(demo.weapons)));
        writer.addFile(demo.downloadFile, bytesOf(downloadEntries(demo.menu)));
        if (&demo == &demoArchives().front()) {
            writer.addFile("palettes\\PALETTE.PAL", demoPalette());  // as the game's own archive
        }
        writer.write(root / demo.fileName);
    }
}

}  // namespace kloxmere
