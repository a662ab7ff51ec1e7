// The Windows main window on the demo installation, in-process under Wine's
// null graphics driver: started through the shared presenter, read back
// through its controls' own messages and driven by the messages a click or a
// key sends.

#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>
#include <gtest/gtest.h>
#include <oleacc.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>

#include "app/DemoInstallation.h"
#include "app/Session.h"
#include "base/Environment.h"
#include "catalogue/Catalogue.h"
#include "tests/support/RecordingServices.h"
#include "tests/support/TempDir.h"
#include "units/clsUnit.h"
#include "win32/BackgroundScan.h"
#include "win32/FrmMain.h"
#include "win32/MainMenus.h"
#include "win32/RegistrySettingsStore.h"

namespace kloxmere::win32 {
namespace {

using window::CommandId;

std::string listCell(HWND list, int row, int column) {
    wchar_t text[512] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 512;
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return Utf8FromWide(text);
}

std::string treeText(HWND tree, HTREEITEM node) {
    wchar_t text[256] = {};
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = node;
    item.pszText = text;
    item.cchTextMax = 256;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return Utf8FromWide(text);
}

std::string statusText(HWND status, int part) {
    wchar_t text[512] = {};
    SendMessageW(status, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text));
    return Utf8FromWide(text);
}

std::string menuText(HMENU menu, UINT position) {
    wchar_t text[256] = {};
    GetMenuStringW(menu, position, text, 256, MF_BYPOSITION);
    return Utf8FromWide(text);
}

void pump(FrmMain& window) {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) continue;  // the closed window's, not the test's
        if (!window.PreTranslate(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

class MainWindow : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls{};
        controls.dwSize = sizeof controls;
        controls.dwICC = ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES;
        InitCommonControlsEx(&controls);
    }
    void SetUp() override {
        WriteDemoInstallation(temp.file("Демо"));
        session.TADirectory = temp.file("Демо") + "\\";
        window::StartupOptions options;
        options.splash = false;
        options.scanThreads = 1;
        window = std::make_unique<FrmMain>(session, services, options);
        window->Create();
        ASSERT_EQ(window->presenter().Start(), window::MainPresenter::StartResult::Shown);
        pump(*window);
    }
    void TearDown() override { window.reset(); }

    HWND control(int id) const { return window->Control(id); }

    test::TempDir temp;
    test::RecordingServices services;
    Session session{services, temp.str(), temp.str()};
    std::unique_ptr<FrmMain> window;
};

TEST_F(MainWindow, ShowsTheCatalogueInTreeListStatusAndUnitPanel) {
    wchar_t caption[64] = {};
    GetWindowTextW(window->hwnd(), caption, 64);
    EXPECT_EQ(std::wstring(caption), L"Kloxmere");
    EXPECT_TRUE(IsWindowVisible(window->hwnd()));

    HWND tree = control(FrmMain::IdTreeUnits);
    auto root = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    EXPECT_EQ(treeText(tree, root), window->presenter().treeNodes().front().text);
    EXPECT_EQ(SendMessageW(tree, TVM_GETCOUNT, 0, 0),
              static_cast<LRESULT>(window->presenter().treeNodes().size()));

    EXPECT_EQ(SendMessageW(control(FrmMain::IdTabView), TCM_GETCURSEL, 0, 0), 0);
    HWND list = control(FrmMain::IdListUnits);
    const Catalogue& catalogue = session.catalogue;
    ASSERT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0),
              static_cast<LRESULT>(catalogue.UnitList.Count()));
    // Rows are worded when the list asks: the first unit's name and callname.
    const clsUnit* first = catalogue.CurrentUnit;
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(listCell(list, 0, 0), window->presenter().list().cellText(0, 0));
    EXPECT_EQ(statusText(control(FrmMain::IdStatus), 1), first->Name);
    EXPECT_NE(statusText(control(FrmMain::IdStatus), 2).find("Fingerprint "), std::string::npos);

    wchar_t callname[128] = {};
    GetWindowTextW(control(FrmMain::IdLblUnitname), callname, 128);
    EXPECT_FALSE(std::wstring(callname).empty());
    HWND weapons = control(FrmMain::IdLstWeapons);
    for (LRESULT i = 0; i < SendMessageW(weapons, LB_GETCOUNT, 0, 0); ++i) {
        wchar_t line[128] = {};
        SendMessageW(weapons, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line));
        EXPECT_EQ(line[0], L'#');  // "#12 - ARM_LASER"
    }
}

