#include "win32/FrmDirectory.h"

#include <algorithm>

#include "base/Environment.h"
#include "base/PlatformServices.h"
#include "win32/WindowText.h"

namespace kloxmere::win32 {

namespace {

bool isRoot(const std::wstring& path) {
    return path.size() <= 3 && path.size() >= 2 && path[1] == L':';
}

std::wstring withSeparator(std::wstring path) {
    if (path.empty() || path.back() != L'\\') path += L'\\';
    return path;
}

// "C:\Games\TA\" or "C:\Games\TA" to "C:\Games\TA"; a root keeps its "\".
std::wstring normalised(std::wstring path) {
    std::replace(path.begin(), path.end(), L'/', L'\\');
    while (path.size() > 3 && path.back() == L'\\') path.pop_back();
    if (path.size() == 2 && path[1] == L':') path += L'\\';
    return path;
}

std::vector<std::wstring> subdirectories(const std::wstring& path) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileExW((withSeparator(path) + L"*").c_str(), FindExInfoBasic, &found,
                                     FindExSearchLimitToDirectories, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != L"." && name != L"..") {
            names.push_back(name);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_LESS_THAN;
    });
    return names;
}

}  // namespace

std::vector<std::wstring> SystemDrives() {
    std::vector<std::wstring> drives;
    const DWORD mask = GetLogicalDrives();
    for (int letter = 0; letter < 26; ++letter) {
        if (mask & (1u << letter))
            drives.push_back(std::wstring(1, wchar_t(L'A' + letter)) + L":\\");
    }
    return drives;
}

bool IsPlainDirectory(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) == FILE_ATTRIBUTE_DIRECTORY;
}

namespace {
std::vector<window::PickerDrive> pickerDrives(const std::vector<std::wstring>& roots) {
    std::vector<window::PickerDrive> drives;
    for (const std::wstring& root : roots) {
        std::string forward = Utf8FromWide(root);
        std::replace(forward.begin(), forward.end(), '\\', '/');
        drives.push_back({Utf8FromWide(root), forward});
    }
    return drives;
}
}  // namespace

FrmDirectory::FrmDirectory(PlatformServices& services)
    : DialogWindow({L"Select a directory", 4455, 2895}),
      m_drives(SystemDrives()),
      m_picker(services, *this, pickerDrives(m_drives)) {}

void FrmDirectory::Populate() {
    AddControl(L"STATIC", L"c:\\", SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS, IdLblPath,
               {120, 120, 3135, 255});
    // The drive list comes before the directory list in the tab order.
    HWND drive = AddControl(L"COMBOBOX", L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, IdDrive,
                            {120, 2460, 3135, 1800});
    AddControl(L"LISTBOX", L"",
               WS_TABSTOP | WS_VSCROLL | WS_BORDER | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, IdDir,
               {120, 480, 3135, 1890}, WS_EX_CLIENTEDGE);
    AddControl(L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, {3360, 480, 975, 375});
    AddControl(L"BUTTON", L"Cancel", WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL, {3360, 960, 975, 375});
    AddControl(L"BUTTON", L"&Create...", WS_TABSTOP | BS_PUSHBUTTON, IdCmdMakeDir,
               {3360, 1440, 975, 375});
    for (const std::wstring& root : m_drives) {
        SendMessageW(drive, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(root.c_str()));
    }
    // Form_Load: the current directory opens.
    std::wstring current(MAX_PATH, L'\0');
    current.resize(GetCurrentDirectoryW(static_cast<DWORD>(current.size()), current.data()));
    m_picker.Start(Utf8FromWide(current),
                   m_drives.empty() ? "C:/" : Utf8FromWide(m_drives.front()));
}

bool FrmDirectory::SetPath(const std::wstring& directory) {
    return OpenDirectory(Utf8FromWide(directory));
}

bool FrmDirectory::OpenDirectory(const std::string& directory) {
    if (!openList(WideFromUtf8(directory))) return false;
    m_picker.DirectoryChanged();
    return true;
}

