#include "tests/support/Installation.h"

#include "archive/HpiWriter.h"
#include "base/FileSystem.h"

namespace kloxmere::test {

void WriteArchive(const std::string& path, const ArchiveFiles& files) {
    HpiWriter writer;
    for (const auto& [inner, text] : files) {
        writer.addFile(inner, std::vector<std::uint8_t>(text.begin(), text.end()));
    }
    writer.write(PathFromUtf8(path));
}

std::string UnitText(const std::string& name, const std::string& side, const std::string& tedClass,
                     const std::vector<std::string>& weapons) {
    std::string text = "[UNITINFO]\r\n{\r\n\tUnitName=" + name + ";\r\n\tSide=" + side +
                       ";\r\n\tTEDClass=" + tedClass + ";\r\n\tName=" + name + " unit;\r\n";
    for (std::size_t i = 0; i < weapons.size(); ++i) {
        text += "\tWeapon" + std::to_string(i + 1) + "=" + weapons[i] + ";\r\n";
    }
    return text + "}\r\n";
}

std::string WeaponText(const std::vector<std::pair<std::string, int>>& weapons) {
    std::string text;
    for (const auto& [name, id] : weapons) {
        text += "[" + name + "]\n{\nID=" + std::to_string(id) + ";\n}\n";
    }
    return text;
}

std::string DownloadText(const std::string& builder, const std::string& menu,
                         const std::string& button, const std::string& unit) {
    return "[MENUENTRY1]\r\n{\r\nUNITMENU=" + builder + ";\r\nMENU=" + menu +
           ";\r\nBUTTON=" + button + ";\r\nUNITNAME=" + unit + ";\r\n}\r\n";
}

std::string PcxBytes(int width, int height, const std::vector<std::uint8_t>& pixels) {
    std::string pcx(128, '\0');
    pcx[1] = 5;   // version
    pcx[2] = 1;   // run-length encoded
    pcx[3] = 8;   // bits per pixel
    pcx[65] = 1;  // one plane
    pcx[8] = static_cast<char>((width - 1) & 0xFF);
    pcx[9] = static_cast<char>((width - 1) >> 8);
    pcx[10] = static_cast<char>((height - 1) & 0xFF);
    pcx[11] = static_cast<char>((height - 1) >> 8);
    for (std::uint8_t pixel : pixels) {
        pcx += static_cast<char>(0xC1);
        pcx += static_cast<char>(pixel);
    }
    pcx += static_cast<char>(12);
    pcx += std::string(768, '\0');
    return pcx;
}

}  // namespace kloxmere::test
