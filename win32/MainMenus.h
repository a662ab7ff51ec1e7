#pragma once

// The main window's menu bar and accelerators, built from the shared command
// table: every command's caption with its & mnemonic and its shortcut, so
// that the Windows menus say what the Linux ones say.

#include <windows.h>

#include <optional>
#include <string_view>
#include <vector>

#include "win32/Handles.h"
#include "win32/resources/ResourceIds.h"
#include "window/CommandTable.h"

namespace kloxmere::win32 {

constexpr UINT CommandResourceId(window::CommandId id) {
    return IDM_COMMAND_BASE + static_cast<UINT>(id);
}
static_assert(CommandResourceId(window::CommandId::Exit) == IDM_EXIT);
static_assert(IDM_COMMAND_BASE + window::kCommandCount < IDM_CONFLICT_BASE);

// The command a menu or accelerator id stands for.
std::optional<window::CommandId> CommandOfResourceId(UINT id);

// The key of a shortcut ("F1", "Ctrl+Z"); nullopt for "" or one not understood.
std::optional<ACCEL> ShortcutAccelerator(std::string_view shortcut, UINT command);

// The menu bar; the Units menu's Conflict submenu is returned in `conflict`
// (filled when it opens).
MenuHandle BuildMenuBar(HMENU* conflict);
// Every command's shortcut, and `extra` keys of the window's own.
AcceleratorTable BuildAccelerators(const std::vector<ACCEL>& extra = {});

}  // namespace kloxmere::win32
