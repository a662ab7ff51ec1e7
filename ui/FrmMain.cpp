#include "ui/FrmMain.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QResizeEvent>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <algorithm>
#include <array>
#include <functional>

#include "app/Session.h"
#include "base/PlatformServices.h"
#include "catalogue/ListRows.h"
#include "ui/FingerprintPanel.h"
#include "ui/Icons.h"
#include "ui/SplitterBar.h"
#include "ui/Twips.h"
#include "ui/UnitListModel.h"
#include "ui/UnitPanel.h"
#include "ui/UnitTreeModel.h"
#include "ui/modRebar.h"
#include "window/ColumnWidths.h"

namespace kloxmere::ui {

namespace {

// The client area below the menu bar; it tells the window when its size changes.
class InnerArea final : public QWidget {
  public:
    InnerArea(QWidget* parent, std::function<void()> resized)
        : QWidget(parent), m_resized(std::move(resized)) {}

  protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        m_resized();
    }

  private:
    std::function<void()> m_resized;
};

// The toolbar sits at the top of the inner area, above the design positions
// of the controls, which start 420 twips down.
constexpr double kToolbarHeight = 420;

QString text(std::string_view value) {
    return QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size()));
}

}  // namespace

FrmMain::FrmMain(Session& session, StartupOptions options, QWidget* parent)
    : QMainWindow(parent),
      m_session(session),
      m_options(std::move(options)),
      m_presenter(std::make_unique<window::MainPresenter>(
          session, static_cast<window::MainView&>(*this),
          window::StartupOptions{m_options.splash, m_options.scanThreads, m_options.scanCache,
                                 m_options.commandLine, m_options.settings, m_options.programPath,
                                 m_options.timings})) {
    setObjectName("FrmMain");
    setWindowTitle(kApplicationTitle);
    setWindowIcon(ProgramIcon());
    m_inner = new InnerArea(this, [this] { Form_Resize(); });
    m_inner->setObjectName("InnerArea");
    setCentralWidget(m_inner);
    buildMenus();
    buildControls();
    buildToolbar();
    connectControls();
    buildConflictTools();
    resize(ToPixels(kDesignInnerWidth),
           ToPixels(kDesignInnerHeight) + menuBar()->sizeHint().height());
}

// The controls go while the presenter they report to is still there: the
// presenter is a member, and QMainWindow deletes its children only after the
// members are gone.
FrmMain::~FrmMain() {
    m_unitView.reset();
    UnitPic.reset();
    delete m_inner;
}

