// kloxmere_window_probe: reads the running Kloxmere main window from another
// process, as an outside tool would, and prints what it shows, one fact a
// line (UTF-8):
//
//   caption Kloxmere
//   tab 0
//   rows 10
//   row ARMBOLT          (the first column of every row, in order)
//   tree TA Units        (every node, depth first)
//   status ARMBOLT       (the status bar's unit panel)
//
// The list and tree hand their texts back through memory of their own
// process: the probe lends them a buffer there (VirtualAllocEx) and reads it
// back (ReadProcessMemory). With --exit it then presses Alt+F, X, the
// keyboard's File > Exit. Exits 1 when no window shows within 120 seconds.

#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <cstdio>
#include <string>

namespace {

HWND findChild(HWND parent, const wchar_t* windowClass) {
    return FindWindowExW(parent, nullptr, windowClass, nullptr);
}

class RemoteBuffer {
  public:
    RemoteBuffer(HWND window, SIZE_T size) : m_size(size) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        m_process =
            OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process);
        if (m_process) {
            m_memory = VirtualAllocEx(m_process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
        }
    }
    ~RemoteBuffer() {
        if (m_memory) VirtualFreeEx(m_process, m_memory, 0, MEM_RELEASE);
        if (m_process) CloseHandle(m_process);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    bool ok() const { return m_memory != nullptr; }
    char* at(SIZE_T offset) const { return static_cast<char*>(m_memory) + offset; }
    void write(SIZE_T offset, const void* data, SIZE_T size) const {
        WriteProcessMemory(m_process, at(offset), data, size, nullptr);
    }
    std::wstring readText(SIZE_T offset, SIZE_T characters) const {
        std::wstring text(characters, L'\0');
        ReadProcessMemory(m_process, at(offset), text.data(), characters * sizeof(wchar_t),
                          nullptr);
        text.resize(wcsnlen(text.c_str(), characters));
        return text;
    }

  private:
    HANDLE m_process = nullptr;
    void* m_memory = nullptr;
    SIZE_T m_size;
};

constexpr SIZE_T kTextOffset = 1024;
constexpr SIZE_T kTextCharacters = 2048;

void print(const char* what, const std::wstring& text) {
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8.data(), size, nullptr, nullptr);
    std::printf("%s %s\n", what, utf8.c_str());
}

std::wstring listCell(const RemoteBuffer& remote, HWND list, int row, int column) {
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = reinterpret_cast<LPWSTR>(remote.at(kTextOffset));
    item.cchTextMax = static_cast<int>(kTextCharacters);
    remote.write(0, &item, sizeof item);
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(remote.at(0)));
    return remote.readText(kTextOffset, kTextCharacters);
}

void printTree(const RemoteBuffer& remote, HWND tree, HTREEITEM node) {
    for (; node; node = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT,
                                                                 reinterpret_cast<LPARAM>(node)))) {
        TVITEMW item{};
        item.mask = TVIF_TEXT;
        item.hItem = node;
        item.pszText = reinterpret_cast<LPWSTR>(remote.at(kTextOffset));
        item.cchTextMax = static_cast<int>(kTextCharacters);
        remote.write(0, &item, sizeof item);
        SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.at(0)));
        print("tree", remote.readText(kTextOffset, kTextCharacters));
        printTree(remote, tree,
                  reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD,
                                                           reinterpret_cast<LPARAM>(node))));
    }
}

void press(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
    Sleep(100);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const bool exitAfter = argc > 1 && std::wstring(argv[1]) == L"--exit";
    HWND main = nullptr, list = nullptr;
    for (int waited = 0; waited < 1200; ++waited) {
        main = FindWindowW(L"KloxmereMain", nullptr);
        list = main ? findChild(main, WC_LISTVIEWW) : nullptr;
        if (main && IsWindowVisible(main) && list &&
            SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) > 0) {
            break;
        }
        Sleep(100);
        main = nullptr;
    }
    if (!main) {
        std::fprintf(stderr, "kloxmere_window_probe: no Kloxmere window showed\n");
        return 1;
    }
    Sleep(500);  // the unit panel follows the window's showing
    RemoteBuffer remote(main, kTextOffset + kTextCharacters * sizeof(wchar_t));
    if (!remote.ok()) {
        std::fprintf(stderr, "kloxmere_window_probe: the window's process cannot be read\n");
        return 1;
    }
    wchar_t caption[256] = {};
    GetWindowTextW(main, caption, 256);
    print("caption", caption);
    std::printf("tab %d\n", static_cast<int>(SendMessageW(findChild(main, WC_TABCONTROLW),
                                                          TCM_GETCURSEL, 0, 0)));
    const int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    std::printf("rows %d\n", rows);
    for (int row = 0; row < rows; ++row) print("row", listCell(remote, list, row, 0));
    HWND tree = findChild(main, WC_TREEVIEWW);
    printTree(remote, tree,
              reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)));
    HWND status = findChild(main, STATUSCLASSNAMEW);
    SendMessageW(status, SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(remote.at(kTextOffset)));
    print("status", remote.readText(kTextOffset, kTextCharacters));
    std::fflush(stdout);

    if (exitAfter) {
        SetForegroundWindow(main);
        Sleep(300);
        press(VK_MENU, false);
        press('F', false);
        press('F', true);
        press(VK_MENU, true);
        Sleep(300);
        press('X', false);
        press('X', true);
    }
    return 0;
}
