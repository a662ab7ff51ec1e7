// The small windows of the Windows program, created hidden and read back
// through their controls' own messages. Runs in-process under Wine with the
// null graphics driver.

#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "catalogue/clsUnitGroup.h"
#include "tests/support/RecordingServices.h"
#include "tests/support/TempDir.h"
#include "win32/FrmAbout.h"
#include "win32/FrmGroups.h"
#include "win32/FrmInputBox.h"
#include "win32/FrmLogo.h"
#include "win32/FrmProgress.h"
#include "win32/Win32PlatformServices.h"
#include "win32/WindowText.h"

namespace kloxmere::win32 {
namespace {

std::wstring className(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

SIZE clientSize(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

class Dialogs : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls{};
        controls.dwSize = sizeof controls;
        controls.dwICC = ICC_WIN95_CLASSES | ICC_LINK_CLASS | ICC_PROGRESS_CLASS;
        InitCommonControlsEx(&controls);
    }
    test::RecordingServices services;
};

// Wine answers 5.81 from DllGetVersion even with version 6 loaded: the
// module's path tells them apart (the side-by-side store holds version 6).
TEST_F(Dialogs, CommonControlsSixAreLoaded) {
    HMODULE module = GetModuleHandleW(L"comctl32.dll");
    ASSERT_NE(module, nullptr);
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(module, path, MAX_PATH);
    std::wstring lower = path;
    for (wchar_t& c : lower) c = static_cast<wchar_t>(towlower(c));
    EXPECT_NE(lower.find(L"common-controls_6595b64144ccf1df_6."), std::wstring::npos)
        << Utf8FromWide(path);
}

TEST_F(Dialogs, ProgressBarTakesTheRoundedPercentage) {
    FrmProgress progress;
    progress.Create(nullptr);
    HWND bar = progress.Control(FrmProgress::IdProgress);
    EXPECT_EQ(className(bar), PROGRESS_CLASSW);
    progress.Update(50, 200);
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 25);
    progress.Update(5, 0);  // keeps its value
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 25);
    progress.SetCaption("Loading Units...");
    progress.SetStatus("Reading rev31.gp3 — Тест");
    EXPECT_EQ(WindowText(progress.hwnd()), "Loading Units...");
    EXPECT_EQ(WindowText(progress.Control(FrmProgress::IdStatus)), "Reading rev31.gp3 — Тест");
    // No close box: the user cannot close it, and WM_CLOSE does nothing.
    EXPECT_EQ(GetWindowLongPtrW(progress.hwnd(), GWL_STYLE) & WS_SYSMENU, 0);
    SendMessageW(progress.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(progress.hwnd()));
}

TEST_F(Dialogs, ServicesShowAndHideTheProgressWindow) {
    Win32PlatformServices windows;
    windows.ShowProgress("Kloxmere");
    ASSERT_NE(windows.Progress(), nullptr);
    HWND shown = windows.Progress()->hwnd();
    EXPECT_TRUE(IsWindowVisible(shown));
    windows.SetProgressStatus("Finding conflicts");
    windows.Update(1, 4);
    EXPECT_EQ(WindowText(windows.Progress()->Control(FrmProgress::IdStatus)), "Finding conflicts");
    EXPECT_EQ(SendMessageW(windows.Progress()->Control(FrmProgress::IdProgress), PBM_GETPOS, 0, 0),
              25);
    windows.HideProgress();
    EXPECT_EQ(windows.Progress(), nullptr);
    EXPECT_FALSE(IsWindow(shown));
}

TEST_F(Dialogs, InputBoxAnswersTheTypedTextOnOkAndNothingOnCancel) {
    {
        FrmInputBox box("Enter the name of a new directory", "New Dir");
        box.Create(nullptr);
        EXPECT_EQ(WindowText(box.hwnd()), "New Dir");
        EXPECT_EQ(WindowText(box.Control(FrmInputBox::IdPrompt)),
                  "Enter the name of a new directory");
        SetText(box.Control(FrmInputBox::IdText), "Ünits");
        SendMessageW(box.hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(box.Control(IDOK)));
        EXPECT_TRUE(box.Ended());
        EXPECT_EQ(box.Answer(), "Ünits");
    }
    {
        FrmInputBox box("Name", "Title");
        box.Create(nullptr);
        SetText(box.Control(FrmInputBox::IdText), "typed");
        SendMessageW(box.hwnd(), WM_CLOSE, 0, 0);  // the close box, as Cancel
        EXPECT_TRUE(box.Ended());
        EXPECT_EQ(box.Answer(), "");
    }
}

