#pragma once

// The directory picker's rules, free of any widget: where it opens, which
// drive shows for the open directory, the directory each drive last had
// open, a drive that cannot be read, OK, Cancel and Create. The window
// shows the drive list, the directory list and the path (DirectoryPickerView);
// questions and messages go through the platform services.

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace kloxmere {
class PlatformServices;
}

namespace kloxmere::window {

struct PickerDrive {
    std::string label;  // as the drive list shows it
    std::string root;   // its root directory, "/" separators ("/", "C:/")
};

// `path` with "/" separators, without "." and ".." steps or doubled
// separators, and without a trailing separator except at a root.
std::string CleanPickerPath(std::string_view path);

// The index in `drives` of the drive that holds `path` (the longest root that
// contains it), or -1. Letters compare without regard to case on Windows.
int DriveIndexFor(const std::vector<PickerDrive>& drives, std::string_view path);

// `path` with the platform's separators ("\" on Windows).
std::string NativePickerPath(std::string_view path);

class DirectoryPickerView {
  public:
    virtual ~DirectoryPickerView() = default;
    // Opens `directory` in the directory list; false (nothing changes) when
    // it is not a directory. The window tells DirectoryChanged when it did.
    virtual bool OpenDirectory(const std::string& directory) = 0;
    // The open directory, "/" separators.
    virtual std::string OpenedDirectory() const = 0;
    // Lists the open directory again.
    virtual void RefreshDirectory() = 0;
    virtual void ShowPath(const std::string& nativePath) = 0;
    virtual void ShowDrive(std::size_t index) = 0;
    // Whether `path` is a directory with no attribute but the directory one
    // (on Linux: writable, not hidden, not a symbolic link).
    virtual bool IsPlainDirectory(const std::string& path) const = 0;
    // Makes the directory `path`; false when it could not be made.
    virtual bool MakeDirectory(const std::string& path) = 0;
    // Ends the picker, with OK or not.
    virtual void Close(bool accepted) = 0;
};

class DirectoryPicker {
  public:
    DirectoryPicker(PlatformServices& services, DirectoryPickerView& view,
                    std::vector<PickerDrive> drives);

    const std::vector<PickerDrive>& drives() const { return m_drives; }

    // Opens `startDirectory`; when it cannot be opened, the root of its
    // drive, or failing that the first drive that opens, or `lastResort`.
    void Start(const std::string& startDirectory, const std::string& lastResort);
    // The directory list opened another directory.
    void DirectoryChanged();
    // The drive list's entry `index` was chosen.
    void DriveChosen(int index);
    void Ok();
    void Cancel();
    // Create: asks for a name and makes the directory in the open one.
    void MakeDirectory();

    // "" until OK; then the chosen directory, ending in the native separator.
    const std::string& SelectedDirectory() const { return m_selectedDirectory; }

  private:
    void showDriveOf(const std::string& path);

    PlatformServices& m_services;
    DirectoryPickerView& m_view;
    std::vector<PickerDrive> m_drives;
    std::map<std::string, std::string> m_driveDirectory;  // each drive's last open directory
    std::string m_shownPath;                              // native
    std::string m_selectedDirectory;
};

}  // namespace kloxmere::window