TEST_F(MainWindow, MenusAndAcceleratorsComeFromTheCommandTable) {
    HMENU bar = window->MenuBar();
    ASSERT_EQ(GetMenuItemCount(bar), 5);
    EXPECT_EQ(menuText(bar, 0), "&File");
    EXPECT_EQ(menuText(bar, 3), "&Units");
    HMENU file = GetSubMenu(bar, 0);
    EXPECT_EQ(menuText(file, static_cast<UINT>(GetMenuItemCount(file) - 1)), "E&xit");
    EXPECT_EQ(GetMenuItemID(file, static_cast<UINT>(GetMenuItemCount(file) - 1)), IDM_EXIT);
    // Checked views, the unit command worded for the current unit, with its key.
    HMENU view = GetSubMenu(bar, 1);
    EXPECT_TRUE(GetMenuState(view, CommandResourceId(CommandId::ViewCavedog), MF_BYCOMMAND) &
                MF_CHECKED);
    wchar_t unit[64] = {};
    GetMenuStringW(bar, CommandResourceId(CommandId::SwitchUnit), unit, 64, MF_BYCOMMAND);
    EXPECT_NE(std::wstring(unit).find(L"\tF1"), std::wstring::npos);

    EXPECT_EQ(ShortcutAccelerator("F1", 7)->key, VK_F1);
    EXPECT_EQ(ShortcutAccelerator("Ctrl+Z", 7)->fVirt, FVIRTKEY | FCONTROL);
    EXPECT_FALSE(ShortcutAccelerator("", 7));
    EXPECT_FALSE(ShortcutAccelerator("Hyper+Q", 7));
}

TEST_F(MainWindow, F1SwitchesTheCurrentUnitsArchive) {
    clsUnit* unit = session.catalogue.CurrentUnit;
    ASSERT_NE(unit, nullptr);
    const bool before = unit->Enabled();
    MSG key{window->hwnd(), WM_KEYDOWN, VK_F1, 0, 0, {}};
    ASSERT_TRUE(window->PreTranslate(key));
    pump(*window);
    EXPECT_NE(unit->Enabled(), before);
    // The status and list follow; Ctrl+Z undoes it.
    SendMessageW(window->hwnd(), WM_COMMAND, CommandResourceId(CommandId::UndoSwitch), 0);
    pump(*window);
    EXPECT_EQ(unit->Enabled(), before);
}

TEST_F(MainWindow, AClickOnATabShowsItsRows) {
    HWND tabs = control(FrmMain::IdTabView);
    RECT item{};
    SendMessageW(tabs, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    SendMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(tabs, WM_LBUTTONUP, 0, at);
    pump(*window);
    EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(window->presenter().currentTab(), 1);
    HWND list = control(FrmMain::IdListUnits);
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0),
              static_cast<LRESULT>(window->presenter().list().rowCount()));
    wchar_t header[64] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = header;
    column.cchTextMax = 64;
    SendMessageW(list, LVM_GETCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    EXPECT_EQ(Utf8FromWide(header), window->presenter().list().columns().front().header);

    // Under the list, who the selected conflict is with.
    HWND title = control(FrmMain::IdPartnersTitle);
    EXPECT_TRUE(IsWindowVisible(title));
    wchar_t text[256] = {};
    GetWindowTextW(title, text, 256);
    EXPECT_EQ(std::wstring(text), L"Select a conflict to see who it is with.");
    ASSERT_GT(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 0);
    ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    pump(*window);
    GetWindowTextW(title, text, 256);
    EXPECT_NE(std::wstring(text), L"Select a conflict to see who it is with.");
    EXPECT_GT(SendMessageW(control(FrmMain::IdPartners), LVM_GETITEMCOUNT, 0, 0), 0);

    // Back on Units the panel goes.
    SendMessageW(tabs, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
    const LPARAM units = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    SendMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, units);
    SendMessageW(tabs, WM_LBUTTONUP, 0, units);
    pump(*window);
    EXPECT_FALSE(IsWindowVisible(title));
}

TEST_F(MainWindow, ListColumnsHoldTheirTextsWholeInTheDesignsProportions) {
    HWND list = control(FrmMain::IdListUnits);
    const auto width = [&](int column) {
        return static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0));
    };
    // The widest ID of the rows shows without being cut ("..."): the list
    // draws at least 6 pixels of margin around a text.
    int widestId = 0;
    const int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    ASSERT_GT(rows, 0);
    for (int row = 0; row < rows; ++row) {
        const std::wstring id = WideFromUtf8(listCell(list, row, 1));
        widestId = std::max(widestId,
                            static_cast<int>(SendMessageW(list, LVM_GETSTRINGWIDTHW, 0,
                                                          reinterpret_cast<LPARAM>(id.c_str()))));
    }
    EXPECT_GE(width(1), widestId + 6);
    // ID 300 twips, Max damage 500, Name 1000, Callname 1400, Description 2000.
    EXPECT_LT(width(1), width(6));
    EXPECT_LT(width(6), width(0));
    EXPECT_LT(width(0), width(2));
    EXPECT_LT(width(2), width(3));
}

