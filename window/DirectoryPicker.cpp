#include "window/DirectoryPicker.h"

#include <algorithm>
#include <cctype>

#include "base/PlatformServices.h"

namespace kloxmere::window {

namespace {

#ifdef _WIN32
constexpr bool kCaseInsensitivePaths = true;
constexpr char kNativeSeparator = '\\';
#else
constexpr bool kCaseInsensitivePaths = false;
constexpr char kNativeSeparator = '/';
#endif

bool startsWith(std::string_view text, std::string_view start) {
    if (text.size() < start.size()) return false;
    for (std::size_t i = 0; i < start.size(); ++i) {
        char a = text[i], b = start[i];
        if (kCaseInsensitivePaths) {
            a = static_cast<char>(std::tolower(static_cast<unsigned char>(a)));
            b = static_cast<char>(std::tolower(static_cast<unsigned char>(b)));
        }
        if (a != b) return false;
    }
    return true;
}

bool contains(const std::string& root, const std::string& path) {
    if (!startsWith(path, root)) return false;
    return (!root.empty() && root.back() == '/') || path.size() == root.size() ||
           path[root.size()] == '/';
}

}  // namespace

std::string CleanPickerPath(std::string_view path) {
    std::string text(path);
    std::replace(text.begin(), text.end(), '\\', '/');
    // The root part: "/", "C:/", "C:" or nothing (a relative path).
    std::string root;
    std::size_t at = 0;
    if (text.size() >= 2 && text[1] == ':' && std::isalpha(static_cast<unsigned char>(text[0]))) {
        root = text.substr(0, 2);
        at = 2;
    }
    if (at < text.size() && text[at] == '/') {
        root += '/';
        ++at;
    }
    std::vector<std::string> steps;
    while (at <= text.size()) {
        const std::size_t end = std::min(text.find('/', at), text.size());
        const std::string step = text.substr(at, end - at);
        if (step == "..") {
            if (!steps.empty() && steps.back() != "..") {
                steps.pop_back();
            } else if (root.empty()) {
                steps.push_back(step);  // a relative path keeps its leading ".."
            }
        } else if (!step.empty() && step != ".") {
            steps.push_back(step);
        }
        at = end + 1;
    }
    std::string clean = root;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        if (i > 0) clean += '/';
        clean += steps[i];
    }
    return clean.empty() ? "." : clean;
}

int DriveIndexFor(const std::vector<PickerDrive>& drives, std::string_view path) {
    const std::string clean = CleanPickerPath(path);
    int best = -1;
    for (std::size_t i = 0; i < drives.size(); ++i) {
        const std::string root = CleanPickerPath(drives[i].root);
        if (contains(root, clean) &&
            (best < 0 || root.size() > drives[static_cast<std::size_t>(best)].root.size()))
            best = static_cast<int>(i);
    }
    return best;
}

std::string NativePickerPath(std::string_view path) {
    std::string native(path);
    std::replace(native.begin(), native.end(), '/', kNativeSeparator);
    return native;
}

DirectoryPicker::DirectoryPicker(PlatformServices& services, DirectoryPickerView& view,
                                 std::vector<PickerDrive> drives)
    : m_services(services), m_view(view), m_drives(std::move(drives)) {}

void DirectoryPicker::Start(const std::string& startDirectory, const std::string& lastResort) {
    m_selectedDirectory.clear();
    std::vector<std::string> candidates{startDirectory};
    const int drive = DriveIndexFor(m_drives, startDirectory);
    if (drive >= 0) candidates.push_back(m_drives[static_cast<std::size_t>(drive)].root);
    for (const PickerDrive& entry : m_drives) candidates.push_back(entry.root);
    candidates.push_back(lastResort);
    for (const std::string& candidate : candidates) {
        if (m_view.OpenDirectory(candidate)) break;
    }
    showDriveOf(m_view.OpenedDirectory());
    DirectoryChanged();
}

void DirectoryPicker::showDriveOf(const std::string& path) {
    const int index = DriveIndexFor(m_drives, path);
    if (index >= 0) m_view.ShowDrive(static_cast<std::size_t>(index));
}

void DirectoryPicker::DirectoryChanged() {
    const std::string opened = m_view.OpenedDirectory();
    m_shownPath = NativePickerPath(opened);
    m_view.ShowPath(m_shownPath);
    const int drive = DriveIndexFor(m_drives, opened);
    if (drive >= 0) m_driveDirectory[m_drives[static_cast<std::size_t>(drive)].root] = opened;
}

void DirectoryPicker::DriveChosen(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= m_drives.size()) return;
    const PickerDrive& drive = m_drives[static_cast<std::size_t>(index)];
    if (DriveIndexFor(m_drives, m_view.OpenedDirectory()) == index) return;
    const auto remembered = m_driveDirectory.find(drive.root);
    const std::string directory =
        remembered == m_driveDirectory.end() ? drive.root : remembered->second;
    if (m_view.OpenDirectory(directory) || m_view.OpenDirectory(drive.root)) return;
    // A drive that cannot be read (an empty removable drive, a volume gone):
    // say so and stay where the list was, so that it remains usable.
    m_services.ShowMessage("The drive " + drive.label + " cannot be read.", "Dir Error",
                           MessageIcon::Exclamation);
    showDriveOf(m_view.OpenedDirectory());
}

void DirectoryPicker::Ok() {
    std::string path = m_shownPath;
    if (path.empty()) return;
    if (path.back() != kNativeSeparator) path += kNativeSeparator;
    m_selectedDirectory = path;
    m_view.Close(true);
}

void DirectoryPicker::Cancel() {
    m_selectedDirectory.clear();
    m_view.Close(false);
}

void DirectoryPicker::MakeDirectory() {
    const std::string answer = m_services.InputBox("Enter the name of a new directory", "New Dir");
    if (answer.empty()) return;
    std::string path = NativePickerPath(m_view.OpenedDirectory());
    if (path.empty() || path.back() != kNativeSeparator) path += kNativeSeparator;
    path += answer;
    if (m_view.IsPlainDirectory(path)) {
        m_services.ShowMessage("Directory already exists.", "Dir Error", MessageIcon::None);
        return;
    }
    // A directory that cannot be made is passed over silently; one that
    // exists with other attributes (read-only, hidden) is opened.
    m_view.MakeDirectory(path);
    if (!m_view.OpenDirectory(path)) m_view.RefreshDirectory();
}

}  // namespace kloxmere::window
