// The directory picker's rules against a fake directory list over a set of
// directories held in memory.

#include <gtest/gtest.h>

#include <set>

#include "tests/support/RecordingServices.h"
#include "window/DirectoryPicker.h"

using namespace kloxmere;
using namespace kloxmere::window;
using kloxmere::test::RecordingServices;

namespace {

class FakeDirectories final : public DirectoryPickerView {
  public:
    std::set<std::string> directories;  // "/" separators
    std::set<std::string> hidden;       // directories, not plain ones
    DirectoryPicker* picker = nullptr;
    std::string opened;
    std::string shownPath;
    std::optional<std::size_t> shownDrive;
    std::optional<bool> closed;
    int refreshes = 0;

    bool OpenDirectory(const std::string& directory) override {
        const std::string clean = CleanPickerPath(directory);
        if (!directories.count(clean)) return false;
        opened = clean;
        if (picker) picker->DirectoryChanged();
        return true;
    }
    std::string OpenedDirectory() const override { return opened; }
    void RefreshDirectory() override { ++refreshes; }
    void ShowPath(const std::string& nativePath) override { shownPath = nativePath; }
    void ShowDrive(std::size_t index) override { shownDrive = index; }
    bool IsPlainDirectory(const std::string& path) const override {
        const std::string clean = CleanPickerPath(path);
        return directories.count(clean) && !hidden.count(clean);
    }
    bool MakeDirectory(const std::string& path) override {
        return directories.insert(CleanPickerPath(path)).second;
    }
    void Close(bool accepted) override { closed = accepted; }
};

struct Picker {
    RecordingServices services;
    FakeDirectories view;
    DirectoryPicker picker{
        services, view, {{"/", "/"}, {"/media/usb [STICK]", "/media/usb"}, {"/mnt/cd", "/mnt/cd"}}};

    Picker() {
        view.directories = {"/", "/games", "/games/ta", "/media/usb", "/media/usb/maps", "/tmp"};
        view.picker = &picker;
    }
};

std::string native(const std::string& path) {
    return NativePickerPath(path);
}

}  // namespace

TEST(WindowDirectoryPicker, PathsAreCleanedAndTheLongestContainingRootIsTheDrive) {
    EXPECT_EQ(CleanPickerPath("/games//ta/./maps/../"), "/games/ta");
    EXPECT_EQ(CleanPickerPath("/"), "/");
    EXPECT_EQ(CleanPickerPath("/.."), "/");
    EXPECT_EQ(CleanPickerPath("C:\\Games\\TA\\"), "C:/Games/TA");
    EXPECT_EQ(CleanPickerPath("C:\\"), "C:/");
    EXPECT_EQ(CleanPickerPath("../x"), "../x");
    EXPECT_EQ(CleanPickerPath(""), ".");

    const std::vector<PickerDrive> drives{{"/", "/"}, {"usb", "/media/usb"}};
    EXPECT_EQ(DriveIndexFor(drives, "/media/usb/maps"), 1);
    EXPECT_EQ(DriveIndexFor(drives, "/media/usb"), 1);
    EXPECT_EQ(DriveIndexFor(drives, "/media/usb2"), 0);  // a root ends at a separator
    EXPECT_EQ(DriveIndexFor(drives, "/media/usb/../x"), 0);
    EXPECT_EQ(DriveIndexFor({{"usb", "/media/usb"}}, "/games"), -1);
}

TEST(WindowDirectoryPicker, OpensWhereItCanAndRemembersEachDrivesDirectory) {
    Picker p;
    p.picker.Start("/games/ta", "/");
    EXPECT_EQ(p.view.opened, "/games/ta");
    EXPECT_EQ(p.view.shownPath, native("/games/ta"));
    EXPECT_EQ(p.view.shownDrive, 0u);

    Picker gone;  // a start directory that is gone: its drive's root
    gone.picker.Start("/media/usb/gone", "/");
    EXPECT_EQ(gone.view.opened, "/media/usb");
    EXPECT_EQ(gone.view.shownDrive, 1u);

    p.picker.DriveChosen(1);
    EXPECT_EQ(p.view.opened, "/media/usb");
    EXPECT_TRUE(p.view.OpenDirectory("/media/usb/maps"));
    p.picker.DriveChosen(0);
    EXPECT_EQ(p.view.opened, "/games/ta");  // where the drive was left
    p.picker.DriveChosen(1);
    EXPECT_EQ(p.view.opened, "/media/usb/maps");
    p.picker.DriveChosen(1);  // the drive shown: nothing
    p.picker.DriveChosen(7);  // no such drive: nothing
    EXPECT_EQ(p.view.opened, "/media/usb/maps");
    EXPECT_TRUE(p.services.messages.empty());

    // A drive that cannot be read is said so and the list stays where it was.
    p.picker.DriveChosen(2);
    ASSERT_EQ(p.services.messages.size(), 1u);
    EXPECT_EQ(p.services.messages[0].text, "The drive /mnt/cd cannot be read.");
    EXPECT_EQ(p.services.messages[0].title, "Dir Error");
    EXPECT_EQ(p.view.opened, "/media/usb/maps");
    EXPECT_EQ(p.view.shownDrive, 1u);
}

TEST(WindowDirectoryPicker, OkGivesTheDirectoryWithASeparatorAndCancelNothing) {
    Picker p;
    p.picker.Start("/games/ta", "/");
    p.picker.Ok();
    EXPECT_EQ(p.view.closed, true);
    EXPECT_EQ(p.picker.SelectedDirectory(), native("/games/ta/"));
    EXPECT_TRUE(p.view.OpenDirectory("/"));
    p.picker.Ok();  // a root has its separator already
    EXPECT_EQ(p.picker.SelectedDirectory(), native("/"));
    p.picker.Cancel();
    EXPECT_EQ(p.view.closed, false);
    EXPECT_EQ(p.picker.SelectedDirectory(), "");
}

TEST(WindowDirectoryPicker, CreateMakesAndOpensANewDirectoryAndRefusesAnExistingOne) {
    Picker p;
    p.picker.Start("/games", "/");
    p.picker.MakeDirectory();  // no name given: nothing
    EXPECT_EQ(p.view.directories.size(), 6u);

    p.services.inputAnswers = {"ta"};
    p.picker.MakeDirectory();
    ASSERT_EQ(p.services.messages.size(), 1u);
    EXPECT_EQ(p.services.messages[0].text, "Directory already exists.");
    EXPECT_EQ(p.view.opened, "/games");

    p.services.inputAnswers = {"mods"};
    p.picker.MakeDirectory();
    EXPECT_EQ(p.view.opened, "/games/mods");
    EXPECT_EQ(p.view.shownPath, native("/games/mods"));

    // One that exists but is not a plain directory is opened, not made again.
    p.view.directories.insert("/games/mods/.cache");
    p.view.hidden.insert("/games/mods/.cache");
    p.services.inputAnswers = {".cache"};
    p.picker.MakeDirectory();
    EXPECT_EQ(p.view.opened, "/games/mods/.cache");
    EXPECT_EQ(p.services.messages.size(), 1u);
}
