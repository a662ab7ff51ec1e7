// The command table: the windows build their menus, accelerators, toolbars
// and resource ids from it, so it must be whole and consistent.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "window/CommandTable.h"

using namespace kloxmere::window;

TEST(WindowCommandTable, EveryCommandSitsAtItsIdAndIsReachable) {
    std::set<CommandId> inMenus, onToolbar;
    for (const MenuLine& line : kMenuLines) {
        if (line.kind == MenuLineKind::Command) {
            EXPECT_TRUE(inMenus.insert(line.command).second);
        }
    }
    for (const ToolbarSlot& slot : kToolbarSlots) {
        if (slot.command) {
            EXPECT_TRUE(onToolbar.insert(*slot.command).second);
        }
    }
    for (std::size_t i = 0; i < kCommands.size(); ++i) {
        const CommandInfo& command = kCommands[i];
        EXPECT_EQ(static_cast<std::size_t>(command.id), i + 1);
        EXPECT_EQ(&Command(command.id), &command);
        // A command is reached from a menu or from the toolbar, and a
        // toolbar button is exactly a command with a toolbar key.
        EXPECT_TRUE(inMenus.count(command.id) || onToolbar.count(command.id)) << command.name;
        EXPECT_EQ(onToolbar.count(command.id) == 1, !command.toolbarKey.empty()) << command.name;
        EXPECT_EQ(inMenus.count(command.id) == 1, !command.caption.empty()) << command.name;
        if (!command.toolbarKey.empty()) {
            EXPECT_FALSE(command.tooltip.empty());
            EXPECT_GT(command.toolbarImage, 0);
            EXPECT_EQ(CommandOfToolbarKey(command.toolbarKey), command.id);
        }
        if (!command.name.empty()) {
            EXPECT_EQ(CommandOfName(command.name), command.id);
        }
    }
    EXPECT_EQ(inMenus.size() + 1, kCommands.size());  // Launch TA is the toolbar's alone
    EXPECT_THROW(Command(static_cast<CommandId>(0)), std::out_of_range);
    EXPECT_THROW(Command(static_cast<CommandId>(kCommandCount + 1)), std::out_of_range);
    EXPECT_FALSE(CommandOfToolbarKey(""));
    EXPECT_FALSE(CommandOfToolbarKey("nothing"));
    EXPECT_FALSE(CommandOfName(""));
}

TEST(WindowCommandTable, MenusHoldTheirLinesInOrderEachWithAMnemonic) {
    // The menu lines come menu after menu, in the menu bar's order.
    int lastMenu = 0;
    for (const MenuLine& line : kMenuLines) {
        EXPECT_GE(static_cast<int>(line.menu), lastMenu);
        lastMenu = static_cast<int>(line.menu);
    }
    auto mnemonic = [](std::string_view caption) {
        for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
            if (caption[i] == '&' && caption[i + 1] != '&')
                return static_cast<char>(std::tolower(static_cast<unsigned char>(caption[i + 1])));
        }
        return '\0';
    };
    std::set<char> bar;
    for (const MenuInfo& menu : kMenus) {
        EXPECT_EQ(&Menu(menu.id), &menu);
        EXPECT_TRUE(bar.insert(mnemonic(menu.caption)).second) << menu.caption;
        for (const MenuLine& line : kMenuLines) {
            if (line.menu != menu.id || line.kind == MenuLineKind::Separator) continue;
            const std::string_view caption =
                line.kind == MenuLineKind::Command ? Command(line.command).caption : line.caption;
            const char key = mnemonic(caption);
            EXPECT_NE(key, '\0') << caption;
        }
    }
    // File > Exit is Alt+F, X; Enable Unit is F1.
    EXPECT_EQ(mnemonic(Command(CommandId::Exit).caption), 'x');
    EXPECT_EQ(Command(CommandId::SwitchUnit).shortcut, "F1");
    EXPECT_EQ(Command(CommandId::UndoSwitch).shortcut, "Ctrl+Z");
    EXPECT_EQ(Command(CommandId::ExportToUnitViewer).shortcut, "F5");
    EXPECT_FALSE(Command(CommandId::UndoSwitch).enabledAtStart);
    EXPECT_TRUE(Command(CommandId::ViewCavedog).checkable);
    EXPECT_TRUE(Command(CommandId::ViewThirdParty).checkable);
    EXPECT_EQ(kFilterShortcut, "Ctrl+F");
}

TEST(WindowCommandTable, TheToolbarNeverStartsOrEndsOnTwoSeparators) {
    for (std::size_t i = 1; i < kToolbarSlots.size(); ++i) {
        EXPECT_FALSE(!kToolbarSlots[i].command && !kToolbarSlots[i - 1].command) << i;
    }
    EXPECT_TRUE(kToolbarSlots.back().command.has_value());
}
