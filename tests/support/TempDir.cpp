#include "tests/support/TempDir.h"

#include <atomic>
#include <fstream>
#include <stdexcept>

#include <unistd.h>

namespace kloxmere::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    m_path = fs::temp_directory_path() /
             ("kloxmere-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    fs::remove_all(m_path);
    fs::create_directories(m_path);
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
}

std::string TempDir::str() const {
    return m_path.string() + "/";
}

std::string TempDir::file(std::string_view name) const {
    return (m_path / name).string();
}

void TempDir::write(std::string_view name, std::string_view content) const {
    fs::path target = m_path / name;
    fs::create_directories(target.parent_path());
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!out) throw std::runtime_error("cannot write " + target.string());
}

void TempDir::write(std::string_view name, const std::vector<std::uint8_t>& content) const {
    write(name, std::string_view(reinterpret_cast<const char*>(content.data()), content.size()));
}

std::vector<std::uint8_t> TempDir::read(std::string_view name) const {
    std::ifstream in(m_path / name, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + std::string(name));
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

bool TempDir::exists(std::string_view name) const {
    return fs::exists(m_path / name);
}

}  // namespace kloxmere::test
