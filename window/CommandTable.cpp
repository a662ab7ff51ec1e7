#include "window/CommandTable.h"

#include <stdexcept>

namespace kloxmere::window {

const std::array<MenuInfo, kMenuCount> kMenus = {{
    {MenuId::File, "mnuFile", "&File"},
    {MenuId::View, "mnuView", "&View"},
    {MenuId::Schemas, "mnuSchemas", "&Schemas"},
    {MenuId::Units, "mnuEdit", "&Units"},
    {MenuId::Help, "mnuHelp", "&Help"},
}};

const std::array<CommandInfo, kCommandCount> kCommands = {{
    {CommandId::SetTALocation, "mnuEditSetTALocation", "Set &TA Location...", "", "", "", 0, false,
     true},
    {CommandId::SetUnitViewerLocation, "mnuEditSetUnitView", "&Set Unit Viewer Location...", "", "",
     "", 0, false, true},
    {CommandId::ExportFastLoadList, "mnuFileSaveHPIListing", "&Export Fast-Load Unit List...", "",
     "", "", 0, false, true},
    {CommandId::Exit, "mnuFileExit", "E&xit", "", "", "", 0, false, true},
    {CommandId::ViewCavedog, "mnuViewHPI", "&Cavedog units", "", "cavedog", "View Cavedog units", 5,
     true, true},
    {CommandId::ViewThirdParty, "mnuViewUFO", "&3rd party units", "", "thirdparty",
     "View 3rd party units", 6, true, true},
    {CommandId::EditUnitGroups, "mnuUnitsGroups", "&Edit Unit Groups...", "", "editgroups",
     "Edit groups", 7, false, true},
    {CommandId::ImportSchema, "mnuSchemasImport", "&Import Schema...", "", "open",
     "Import Unit Schema", 1, false, true},
    {CommandId::ExportSchema, "mnuSchemasExport", "&Export Schema...", "", "save",
     "Export Unit Schema", 2, false, true},
    {CommandId::EnableGroup, "mnuEditEnableGroup", "&Enable Group", "", "enablegroup",
     "Enable group", 8, false, true},
    {CommandId::DisableGroup, "mnuEditDisableGroup", "&Disable Group", "", "disablegroup",
     "Disable group", 9, false, true},
    {CommandId::SwitchUnit, "mnuUnitsEnable", "Enable &Unit", "F1", "unit", "Disable unit", 10,
     false, true},
    {CommandId::UndoSwitch, "mnuUnitsUndo", "&Undo Last Switch", "Ctrl+Z", "", "", 0, false, false},
    {CommandId::ExportToUnitViewer, "mnuViewUnitViewer", "Export to Unit &Viewer...", "F5",
     "unitview", "Export to Unit Viewer", 4, false, true},
    {CommandId::About, "mnuHelpAbout", "&About Kloxmere...", "", "", "", 0, false, true},
    {CommandId::LaunchTA, "", "", "", "ta", "Launch TA", 3, false, true},
}};

namespace {

constexpr MenuLine item(MenuId menu, CommandId command) {
    return {menu, MenuLineKind::Command, command, "", ""};
}
constexpr MenuLine separator(MenuId menu, std::string_view name) {
    return {menu, MenuLineKind::Separator, CommandId::Exit, name, ""};
}

}  // namespace

const std::array<MenuLine, 22> kMenuLines = {{
    item(MenuId::File, CommandId::SetTALocation),
    item(MenuId::File, CommandId::SetUnitViewerLocation),
    separator(MenuId::File, "mnuFileBreak1"),
    item(MenuId::File, CommandId::ExportFastLoadList),
    separator(MenuId::File, "mnuFileBreak2"),
    item(MenuId::File, CommandId::Exit),
    item(MenuId::View, CommandId::ViewCavedog),
    item(MenuId::View, CommandId::ViewThirdParty),
    separator(MenuId::View, "mnuViewBreak1"),
    item(MenuId::View, CommandId::EditUnitGroups),
    item(MenuId::Schemas, CommandId::ImportSchema),
    item(MenuId::Schemas, CommandId::ExportSchema),
    item(MenuId::Units, CommandId::EnableGroup),
    item(MenuId::Units, CommandId::DisableGroup),
    separator(MenuId::Units, "mnuUnitsBreak1"),
    item(MenuId::Units, CommandId::SwitchUnit),
    item(MenuId::Units, CommandId::UndoSwitch),
    separator(MenuId::Units, "mnuUnitsBreak2"),
    item(MenuId::Units, CommandId::ExportToUnitViewer),
    separator(MenuId::Units, "mnuUnitsBreak3"),
    {MenuId::Units, MenuLineKind::ConflictSubmenu, CommandId::Exit, "mnuUnitsConflict",
     "&Conflict"},
    item(MenuId::Help, CommandId::About),
}};

const std::array<ToolbarSlot, 15> kToolbarSlots = {{
    {std::nullopt},
    {CommandId::ImportSchema},
    {CommandId::ExportSchema},
    {std::nullopt},
    {CommandId::LaunchTA},
    {CommandId::ExportToUnitViewer},
    {std::nullopt},
    {CommandId::ViewCavedog},
    {CommandId::ViewThirdParty},
    {std::nullopt},
    {CommandId::EditUnitGroups},
    {std::nullopt},
    {CommandId::EnableGroup},
    {CommandId::DisableGroup},
    {CommandId::SwitchUnit},
}};

const CommandInfo& Command(CommandId id) {
    const auto index = static_cast<std::size_t>(id) - 1;
    if (index >= kCommands.size()) throw std::out_of_range("no such command");
    return kCommands[index];
}

const MenuInfo& Menu(MenuId id) {
    const auto index = static_cast<std::size_t>(id);
    if (index >= kMenus.size()) throw std::out_of_range("no such menu");
    return kMenus[index];
}

std::optional<CommandId> CommandOfToolbarKey(std::string_view key) {
    if (key.empty()) return std::nullopt;
    for (const CommandInfo& command : kCommands) {
        if (command.toolbarKey == key) return command.id;
    }
    return std::nullopt;
}

std::optional<CommandId> CommandOfName(std::string_view name) {
    if (name.empty()) return std::nullopt;
    for (const CommandInfo& command : kCommands) {
        if (command.name == name) return command.id;
    }
    return std::nullopt;
}

}  // namespace kloxmere::window