// The modal loop runs the box until a button ends it: a timer inside the
// loop types and presses OK, as a person would.
TEST_F(Dialogs, InputBoxRunsModallyThroughTheServices) {
    static HWND found = nullptr;
    found = nullptr;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR id, DWORD) {
        HWND box = FindWindowW(L"KloxmereDialog", L"Asked");
        if (!box || !IsWindowVisible(box)) return;
        KillTimer(nullptr, id);
        found = box;
        SetWindowTextW(GetDlgItem(box, FrmInputBox::IdText), L"answer");
        // Enter in the text field presses the default button.
        HWND text = GetDlgItem(box, FrmInputBox::IdText);
        PostMessageW(text, WM_KEYDOWN, VK_RETURN, 0);
        PostMessageW(text, WM_KEYUP, VK_RETURN, 0);
    });
    Win32PlatformServices windows;
    EXPECT_EQ(windows.InputBox("Question", "Asked"), "answer");
    KillTimer(nullptr, timer);
    EXPECT_NE(found, nullptr);
}

// The shell starts the program in the working directory asked for; this
// process's own stays as it was.
TEST_F(Dialogs, LaunchStartsTheProgramInTheWorkingDirectoryAskedFor) {
    test::TempDir temp;
    wchar_t before[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, before);
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    Win32PlatformServices windows;
    ASSERT_TRUE(windows.Launch(LaunchRequest("open", Utf8FromWide(system) + "\\cmd.exe",
                                             "/u /c cd > where.txt", temp.str())));
    for (int waited = 0; waited < 200 && !temp.exists("where.txt"); ++waited) Sleep(50);
    Sleep(200);
    ASSERT_TRUE(temp.exists("where.txt"));
    const std::vector<std::uint8_t> bytes = temp.read("where.txt");
    // cmd /u writes UTF-16, so the name outside the console's code page survives.
    std::wstring wide;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        wide.push_back(static_cast<wchar_t>(bytes[i] | (bytes[i + 1] << 8)));
    }
    while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r')) wide.pop_back();
    const std::string where = Utf8FromWide(wide);
    std::string expected = temp.str();
    if (expected.size() > 3 && expected.back() == '\\') expected.pop_back();
    EXPECT_EQ(CompareStringOrdinal(WideFromUtf8(where).c_str(), -1, WideFromUtf8(expected).c_str(),
                                   -1, TRUE),
              CSTR_EQUAL)
        << where << " vs " << expected;
    wchar_t after[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, after);
    EXPECT_EQ(std::wstring(after), std::wstring(before));

    EXPECT_FALSE(windows.Launch(LaunchRequest("open", temp.str() + "missing.exe")));
}

