#include "ui/FrmGroups.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <algorithm>

#include "base/PlatformServices.h"
#include "ui/Twips.h"

namespace kloxmere::ui {

namespace {

// The window's inner area, in twips.
constexpr double kInnerWidth = 4785;
constexpr double kInnerHeight = 3930;

template <class Widget>
Widget* place(Widget* widget, const char* name, double left, double top, double width,
              double height) {
    widget->setObjectName(name);
    widget->setGeometry(TwipsRect(left, top, width, height));
    return widget;
}

}  // namespace

FrmGroups::FrmGroups(Collection<clsUnitGroup>& GroupList, PlatformServices& services,
                     QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint),
      m_editor(GroupList, services, *this) {
    setObjectName("FrmGroups");
    setWindowTitle("Edit Unit Groups");
    setModal(true);
    setFixedSize(TwipsRect(0, 0, kInnerWidth, kInnerHeight).size());

    // Positions inside the frame are relative to the frame.
    Frame1 = place(new QGroupBox("Groups", this), "Frame1", 180, 180, 4395, 3075);
    LstGroups = place(new QListWidget(Frame1), "LstGroups", 180, 360, 3075, 1230);
    LstGroups->setAccessibleName("Groups");
    CmdAdd = place(new QPushButton("&Add...", Frame1), "CmdAdd", 3360, 360, 855, 375);
    CmdDelete = place(new QPushButton("&Delete", Frame1), "CmdDelete", 3360, 840, 855, 375);
    Label1 = place(new QLabel("Filename keywords", Frame1), "Label1", 180, 1740, 1635, 255);
    LstKeywords = place(new QListWidget(Frame1), "LstKeywords", 180, 2040, 3075, 840);
    LstKeywords->setAccessibleName("Filename keywords");
    Label1->setBuddy(LstKeywords);
    // The caption keeps its design place but is never cut by the font in use.
    Label1->resize(std::max(Label1->width(), Label1->sizeHint().width()), Label1->height());
    CmdAddKeyword = place(new QPushButton("Add...", Frame1), "CmdAddKeyword", 3360, 2040, 855, 375);
    CmdDeleteKeyword =
        place(new QPushButton("Delete", Frame1), "CmdDeleteKeyword", 3360, 2520, 855, 375);
    CmdOK = place(new QPushButton("OK", this), "CmdOK", 3540, 3420, 1035, 375);

    // Frame1 and Label1 take no focus; the others follow in this order.
    QWidget::setTabOrder(LstGroups, CmdDelete);
    QWidget::setTabOrder(CmdDelete, CmdOK);
    QWidget::setTabOrder(CmdOK, CmdAdd);
    QWidget::setTabOrder(CmdAdd, LstKeywords);
    QWidget::setTabOrder(LstKeywords, CmdAddKeyword);
    QWidget::setTabOrder(CmdAddKeyword, CmdDeleteKeyword);

    // A mouse press moves the current row before it selects the row, so the
    // keyword list follows the selection itself, whatever changed it.
    connect(LstGroups, &QListWidget::itemSelectionChanged, this, &FrmGroups::LstGroups_Click);
    connect(CmdAdd, &QPushButton::clicked, this, &FrmGroups::CmdAdd_Click);
    connect(CmdDelete, &QPushButton::clicked, this, &FrmGroups::CmdDelete_Click);
    connect(CmdAddKeyword, &QPushButton::clicked, this, &FrmGroups::CmdAddKeyword_Click);
    connect(CmdDeleteKeyword, &QPushButton::clicked, this, &FrmGroups::CmdDeleteKeyword_Click);
    connect(CmdOK, &QPushButton::clicked, this, &FrmGroups::CmdOK_Click);

    Form_Load();
}

void FrmGroups::Form_Load() {
    m_editor.Load();
}

void FrmGroups::LstGroups_Click() {
    m_editor.GroupSelected();
}

void FrmGroups::CmdAdd_Click() {
    m_editor.AddGroup();
}

void FrmGroups::CmdDelete_Click() {
    m_editor.DeleteGroup();
}

void FrmGroups::CmdAddKeyword_Click() {
    m_editor.AddKeyword();
}

void FrmGroups::CmdDeleteKeyword_Click() {
    m_editor.DeleteKeyword();
}

void FrmGroups::CmdOK_Click() {
    close();
}

void FrmGroups::done(int result) {
    Form_Unload();
    QDialog::done(result);
}

void FrmGroups::Form_Unload() {
    if (m_unloaded) return;
    m_unloaded = true;
    emit unloaded();
}

void FrmGroups::ShowGroups(const std::vector<std::string>& names) {
    const QSignalBlocker quiet(LstGroups);
    LstGroups->clear();
    for (const std::string& name : names) LstGroups->addItem(QString::fromStdString(name));
    if (LstGroups->count() > 0) LstGroups->setCurrentRow(0);
}

void FrmGroups::ShowKeywords(const std::vector<std::string>& keywords) {
    LstKeywords->clear();
    for (const std::string& keyword : keywords)
        LstKeywords->addItem(QString::fromStdString(keyword));
}

std::optional<std::string> FrmGroups::SelectedGroup() const {
    const QList<QListWidgetItem*> selected = LstGroups->selectedItems();
    if (selected.isEmpty()) return std::nullopt;
    return selected.front()->text().toStdString();
}

std::optional<std::size_t> FrmGroups::SelectedKeyword() const {
    const QList<QListWidgetItem*> selected = LstKeywords->selectedItems();
    if (selected.isEmpty()) return std::nullopt;
    return static_cast<std::size_t>(LstKeywords->row(selected.front()));
}

}  // namespace kloxmere::ui
