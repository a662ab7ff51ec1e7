#pragma once

// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kloxmere::test {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    // The directory as a UTF-8 string ending in the native separator.
    std::string str() const;
    // The path of `name` inside the directory, as a UTF-8 string.
    std::string file(std::string_view name) const;

    void write(std::string_view name, std::string_view content) const;
    void write(std::string_view name, const std::vector<std::uint8_t>& content) const;
    std::vector<std::uint8_t> read(std::string_view name) const;
    bool exists(std::string_view name) const;

  private:
    std::filesystem::path m_path;
};

}  // namespace kloxmere::test