TEST_F(Dialogs, AboutWindowTextIsReadOnlyAndItsLinksOpenTheirTargets) {
    FrmAbout about({"Z:\\manual.html", "C:\\Users\\Ünits\\"}, services);
    about.Create(nullptr);
    EXPECT_EQ(WindowText(about.hwnd()), "About Kloxmere");
    EXPECT_EQ(WindowText(about.Control(FrmAbout::IdLblName)), "Kloxmere 1.0");
    HWND text = about.Control(FrmAbout::IdTxtInfo);
    const std::string before = WindowText(text);
    EXPECT_NE(before.find("TA installation"), std::string::npos);
    SendMessageW(text, WM_CHAR, L'x', 0);
    SendMessageW(text, EM_SETSEL, 0, -1);
    SendMessageW(text, WM_KEYDOWN, VK_DELETE, 0);
    SendMessageW(text, WM_CHAR, VK_BACK, 0);
    EXPECT_EQ(WindowText(text), before);

    HWND userFiles = about.Control(FrmAbout::IdLabel4);
    ASSERT_NE(userFiles, nullptr);
    EXPECT_EQ(className(userFiles), L"SysLink");
    NMLINK click{};
    click.hdr.hwndFrom = userFiles;
    click.hdr.idFrom = FrmAbout::IdLabel4;
    click.hdr.code = NM_CLICK;
    SendMessageW(about.hwnd(), WM_NOTIFY, FrmAbout::IdLabel4, reinterpret_cast<LPARAM>(&click));
    ASSERT_EQ(services.launches.size(), 1u);
    EXPECT_EQ(services.launches[0].path, "C:\\Users\\Ünits\\");
    EXPECT_EQ(services.launches[0].operation, "open");

    SendMessageW(about.hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(about.Ended());
}

TEST_F(Dialogs, AboutWindowHidesTheLinksItHasNoTargetFor) {
    FrmAbout about({"", ""}, services);
    about.Create(nullptr);
    EXPECT_EQ(about.Control(FrmAbout::IdLabel1), nullptr);
    EXPECT_EQ(about.Control(FrmAbout::IdLabel4), nullptr);
}

TEST_F(Dialogs, SplashHasNoTitleBarAndStaysOutOfTheTaskbar) {
    FrmLogo logo;
    logo.Create(nullptr);
    EXPECT_EQ(GetWindowLongPtrW(logo.hwnd(), GWL_STYLE) & WS_CAPTION, WS_BORDER);
    EXPECT_NE(GetWindowLongPtrW(logo.hwnd(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
    EXPECT_EQ(FrmLogo::kUnloadMilliseconds, 2000u);
}

std::vector<std::string> listLines(HWND list) {
    std::vector<std::string> lines;
    for (LRESULT i = 0; i < SendMessageW(list, LB_GETCOUNT, 0, 0); ++i) {
        wchar_t line[256] = {};
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line));
        lines.push_back(Utf8FromWide(line));
    }
    return lines;
}

TEST_F(Dialogs, GroupEditorEditsGroupsAndKeywordsThroughItsButtons) {
    Collection<clsUnitGroup> groups;
    FrmGroups editor(groups, services);
    editor.Create(nullptr);
    EXPECT_EQ(WindowText(editor.hwnd()), "Edit Unit Groups");
    auto click = [&](int id) { SendMessageW(editor.Control(id), BM_CLICK, 0, 0); };
    services.inputAnswers = {"Bombers", "Zwölf"};
    click(FrmGroups::IdCmdAdd);
    click(FrmGroups::IdCmdAdd);
    EXPECT_EQ(listLines(editor.Control(FrmGroups::IdLstGroups)),
              (std::vector<std::string>{"Bombers", "Zwölf"}));
    services.inputAnswers = {"bomb", "ω"};  // ω has no Windows-1252 byte: stored as "?"
    click(FrmGroups::IdCmdAddKeyword);
    click(FrmGroups::IdCmdAddKeyword);
    EXPECT_EQ(listLines(editor.Control(FrmGroups::IdLstKeywords)),
              (std::vector<std::string>{"bomb", "?"}));
    SendMessageW(editor.Control(FrmGroups::IdLstKeywords), LB_SETCURSEL, 0, 0);
    click(FrmGroups::IdCmdDeleteKeyword);
    EXPECT_EQ(listLines(editor.Control(FrmGroups::IdLstKeywords)), (std::vector<std::string>{"?"}));
    click(FrmGroups::IdCmdDelete);
    EXPECT_EQ(listLines(editor.Control(FrmGroups::IdLstGroups)),
              (std::vector<std::string>{"Zwölf"}));
    EXPECT_EQ(groups.Count(), 1u);
    click(IDOK);
    EXPECT_TRUE(editor.Ended());
}

// The inner sizes are twips at the window's own DPI: at 96 DPI 15 twips make
// a pixel, at 144 DPI 10. The test program runs once at the prefix's DPI and,
// from the test below, again with LogPixels at 144.
TEST(Layout, InnerSizesAreTwipsAtTheSystemDpi) {
    const char* expected = std::getenv("KLOXMERE_EXPECT_DPI");
    const UINT dpi = GetDpiForSystem();
    if (expected) {
        EXPECT_EQ(dpi, static_cast<UINT>(std::atoi(expected)));
    }
    FrmProgress progress;
    progress.Create(nullptr);
    EXPECT_EQ(progress.dpi(), dpi);
    const SIZE inner = clientSize(progress.hwnd());
    EXPECT_EQ(inner.cx, MulDiv(4200, static_cast<int>(dpi), 1440));
    EXPECT_EQ(inner.cy, MulDiv(1020, static_cast<int>(dpi), 1440));
    RECT bar{};
    GetWindowRect(progress.Control(FrmProgress::IdProgress), &bar);
    EXPECT_EQ(bar.right - bar.left, MulDiv(3975, static_cast<int>(dpi), 1440));
}

TEST(Layout, At144DpiEveryLengthIsHalfAsLargeAgain) {
    if (std::getenv("KLOXMERE_EXPECT_DPI")) {
        GTEST_SKIP() << "the run at 144 DPI itself";
    }
    HKEY desktop = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &desktop, nullptr),
              ERROR_SUCCESS);
    DWORD previous = 0, size = sizeof previous;
    const bool hadValue =
        RegQueryValueExW(desktop, L"LogPixels", nullptr, nullptr,
                         reinterpret_cast<BYTE*>(&previous), &size) == ERROR_SUCCESS;
    const DWORD dpi = 144;
    RegSetValueExW(desktop, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                   sizeof dpi);

    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) +
                           L"\" --gtest_brief=1 "
                           L"--gtest_filter=Layout.InnerSizesAreTwipsAtTheSystemDpi:MainWindow."
                           L"ControlsAreLaidOutInTwipsAtTheWindowsDpi";
    SetEnvironmentVariableW(L"KLOXMERE_EXPECT_DPI", L"144");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0,
                                        nullptr, nullptr, &startup, &process);
    SetEnvironmentVariableW(L"KLOXMERE_EXPECT_DPI", nullptr);
    DWORD status = 1;
    if (started) {
        WaitForSingleObject(process.hProcess, 120000);
        GetExitCodeProcess(process.hProcess, &status);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    if (hadValue) {
        RegSetValueExW(desktop, L"LogPixels", 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&previous), sizeof previous);
    } else {
        RegDeleteValueW(desktop, L"LogPixels");
    }
    RegCloseKey(desktop);
    ASSERT_TRUE(started);
    EXPECT_EQ(status, 0u);
}

}  // namespace
}  // namespace kloxmere::win32
