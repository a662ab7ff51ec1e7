#pragma once

// The directory picker: the open directory's path, the directory list (the
// path's ancestors from the root down, then its subdirectories, indented),
// the drive list, OK, Cancel and "&Create...". Opening a directory (double
// click, or Enter on a highlighted entry) moves there; a mere highlight does
// not. The rules (where it opens, each drive's last directory, OK, Cancel,
// Create) are the shared picker's (window/DirectoryPicker.h). The result,
// SelectedDirectory, ends in "\" and is "" after Cancel or the close box.

#include <string>
#include <vector>

#include "win32/DialogWindow.h"
#include "window/DirectoryPicker.h"

namespace kloxmere {
class PlatformServices;
}

namespace kloxmere::win32 {

// The drive roots of this computer ("C:\"), in order.
std::vector<std::wstring> SystemDrives();

// Whether `path` is a directory whose attributes are the directory one alone
// (no read-only, hidden, system or archive flag).
bool IsPlainDirectory(const std::wstring& path);

class FrmDirectory final : public DialogWindow, private window::DirectoryPickerView {
  public:
    enum : int { IdLblPath = 101, IdDir, IdDrive, IdCmdMakeDir };

    // Asks for a new directory's name and reports through `services`.
    explicit FrmDirectory(PlatformServices& services);

    const std::string& SelectedDirectory() const { return m_picker.SelectedDirectory(); }
    // The directory open in the list, without a trailing "\" except at a root.
    const std::wstring& Path() const { return m_path; }
    // Opens `directory` in the list; false (nothing changes) when it is no
    // directory. One that cannot be listed opens with no subdirectories.
    bool SetPath(const std::wstring& directory);

  protected:
    void Populate() override;
    void OnCommand(int id, int code, HWND control) override;
    void OnClose() override;

  private:
    bool OpenDirectory(const std::string& directory) override;
    std::string OpenedDirectory() const override;
    void RefreshDirectory() override { Refresh(); }
    void ShowPath(const std::string& nativePath) override;
    void ShowDrive(std::size_t index) override;
    bool IsPlainDirectory(const std::string& path) const override;
    bool MakeDirectory(const std::string& path) override;
    void Close(bool accepted) override;

    bool openList(const std::wstring& directory);
    void Refresh();
    void OpenHighlighted();

    std::vector<std::wstring> m_drives;
    window::DirectoryPicker m_picker;
    std::wstring m_path;
    std::vector<std::wstring> m_entries;  // the full path of each list entry
};

}  // namespace kloxmere::win32