std::string FrmDirectory::OpenedDirectory() const {
    std::string forward = Utf8FromWide(m_path);
    std::replace(forward.begin(), forward.end(), '\\', '/');
    return forward;
}

void FrmDirectory::ShowPath(const std::string& nativePath) {
    SetWindowTextW(Control(IdLblPath), WideFromUtf8(nativePath).c_str());
}

void FrmDirectory::ShowDrive(std::size_t index) {
    SendMessageW(Control(IdDrive), CB_SETCURSEL, index, 0);
}

bool FrmDirectory::IsPlainDirectory(const std::string& path) const {
    return win32::IsPlainDirectory(WideFromUtf8(path));
}

bool FrmDirectory::MakeDirectory(const std::string& path) {
    return CreateDirectoryW(WideFromUtf8(path).c_str(), nullptr) != FALSE;
}

void FrmDirectory::Close(bool) {
    End();
}

bool FrmDirectory::openList(const std::wstring& directory) {
    const std::wstring path = normalised(directory);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (path.empty() || attributes == INVALID_FILE_ATTRIBUTES ||
        !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return false;
    }
    m_path = path;
    Refresh();
    return true;
}
void FrmDirectory::Refresh() {
    HWND list = Control(IdDir);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    m_entries.clear();
    // The ancestors, each a level deeper, then the subdirectories.
    std::vector<std::wstring> ancestors;
    for (std::wstring at = m_path;;) {
        ancestors.push_back(at);
        if (isRoot(at)) break;
        const std::size_t cut = at.find_last_of(L'\\');
        if (cut == std::wstring::npos) break;
        at = normalised(at.substr(0, cut));
    }
    std::reverse(ancestors.begin(), ancestors.end());
    std::size_t depth = 0;
    int open = 0;
    for (const std::wstring& ancestor : ancestors) {
        const std::wstring name =
            isRoot(ancestor) ? ancestor : ancestor.substr(ancestor.find_last_of(L'\\') + 1);
        open = static_cast<int>(
            SendMessageW(list, LB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>((std::wstring(depth * 2, L' ') + name).c_str())));
        m_entries.push_back(ancestor);
        ++depth;
    }
    for (const std::wstring& name : subdirectories(m_path)) {
        SendMessageW(list, LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>((std::wstring(depth * 2, L' ') + name).c_str()));
        m_entries.push_back(withSeparator(m_path) + name);
    }
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(open), 0);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void FrmDirectory::OpenHighlighted() {
    const LRESULT index = SendMessageW(Control(IdDir), LB_GETCURSEL, 0, 0);
    if (index < 0 || static_cast<std::size_t>(index) >= m_entries.size()) return;
    const std::wstring target = m_entries[static_cast<std::size_t>(index)];
    if (target != m_path) OpenDirectory(Utf8FromWide(target));
}

void FrmDirectory::OnClose() {
    m_picker.Cancel();
}

void FrmDirectory::OnCommand(int id, int code, HWND control) {
    switch (id) {
        case IDOK:
            // Enter on a highlighted entry of the list opens it.
            if (GetFocus() == Control(IdDir)) {
                const LRESULT index = SendMessageW(Control(IdDir), LB_GETCURSEL, 0, 0);
                if (index >= 0 && static_cast<std::size_t>(index) < m_entries.size() &&
                    m_entries[static_cast<std::size_t>(index)] != m_path) {
                    OpenHighlighted();
                    return;
                }
            }
            m_picker.Ok();
            return;
        case IDCANCEL:
            m_picker.Cancel();
            return;
        case IdCmdMakeDir:
            m_picker.MakeDirectory();
            return;
        case IdDir:
            if (code == LBN_DBLCLK) OpenHighlighted();
            return;
        case IdDrive:
            if (code == CBN_SELCHANGE) {
                m_picker.DriveChosen(
                    static_cast<int>(SendMessageW(Control(IdDrive), CB_GETCURSEL, 0, 0)));
            }
            return;
        default:
            DialogWindow::OnCommand(id, code, control);
    }
}

}  // namespace kloxmere::win32