// The menus from the command table: the items keep the names and captions
// the program always had.
void FrmMain::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName("MenuBar");
    std::array<QMenu*, window::kMenuCount> menus{};
    for (const window::MenuInfo& info : window::kMenus) {
        QMenu* menu = bar->addMenu(text(info.caption));
        menu->setObjectName(text(info.name));
        menus[static_cast<std::size_t>(info.id)] = menu;
    }
    for (const window::MenuLine& line : window::kMenuLines) {
        QMenu* menu = menus[static_cast<std::size_t>(line.menu)];
        switch (line.kind) {
            case window::MenuLineKind::Separator:
                menu->addSeparator()->setObjectName(text(line.name));
                break;
            case window::MenuLineKind::ConflictSubmenu:
                mnuUnitsConflict = menu->addMenu(text(line.caption));
                mnuUnitsConflict->setObjectName(text(line.name));
                break;
            case window::MenuLineKind::Command: {
                const window::CommandInfo& command = window::Command(line.command);
                QAction* action = menu->addAction(text(command.caption));
                action->setObjectName(text(command.name));
                if (!command.shortcut.empty())
                    action->setShortcut(QKeySequence::fromString(text(command.shortcut),
                                                                 QKeySequence::PortableText));
                action->setCheckable(command.checkable);
                action->setChecked(command.checkable);
                action->setEnabled(command.enabledAtStart);
                const window::CommandId id = command.id;
                connect(action, &QAction::triggered, this, [this, id] { m_presenter->Run(id); });
                m_menuItems[static_cast<std::size_t>(id) - 1] = action;
                break;
            }
        }
    }
    using window::CommandId;
    mnuFile = menus[static_cast<std::size_t>(window::MenuId::File)];
    mnuView = menus[static_cast<std::size_t>(window::MenuId::View)];
    mnuSchemas = menus[static_cast<std::size_t>(window::MenuId::Schemas)];
    mnuEdit = menus[static_cast<std::size_t>(window::MenuId::Units)];
    mnuHelp = menus[static_cast<std::size_t>(window::MenuId::Help)];
    mnuEditSetTALocation = menuItem(CommandId::SetTALocation);
    mnuEditSetUnitView = menuItem(CommandId::SetUnitViewerLocation);
    mnuFileSaveHPIListing = menuItem(CommandId::ExportFastLoadList);
    mnuFileExit = menuItem(CommandId::Exit);
    mnuViewHPI = menuItem(CommandId::ViewCavedog);
    mnuViewUFO = menuItem(CommandId::ViewThirdParty);
    mnuUnitsGroups = menuItem(CommandId::EditUnitGroups);
    mnuSchemasImport = menuItem(CommandId::ImportSchema);
    mnuSchemasExport = menuItem(CommandId::ExportSchema);
    mnuEditEnableGroup = menuItem(CommandId::EnableGroup);
    mnuEditDisableGroup = menuItem(CommandId::DisableGroup);
    mnuUnitsEnable = menuItem(CommandId::SwitchUnit);
    mnuUnitsUndo = menuItem(CommandId::UndoSwitch);
    mnuViewUnitViewer = menuItem(CommandId::ExportToUnitViewer);
    mnuHelpAbout = menuItem(CommandId::About);
    connect(mnuEdit, &QMenu::aboutToShow, this, [this] { m_presenter->UnitsMenuOpening(); });
}

QAction* FrmMain::menuItem(window::CommandId command) const {
    const auto index = static_cast<std::size_t>(command) - 1;
    return index < m_menuItems.size() ? m_menuItems[index] : nullptr;
}

