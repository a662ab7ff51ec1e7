#include "win32/MainMenus.h"

#include <string>
#include <vector>

#include "base/Environment.h"

namespace kloxmere::win32 {

using window::CommandId;

std::optional<CommandId> CommandOfResourceId(UINT id) {
    if (id <= IDM_COMMAND_BASE || id > IDM_COMMAND_BASE + window::kCommandCount) {
        return std::nullopt;
    }
    return static_cast<CommandId>(id - IDM_COMMAND_BASE);
}

std::optional<ACCEL> ShortcutAccelerator(std::string_view shortcut, UINT command) {
    if (shortcut.empty()) return std::nullopt;
    ACCEL accelerator{};
    accelerator.fVirt = FVIRTKEY;
    accelerator.cmd = static_cast<WORD>(command);
    for (;;) {
        const std::size_t plus = shortcut.find('+');
        if (plus == std::string_view::npos) break;
        const std::string_view modifier = shortcut.substr(0, plus);
        if (modifier == "Ctrl") {
            accelerator.fVirt |= FCONTROL;
        } else if (modifier == "Shift") {
            accelerator.fVirt |= FSHIFT;
        } else if (modifier == "Alt") {
            accelerator.fVirt |= FALT;
        } else {
            return std::nullopt;
        }
        shortcut.remove_prefix(plus + 1);
    }
    if (shortcut.size() == 1 && ((shortcut[0] >= 'A' && shortcut[0] <= 'Z') ||
                                 (shortcut[0] >= '0' && shortcut[0] <= '9'))) {
        accelerator.key = static_cast<WORD>(shortcut[0]);
    } else if (shortcut.size() >= 2 && shortcut[0] == 'F') {
        const int number = std::stoi(std::string(shortcut.substr(1)));
        if (number < 1 || number > 24) return std::nullopt;
        accelerator.key = static_cast<WORD>(VK_F1 + number - 1);
    } else {
        return std::nullopt;
    }
    return accelerator;
}

MenuHandle BuildMenuBar(HMENU* conflict) {
    MenuHandle bar(CreateMenu());
    for (const window::MenuInfo& menu : window::kMenus) {
        HMENU popup = CreatePopupMenu();
        for (const window::MenuLine& line : window::kMenuLines) {
            if (line.menu != menu.id) continue;
            switch (line.kind) {
                case window::MenuLineKind::Separator:
                    AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
                    break;
                case window::MenuLineKind::ConflictSubmenu: {
                    HMENU submenu = CreatePopupMenu();
                    AppendMenuW(popup, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu),
                                WideFromUtf8(line.caption).c_str());
                    if (conflict) *conflict = submenu;
                    break;
                }
                case window::MenuLineKind::Command: {
                    const window::CommandInfo& command = window::Command(line.command);
                    std::wstring caption = WideFromUtf8(command.caption);
                    if (!command.shortcut.empty())
                        caption += L"\t" + WideFromUtf8(command.shortcut);
                    UINT flags = MF_STRING;
                    if (command.checkable) flags |= MF_CHECKED;
                    if (!command.enabledAtStart) flags |= MF_GRAYED;
                    AppendMenuW(popup, flags, CommandResourceId(command.id), caption.c_str());
                    break;
                }
            }
        }
        AppendMenuW(bar.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(popup),
                    WideFromUtf8(menu.caption).c_str());
    }
    return bar;
}

AcceleratorTable BuildAccelerators(const std::vector<ACCEL>& extra) {
    std::vector<ACCEL> table = extra;
    for (const window::CommandInfo& command : window::kCommands) {
        if (auto accelerator =
                ShortcutAccelerator(command.shortcut, CommandResourceId(command.id))) {
            table.push_back(*accelerator);
        }
    }
    if (table.empty()) return {};
    return AcceleratorTable(CreateAcceleratorTableW(table.data(), static_cast<int>(table.size())));
}

}  // namespace kloxmere::win32
