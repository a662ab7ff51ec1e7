#include "tests/cli/RenameSeam.h"

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "catalogue/ArchiveSwitch.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#endif

namespace kloxmere::test {

namespace {

struct Seam {
    std::size_t index = 0;
    bool after = false;
    bool kill = true;
};

Seam& seam() {
    static Seam value;
    return value;
}

void atRename(std::size_t index, bool renamed) {
    if (index != seam().index || renamed != seam().after) return;
    if (!seam().kill) {
        std::this_thread::sleep_for(std::chrono::seconds(2));
        return;
    }
#ifdef _WIN32
    TerminateProcess(GetCurrentProcess(), 137);
#else
    std::raise(SIGKILL);
#endif
}

}  // namespace

void InstallRenameSeam() {
    const char* text = std::getenv("KLOXMERE_TEST_RENAME_SEAM");
    if (!text) return;
    std::string seamText = text;
    std::size_t first = seamText.find(':'), second = seamText.find(':', first + 1);
    if (first == std::string::npos || second == std::string::npos) return;
    seam().index = std::stoul(seamText.substr(0, first));
    seam().after = seamText.substr(first + 1, second - first - 1) == "after";
    seam().kill = seamText.substr(second + 1) == "kill";
    SetRenameHookForTests(atRename);
}

}  // namespace kloxmere::test