void FrmMain::buildControls() {
    TreeUnits = new QTreeView(m_inner);
    TreeUnits->setObjectName("TreeUnits");
    TreeUnits->setAccessibleName("Sides, classes and unit groups");
    TreeUnits->setHeaderHidden(true);
    TreeUnits->setSelectionMode(QAbstractItemView::SingleSelection);
    TreeUnits->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeUnits->setIconSize(QSize(16, 16));
    m_treeModel = new UnitTreeModel(this);
    TreeUnits->setModel(m_treeModel);

    TabView = new QTabBar(m_inner);
    TabView->setObjectName("TabView");
    TabView->setAccessibleName("List contents");
    TabView->setDrawBase(false);
    TabView->setExpanding(false);
    for (std::string_view caption : kTabCaptions) {
        TabView->addTab(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
    }

    ListUnits = new QTreeView(m_inner);
    ListUnits->setObjectName("ListUnits");
    ListUnits->setAccessibleName("Units, conflicts and weapons");
    ListUnits->setRootIsDecorated(false);
    ListUnits->setItemsExpandable(false);
    ListUnits->setUniformRowHeights(true);
    ListUnits->setAllColumnsShowFocus(true);
    ListUnits->setSelectionMode(QAbstractItemView::SingleSelection);
    ListUnits->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListUnits->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListUnits->setTextElideMode(Qt::ElideRight);
    ListUnits->setIconSize(QSize(16, 16));
    ListUnits->header()->setSectionsClickable(true);
    ListUnits->header()->setSectionsMovable(false);
    ListUnits->header()->setStretchLastSection(false);
    ListUnits->header()->setSortIndicatorShown(false);
    ListUnits->header()->setMinimumSectionSize(ToPixels(150));
    m_listModel = new UnitListModel(m_presenter->list(), this);
    ListUnits->setModel(m_listModel);

    PicView = new UnitPanel(m_inner);
    PicView->setAccessibleName("Unit panel");

    PicSplitter = new SplitterBar(m_inner);

    Status = new QStatusBar(m_inner);
    Status->setObjectName("Status");
    Status->setAccessibleName("Status");
    Status->setSizeGripEnabled(false);
    StatusPanel1 = new QLabel("Ready", Status);
    StatusPanel1->setObjectName("StatusPanel1");
    StatusPanel2 = new QLabel(Status);
    StatusPanel2->setObjectName("StatusPanel2");
    // Read out by the unit's name it shows; what the panel is comes as its description.
    StatusPanel2->setAccessibleDescription("Current unit");
    StatusPanel2->setMinimumWidth(ToPixels(1800));
    Status->addWidget(StatusPanel1, 1);
    Status->addPermanentWidget(StatusPanel2);
    Fingerprint = new FingerprintPanel(m_session.catalogue, Status);
    Status->addPermanentWidget(Fingerprint);
}

void FrmMain::buildToolbar() {
    Toolbar = new QToolBar(m_inner);
    Toolbar->setObjectName("Toolbar");
    Toolbar->setAccessibleName("Toolbar");
    Toolbar->setIconSize(QSize(16, 16));
    Toolbar->setMovable(false);
    Toolbar->setFloatable(false);
    for (const window::ToolbarSlot& slot : window::kToolbarSlots) {
        if (!slot.command) {
            Toolbar->addSeparator();
            continue;
        }
        const window::CommandInfo& command = window::Command(*slot.command);
        const QString key = text(command.toolbarKey);
        const QString tooltip = text(command.tooltip);
        QAction* button = Toolbar->addAction(ToolbarImage(command.toolbarImage), tooltip);
        button->setObjectName(key);
        button->setToolTip(tooltip);
        button->setCheckable(command.checkable);
        button->setChecked(command.checkable);
        connect(button, &QAction::triggered, this, [this, key] { Toolbar_ButtonClick(key); });
        m_toolbarButtons.emplace(key, button);
        // Raised until the flat look is given at start-up.
        if (auto* tool = qobject_cast<QToolButton*>(Toolbar->widgetForAction(button))) {
            tool->setObjectName("Toolbar." + key);
            tool->setAccessibleName(tooltip);
            tool->setAutoRaise(false);
        }
    }
}

// Names the toolbar's overflow button, which Qt adds without a caption.
static void nameToolbarOverflow(QToolBar* toolbar) {
    for (QToolButton* button : toolbar->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly)) {
        if (button->objectName() == "qt_toolbar_ext_button")
            button->setAccessibleName("More tools");
    }
}

void FrmMain::connectControls() {
    nameToolbarOverflow(Toolbar);
    connect(TabView, &QTabBar::currentChanged, this, &FrmMain::TabView_Click);
    connect(TreeUnits, &QTreeView::clicked, this, &FrmMain::TreeUnits_Click);
    connect(TreeUnits->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &FrmMain::TreeUnits_Click);
    connect(ListUnits->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) {
                    ListUnits_ItemClick(current.row());
                } else {
                    m_presenter->ListRowCleared();
                }
            });
    connect(ListUnits, &QTreeView::doubleClicked, this, &FrmMain::ListUnits_DblClick);
    connect(ListUnits->header(), &QHeaderView::sectionClicked, this,
            [this](int section) { ListUnits_ColumnClick(section + 1); });
    connect(PicSplitter, &SplitterBar::mouseDown, this, &FrmMain::PicSplitter_MouseDown);
    connect(PicSplitter, &SplitterBar::mouseMove, this, &FrmMain::PicSplitter_MouseMove);
    connect(PicSplitter, &SplitterBar::mouseUp, this, &FrmMain::PicSplitter_MouseUp);
}

