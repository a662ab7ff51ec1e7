#pragma once

// The directory picker "Select a directory": the open directory's path, the
// directory list, the drive list, and OK, Cancel and Create. Shown modally;
// its result is SelectedDirectory(). Questions and messages go through the
// platform services, so tests can answer them.

#include <QDialog>
#include <string>

#include "ui/DirectoryList.h"
#include "window/DirectoryPicker.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace kloxmere {
class PlatformServices;
}

namespace kloxmere::ui {

class FrmDirectory : public QDialog, private window::DirectoryPickerView {
    Q_OBJECT
  public:
    // Opens on `startDirectory` (the current directory by default) and offers
    // `drives`; `services` asks for a new directory's name and shows errors.
    explicit FrmDirectory(PlatformServices& services, QWidget* parent = nullptr,
                          const QString& startDirectory = QString(),
                          QList<DriveEntry> drives = SystemDrives());

    QLabel* LblPath;
    DirectoryList* Dir;
    QComboBox* Drive;
    QPushButton* CmdOk;
    QPushButton* CmdCancel;
    QPushButton* CmdMakeDir;

    // "" until OK; then the chosen directory, ending in the native separator.
    const std::string& SelectedDirectory() const { return m_picker.SelectedDirectory(); }

  public slots:
    void CmdOk_Click();
    void CmdCancel_Click();
    void CmdMakeDir_Click();
    void Drive_Change(int index);
    void Dir_Change();

  protected:
    void reject() override;  // the close box and Escape cancel
    void showEvent(QShowEvent* event) override;

  private:
    // window::DirectoryPickerView
    bool OpenDirectory(const std::string& directory) override;
    std::string OpenedDirectory() const override;
    void RefreshDirectory() override;
    void ShowPath(const std::string& nativePath) override;
    void ShowDrive(std::size_t index) override;
    bool IsPlainDirectory(const std::string& path) const override;
    bool MakeDirectory(const std::string& path) override;
    void Close(bool accepted) override;

    window::DirectoryPicker m_picker;  // the picker's rules
};

}  // namespace kloxmere::ui
