#pragma once

// "Edit Unit Groups": the modal window in which the user adds and deletes
// unit groups and edits each group's filename keywords. It edits GroupList
// itself: every change takes effect at once, there is no cancel, and the
// groups reach unitgroups.dat when the program shuts down. When the window
// closes (by OK or by its close box) it says so, and the main window rebuilds
// its tree.

#include <QDialog>

#include "base/Collection.h"
#include "window/GroupEditor.h"

class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace kloxmere {
class PlatformServices;
struct clsUnitGroup;
}  // namespace kloxmere

namespace kloxmere::ui {

class FrmGroups final : public QDialog, private window::GroupEditorView {
    Q_OBJECT
  public:
    // `services` asks for the names and keywords (its input box).
    FrmGroups(Collection<clsUnitGroup>& GroupList, PlatformServices& services,
              QWidget* owner = nullptr);

    // Controls, by their names.
    QGroupBox* Frame1;
    QListWidget* LstGroups;
    QPushButton* CmdAdd;
    QPushButton* CmdDelete;
    QLabel* Label1;
    QListWidget* LstKeywords;
    QPushButton* CmdAddKeyword;
    QPushButton* CmdDeleteKeyword;
    QPushButton* CmdOK;

    void Form_Load();
    void LstGroups_Click();
    void CmdAdd_Click();
    void CmdDelete_Click();
    void CmdAddKeyword_Click();
    void CmdDeleteKeyword_Click();
    void CmdOK_Click();

    // Every way of closing the window ends here.
    void done(int result) override;

  signals:
    // The window closed: the groups may have changed.
    void unloaded();

  private:
    // window::GroupEditorView
    void ShowGroups(const std::vector<std::string>& names) override;
    void ShowKeywords(const std::vector<std::string>& keywords) override;
    std::optional<std::string> SelectedGroup() const override;
    std::optional<std::size_t> SelectedKeyword() const override;

    void Form_Unload();

    window::GroupEditor m_editor;  // the editor's rules
    bool m_unloaded = false;
};

}  // namespace kloxmere::ui
