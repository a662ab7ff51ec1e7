#pragma once

// Every command of the main window, once: its menu caption with the &
// mnemonic, its shortcut, its toolbar button, whether it carries a check
// mark, and where it sits in the menus and on the toolbar. The windows build
// their menus, accelerators and toolbars from these tables; the Windows
// window numbers its resources after CommandId.

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace kloxmere::window {

// The commands, in menu order; the toolbar-only Launch TA comes last.
// The values are stable: 1 upwards, without gaps.
enum class CommandId : int {
    SetTALocation = 1,
    SetUnitViewerLocation,
    ExportFastLoadList,
    Exit,
    ViewCavedog,
    ViewThirdParty,
    EditUnitGroups,
    ImportSchema,
    ExportSchema,
    EnableGroup,
    DisableGroup,
    SwitchUnit,  // Enable Unit / Disable Unit, after the current unit
    UndoSwitch,
    ExportToUnitViewer,
    About,
    LaunchTA,
};
inline constexpr std::size_t kCommandCount = 16;

enum class MenuId : int { File, View, Schemas, Units, Help };
inline constexpr std::size_t kMenuCount = 5;

struct MenuInfo {
    MenuId id;
    std::string_view name;     // the Qt window's objectName, "mnuFile"
    std::string_view caption;  // "&File"
};

struct CommandInfo {
    CommandId id;
    std::string_view name;        // the Qt window's objectName of the menu item; "" without one
    std::string_view caption;     // the menu item's caption with its & mnemonic; "" without one
    std::string_view shortcut;    // "F1", "Ctrl+Z"; "" for none
    std::string_view toolbarKey;  // the toolbar button's key ("open"); "" for none
    std::string_view tooltip;     // the toolbar button's tooltip and accessible name
    int toolbarImage = 0;         // the button's image in the toolbar image list (1 based)
    bool checkable = false;       // checked at start when checkable
    bool enabledAtStart = true;
};

// One line of a menu: a command, a separator or the Units menu's Conflict
// submenu, whose commands follow the selected Conflicts row.
enum class MenuLineKind { Command, Separator, ConflictSubmenu };

struct MenuLine {
    MenuId menu;
    MenuLineKind kind;
    CommandId command;         // for a Command line
    std::string_view name;     // the objectName of a separator or the submenu
    std::string_view caption;  // the submenu's caption
};

// A toolbar slot, left to right: a command's button or a separator.
struct ToolbarSlot {
    std::optional<CommandId> command;  // nullopt: a separator
};

// The key that puts the focus into the filter field above the list.
inline constexpr std::string_view kFilterShortcut = "Ctrl+F";

// The menu bar, left to right.
extern const std::array<MenuInfo, kMenuCount> kMenus;
// Every command, in CommandId order (kCommands[int(id) - 1] is id's).
extern const std::array<CommandInfo, kCommandCount> kCommands;
// Every menu line, menu after menu, top to bottom.
extern const std::array<MenuLine, 22> kMenuLines;
// The toolbar, left to right.
extern const std::array<ToolbarSlot, 15> kToolbarSlots;

const CommandInfo& Command(CommandId id);
const MenuInfo& Menu(MenuId id);
// The command of a toolbar button key, or of a menu item's objectName.
std::optional<CommandId> CommandOfToolbarKey(std::string_view key);
std::optional<CommandId> CommandOfName(std::string_view name);

}  // namespace kloxmere::window