// What a screen reader hears for `control`: the name its accessible object
// gives through Windows' accessibility interface.
std::string accessibleName(HWND control) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                          __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object)))) {
        return "(no accessible object)";
    }
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::string text;
    if (object->get_accName(self, &name) == S_OK && name) text = Utf8FromWide(name);
    SysFreeString(name);
    object->Release();
    return text;
}

TEST_F(MainWindow, ScreenReadersHearTheCustomControlsByName) {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    EXPECT_EQ(accessibleName(control(FrmMain::IdPicSplitter)), "Splitter bar");
    EXPECT_EQ(accessibleName(control(FrmMain::IdPicUnit)), "Unit picture");
    CoUninitialize();
}

TEST_F(MainWindow, SelectingASideNodeListsItsUnits) {
    HWND tree = control(FrmMain::IdTreeUnits);
    const auto& nodes = window->presenter().treeNodes();
    ASSERT_GT(nodes.size(), 1u);
    auto root = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    auto side = reinterpret_cast<HTREEITEM>(
        SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(root)));
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(side));
    pump(*window);
    EXPECT_EQ(window->presenter().LastTreeKey(), nodes[1].key);
    EXPECT_LT(SendMessageW(control(FrmMain::IdListUnits), LVM_GETITEMCOUNT, 0, 0),
              static_cast<LRESULT>(session.catalogue.UnitList.Count()));
}

TEST_F(MainWindow, AToolbarClickTogglesItsViewWithTheMenuItsTwin) {
    HWND toolbar = control(FrmMain::IdToolbar);
    const UINT cavedog = CommandResourceId(CommandId::ViewCavedog);
    ASSERT_TRUE(SendMessageW(toolbar, TB_ISBUTTONCHECKED, cavedog, 0));
    const LRESULT before = SendMessageW(control(FrmMain::IdListUnits), LVM_GETITEMCOUNT, 0, 0);
    RECT button{};
    SendMessageW(toolbar, TB_GETRECT, cavedog, reinterpret_cast<LPARAM>(&button));
    const LPARAM at =
        MAKELPARAM((button.left + button.right) / 2, (button.top + button.bottom) / 2);
    SendMessageW(toolbar, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(toolbar, WM_LBUTTONUP, 0, at);
    pump(*window);
    EXPECT_FALSE(SendMessageW(toolbar, TB_ISBUTTONCHECKED, cavedog, 0));
    EXPECT_FALSE(GetMenuState(window->MenuBar(), cavedog, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_LT(SendMessageW(control(FrmMain::IdListUnits), LVM_GETITEMCOUNT, 0, 0), before);
}

// A drag of the splitter bar moves it where released, within its limits.
TEST_F(MainWindow, DraggingTheSplitterBarMovesIt) {
    HWND bar = control(FrmMain::IdPicSplitter);
    const double start = window->presenter().layout().PicSplitter.left;
    const int dpi = static_cast<int>(window->dpi());
    const int by = MulDiv(300, dpi, 1440);  // 300 twips to the right
    SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 10));
    EXPECT_TRUE(window->presenter().splitterDrag().dragging());
    SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(by, 10));
    SendMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(by, 10));
    pump(*window);
    EXPECT_FALSE(window->presenter().splitterDrag().dragging());
    const double moved = window->presenter().layout().PicSplitter.left;
    EXPECT_NEAR(moved, start + 300, 30);
    // The tree ends where the bar begins.
    RECT tree{}, splitter{};
    GetWindowRect(control(FrmMain::IdTreeUnits), &tree);
    GetWindowRect(bar, &splitter);
    EXPECT_LE(tree.right, splitter.left);
}

// Also run at 144 DPI by Layout.At144DpiEveryLengthIsHalfAsLargeAgain.
TEST_F(MainWindow, ControlsAreLaidOutInTwipsAtTheWindowsDpi) {
    if (const char* expected = std::getenv("KLOXMERE_EXPECT_DPI")) {
        EXPECT_EQ(window->dpi(), static_cast<UINT>(std::atoi(expected)));
    }
    RECT splitter{};
    GetWindowRect(control(FrmMain::IdPicSplitter), &splitter);
    MapWindowPoints(nullptr, window->hwnd(), reinterpret_cast<POINT*>(&splitter), 2);
    const int dpi = static_cast<int>(window->dpi());
    EXPECT_EQ(splitter.left,
              MulDiv(static_cast<int>(window->presenter().layout().PicSplitter.left), dpi, 1440));
    EXPECT_EQ(splitter.right - splitter.left, MulDiv(45, dpi, 1440));
}

