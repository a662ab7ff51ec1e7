#pragma once

// Whether the game is running: archives must not be renamed under it (it has
// them open, and on Windows each open one refuses, one by one).

#include <optional>
#include <string>
#include <string_view>

namespace kloxmere {

struct RunningGame {
    unsigned long pid = 0;
    std::string name;  // as the process spells it: totala.exe, TotalA.exe
};

// Whether `text` (a process's name or one of its arguments) names the game:
// totala.exe itself, or a path ending in /totala.exe or \totala.exe, in any
// case.
bool NamesGame(std::string_view text);

// A running process of the game, of any user: on POSIX any process whose
// name or an argument names it (which finds the game under Wine too), on
// Windows the process list. This process never counts.
std::optional<RunningGame> FindRunningGame();

// "TA is running (process 1234, totala.exe): close the game before switching archives."
std::string GameRunningMessage(const RunningGame& game);

}  // namespace kloxmere