QAction* FrmMain::toolbarButton(const QString& key) const {
    auto found = m_toolbarButtons.find(key);
    return found == m_toolbarButtons.end() ? nullptr : found->second;
}

window::InnerMetrics FrmMain::LayOutBars() {
    const int width = m_inner->width();
    const int statusPixels = Status->sizeHint().height();
    Toolbar->setGeometry(0, 0, width, ToPixels(kToolbarHeight));
    Status->setGeometry(0, m_inner->height() - statusPixels, width, statusPixels);
    return {ToTwips(m_inner->width()), ToTwips(m_inner->height()), ToTwips(Status->height()),
            ToTwips(PicView->frameWidth())};
}

void FrmMain::Form_Resize() {
    m_presenter->Resized();
}

void FrmMain::ApplyLayout(const MainLayout& layout) {
    auto place = [](QWidget* widget, const TwipsBox& box, QPoint offset = {}) {
        widget->setGeometry(TwipsRect(box.left, box.top, box.width, box.height).translated(offset));
    };
    place(TreeUnits, layout.TreeUnits);
    place(PicSplitter, layout.PicSplitter);
    place(TabView, layout.TabView);
    place(ListUnits, layout.ListUnits);
    place(PicView, layout.PicView);
    const QPoint inside(PicView->frameWidth(), PicView->frameWidth());
    place(PicView->LblUnitname, layout.LblUnitname, inside);
    place(PicView->PicUnit, layout.PicUnit, inside);
    place(PicView->Label1, layout.Label1, inside);
    // The caption keeps its design place but is never cut by the font in use.
    PicView->Label1->resize(std::max(PicView->Label1->width(), PicView->Label1->sizeHint().width()),
                            PicView->Label1->height());
    place(PicView->LstWeapons, layout.LstWeapons, inside);
    placeListExtras();
    PicSplitter->raise();
}

void FrmMain::SetSplitterDragging(bool dragging) {
    PicSplitter->setDragColour(dragging);
}

void FrmMain::PicSplitter_MouseDown(int button, double x) {
    m_presenter->SplitterMouseDown(button, x);
}

void FrmMain::PicSplitter_MouseMove(int button, double x) {
    m_presenter->SplitterMouseMove(button, x);
}

void FrmMain::PicSplitter_MouseUp(int button, double x) {
    m_presenter->SplitterMouseUp(button, x);
}

void FrmMain::InitializeControls() {
    PicSplitter->setDragColourValue(QColor(128, 128, 128));
    FlatToolbar(Toolbar);
}

void FrmMain::CheckCommand(window::CommandId id, bool checked) {
    if (QAction* item = menuItem(id)) item->setChecked(checked);
    if (QAction* button = toolbarButton(text(window::Command(id).toolbarKey)))
        button->setChecked(checked);
}

void FrmMain::EnableCommand(window::CommandId id, bool enabled) {
    if (QAction* item = menuItem(id)) item->setEnabled(enabled);
    if (QAction* button = toolbarButton(text(window::Command(id).toolbarKey)))
        button->setEnabled(enabled);
}

void FrmMain::SetCommandCaption(window::CommandId id, const std::string& caption) {
    if (QAction* item = menuItem(id)) item->setText(QString::fromStdString(caption));
}

void FrmMain::SetListColumns(const std::vector<Column>& columns) {
    const QFontMetrics metrics(ListUnits->font());
    const int charWidth = std::max(metrics.averageCharWidth(), metrics.horizontalAdvance('0'));
    // An item view's text keeps the focus frame's margin and one pixel clear on each side.
    const int margins =
        2 * (ListUnits->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, ListUnits) + 1);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        ListUnits->header()->resizeSection(
            static_cast<int>(i), window::ColumnPixels(columns[i].widthTwips, charWidth, margins));
    }
}

}  // namespace kloxmere::ui