TEST_F(MainWindow, TypingInTheFilterKeepsTheRowsHoldingItAndEscapeEmptiesIt) {
    HWND filter = control(FrmMain::IdTxtFilter);
    HWND list = control(FrmMain::IdListUnits);
    const LRESULT all = SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
    for (wchar_t c : std::wstring(L"Commander")) SendMessageW(filter, WM_CHAR, c, 0);
    pump(*window);
    const LRESULT kept = SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
    EXPECT_GT(kept, 0);
    EXPECT_LT(kept, all);
    EXPECT_EQ(kept, static_cast<LRESULT>(window->presenter().list().rowCount()));
    // Each row kept holds the text in some column (callname, description, ...).
    const int columns = static_cast<int>(window->presenter().list().columns().size());
    for (LRESULT row = 0; row < kept; ++row) {
        std::string cells;
        for (int column = 0; column < columns; ++column) {
            cells += listCell(list, static_cast<int>(row), column) + "|";
        }
        EXPECT_NE(cells.find("Commander"), std::string::npos) << cells;
    }
    SetFocus(filter);
    SendMessageW(window->hwnd(), WM_COMMAND, IDCANCEL, 0);
    pump(*window);
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), all);
}

// Moved to a monitor of 144 DPI, the window lays itself out again there.
TEST_F(MainWindow, FollowsWmDpiChanged) {
    RECT frame{};
    GetWindowRect(window->hwnd(), &frame);
    frame.right = frame.left + (frame.right - frame.left) * 3 / 2;
    frame.bottom = frame.top + (frame.bottom - frame.top) * 3 / 2;
    SendMessageW(window->hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&frame));
    pump(*window);
    EXPECT_EQ(window->dpi(), 144u);
    RECT splitter{};
    GetWindowRect(control(FrmMain::IdPicSplitter), &splitter);
    EXPECT_EQ(splitter.right - splitter.left, MulDiv(45, 144, 1440));
}

TEST_F(MainWindow, FileExitClosesTheWindowAndUnloads) {
    SendMessageW(window->hwnd(), WM_COMMAND, IDM_EXIT, 0);
    pump(*window);
    EXPECT_TRUE(window->presenter().unloaded());
    EXPECT_EQ(window->hwnd(), nullptr);
}

// The program's own start: the scan on a worker thread while the splash
// shows its 2 seconds, then the window on what the scan found.
TEST(MainWindowStart, ScansBehindTheSplashOnAWorkerThread) {
    test::TempDir temp;
    WriteDemoInstallation(temp.file("demo"));
    test::RecordingServices windowServices;
    ForwardingServices services(windowServices);
    Session session(services, temp.str(), temp.str());
    session.TADirectory = temp.file("demo") + "\\";
    window::StartupOptions options;
    options.splash = true;
    options.scanThreads = 1;
    FrmMain window(session, services, options);
    window.Create();
    window.SetForwarding(&services);
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(window.presenter().Start(), window::MainPresenter::StartResult::Shown);
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(1900));
    EXPECT_EQ(&services.target(), &windowServices);
    EXPECT_GT(session.catalogue.UnitList.Count(), 0u);
    EXPECT_EQ(SendMessageW(window.Control(FrmMain::IdListUnits), LVM_GETITEMCOUNT, 0, 0),
              static_cast<LRESULT>(session.catalogue.UnitList.Count()));
}

// A start with the registry store: the first start finds nothing stored and
// keeps the design placement; closing writes the placement and the TA
// directory as the Linux store's text values.
TEST(MainWindowSettings, AreReadAtStartAndWrittenAtExit) {
    const std::wstring key = L"Software\\Kloxmere\\KloxmereWindowTest";
    RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    test::TempDir temp;
    WriteDemoInstallation(temp.file("demo"));
    test::RecordingServices services;
    Session session(services, temp.str(), temp.str());
    session.TADirectory = temp.file("demo") + "\\";
    RegistrySettingsStore store(key);
    window::StartupOptions options;
    options.splash = false;
    options.scanThreads = 1;
    options.settings = &store;
    FrmMain window(session, services, options);
    window.Create();
    ASSERT_EQ(window.presenter().Start(), window::MainPresenter::StartResult::Shown);
    EXPECT_EQ(window.presenter().layout().PicSplitter.left, 2460);
    SendMessageW(window.hwnd(), WM_COMMAND, IDM_EXIT, 0);
    pump(window);
    EXPECT_EQ(store.get("Startup", "SliderLeft", ""), "2460");
    EXPECT_EQ(store.get("Startup", "WindowState", ""), "0");
    EXPECT_NE(store.get("Startup", "Width", ""), "");
    RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
}

}  // namespace
}  // namespace kloxmere::win32
