#include "tests/support/TempDir.h"

#include <atomic>
#include <fstream>
#include <random>
#include <stdexcept>

#include "base/FileSystem.h"

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace kloxmere::test {

namespace fs = std::filesystem;

namespace {

int processId() {
#ifdef _WIN32
    return _getpid();
#else
    return ::getpid();
#endif
}

// On Windows every test directory carries Cyrillic and CJK letters, which no
// ANSI code page holds together: a path that slips through a narrow-character
// API anywhere fails the tests that use it.
constexpr std::string_view kPrefix =
#ifdef _WIN32
    "kloxmere-test-\xD0\xA2\xD0\x90-\xE6\x97\xA5-";  // "ТА-日"
#else
    "kloxmere-test-";
#endif

}  // namespace

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    // The random part keeps apart test programs that get the same process
    // id, as those started one after another under Wine do.
    static const unsigned run = std::random_device()() % 1000000;
    m_path = fs::temp_directory_path() /
             PathFromUtf8(std::string(kPrefix) + std::to_string(processId()) + "-" +
                          std::to_string(run) + "-" + std::to_string(counter++));
    fs::remove_all(m_path);
    fs::create_directories(m_path);
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
}

std::string TempDir::str() const {
    return Utf8FromPath(m_path) + NativeSeparator();
}

std::string TempDir::file(std::string_view name) const {
    return Utf8FromPath(m_path / PathFromUtf8(name));
}

void TempDir::write(std::string_view name, std::string_view content) const {
    fs::path target = m_path / PathFromUtf8(name);
    fs::create_directories(target.parent_path());
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!out) throw std::runtime_error("cannot write " + Utf8FromPath(target));
}

void TempDir::write(std::string_view name, const std::vector<std::uint8_t>& content) const {
    write(name, std::string_view(reinterpret_cast<const char*>(content.data()), content.size()));
}

std::vector<std::uint8_t> TempDir::read(std::string_view name) const {
    std::ifstream in(m_path / PathFromUtf8(name), std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + std::string(name));
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

bool TempDir::exists(std::string_view name) const {
    return fs::exists(m_path / PathFromUtf8(name));
}

}  // namespace kloxmere::test
