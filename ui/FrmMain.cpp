#include "ui/FrmMain.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QResizeEvent>
#include <QStatusBar>
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
#include "ui/ColumnWidths.h"
#include "ui/FingerprintPanel.h"
#include "ui/Icons.h"
#include "ui/SplitterBar.h"
#include "ui/Twips.h"
#include "ui/UnitListModel.h"
#include "ui/UnitPanel.h"
#include "ui/UnitTreeModel.h"
#include "ui/modRebar.h"

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

struct ToolbarEntry {
    const char* key;  // nullptr: a separator
    const char* tooltip;
    int image;
    bool check;
};

// The toolbar, left to right.
constexpr std::array<ToolbarEntry, 15> kToolbar = {{
    {nullptr, nullptr, 0, false},
    {"open", "Import Unit Schema", 1, false},
    {"save", "Export Unit Schema", 2, false},
    {nullptr, nullptr, 0, false},
    {"ta", "Launch TA", 3, false},
    {"unitview", "Export to Unit Viewer", 4, false},
    {nullptr, nullptr, 0, false},
    {"cavedog", "View Cavedog units", 5, true},
    {"thirdparty", "View 3rd party units", 6, true},
    {nullptr, nullptr, 0, false},
    {"editgroups", "Edit groups", 7, false},
    {nullptr, nullptr, 0, false},
    {"enablegroup", "Enable group", 8, false},
    {"disablegroup", "Disable group", 9, false},
    {"unit", "Disable unit", 10, false},
}};

// The toolbar sits at the top of the inner area, above the design positions
// of the controls, which start 420 twips down.
constexpr double kToolbarHeight = 420;

QAction* menuItem(QMenu* menu, const char* name, const char* caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

void separator(QMenu* menu, const char* name) {
    menu->addSeparator()->setObjectName(name);
}

}  // namespace

FrmMain::FrmMain(Session& session, StartupOptions options, QWidget* parent)
    : QMainWindow(parent), m_session(session), m_options(std::move(options)) {
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

FrmMain::~FrmMain() = default;

void FrmMain::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName("MenuBar");
    mnuFile = bar->addMenu("&File");
    mnuFile->setObjectName("mnuFile");
    mnuEditSetTALocation = menuItem(mnuFile, "mnuEditSetTALocation", "Set &TA Location...");
    mnuEditSetUnitView = menuItem(mnuFile, "mnuEditSetUnitView", "&Set Unit Viewer Location...");
    separator(mnuFile, "mnuFileBreak1");
    mnuFileSaveHPIListing =
        menuItem(mnuFile, "mnuFileSaveHPIListing", "&Export Fast-Load Unit List...");
    separator(mnuFile, "mnuFileBreak2");
    mnuFileExit = menuItem(mnuFile, "mnuFileExit", "E&xit");

    mnuView = bar->addMenu("&View");
    mnuView->setObjectName("mnuView");
    mnuViewHPI = menuItem(mnuView, "mnuViewHPI", "&Cavedog units");
    mnuViewUFO = menuItem(mnuView, "mnuViewUFO", "&3rd party units");
    for (QAction* item : {mnuViewHPI, mnuViewUFO}) {
        item->setCheckable(true);
        item->setChecked(true);
    }
    separator(mnuView, "mnuViewBreak1");
    mnuUnitsGroups = menuItem(mnuView, "mnuUnitsGroups", "&Edit Unit Groups...");

    mnuSchemas = bar->addMenu("&Schemas");
    mnuSchemas->setObjectName("mnuSchemas");
    mnuSchemasImport = menuItem(mnuSchemas, "mnuSchemasImport", "&Import Schema...");
    mnuSchemasExport = menuItem(mnuSchemas, "mnuSchemasExport", "&Export Schema...");

    mnuEdit = bar->addMenu("&Units");
    mnuEdit->setObjectName("mnuEdit");
    mnuEditEnableGroup = menuItem(mnuEdit, "mnuEditEnableGroup", "&Enable Group");
    mnuEditDisableGroup = menuItem(mnuEdit, "mnuEditDisableGroup", "&Disable Group");
    separator(mnuEdit, "mnuUnitsBreak1");
    mnuUnitsEnable = menuItem(mnuEdit, "mnuUnitsEnable", "Enable &Unit");
    mnuUnitsEnable->setShortcut(Qt::Key_F1);
    mnuUnitsUndo = menuItem(mnuEdit, "mnuUnitsUndo", "&Undo Last Switch");
    mnuUnitsUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    mnuUnitsUndo->setEnabled(false);
    connect(mnuEdit, &QMenu::aboutToShow, this, &FrmMain::updateUndoItem);
    separator(mnuEdit, "mnuUnitsBreak2");
    mnuViewUnitViewer = menuItem(mnuEdit, "mnuViewUnitViewer", "Export to Unit &Viewer...");
    mnuViewUnitViewer->setShortcut(Qt::Key_F5);

    mnuHelp = bar->addMenu("&Help");
    mnuHelp->setObjectName("mnuHelp");
    mnuHelpAbout = menuItem(mnuHelp, "mnuHelpAbout", "&About Kloxmere...");
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
    m_listModel = new UnitListModel(m_session.catalogue, this);
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
    for (const ToolbarEntry& entry : kToolbar) {
        if (!entry.key) {
            Toolbar->addSeparator();
            continue;
        }
        QAction* button = Toolbar->addAction(ToolbarImage(entry.image), entry.tooltip);
        button->setObjectName(entry.key);
        button->setToolTip(entry.tooltip);
        button->setCheckable(entry.check);
        button->setChecked(entry.check);
        const QString key = entry.key;
        connect(button, &QAction::triggered, this, [this, key] { Toolbar_ButtonClick(key); });
        m_toolbarButtons.emplace(key, button);
        // Raised until the flat look is given at start-up.
        if (auto* tool = qobject_cast<QToolButton*>(Toolbar->widgetForAction(button))) {
            tool->setObjectName(QString("Toolbar.") + entry.key);
            tool->setAccessibleName(entry.tooltip);
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
    const std::pair<QAction*, void (FrmMain::*)()> handlers[] = {
        {mnuEditSetTALocation, &FrmMain::mnuEditSetTALocation_Click},
        {mnuEditSetUnitView, &FrmMain::mnuEditSetUnitView_Click},
        {mnuFileSaveHPIListing, &FrmMain::mnuFileSaveHPIListing_Click},
        {mnuFileExit, &FrmMain::mnuFileExit_Click},
        {mnuViewHPI, &FrmMain::mnuViewHPI_Click},
        {mnuViewUFO, &FrmMain::mnuViewUFO_Click},
        {mnuUnitsGroups, &FrmMain::mnuUnitsGroups_Click},
        {mnuSchemasImport, &FrmMain::mnuSchemasImport_Click},
        {mnuSchemasExport, &FrmMain::mnuSchemasExport_Click},
        {mnuEditEnableGroup, &FrmMain::mnuEditEnableGroup_Click},
        {mnuEditDisableGroup, &FrmMain::mnuEditDisableGroup_Click},
        {mnuUnitsEnable, &FrmMain::mnuUnitsEnable_Click},
        {mnuUnitsUndo, &FrmMain::mnuUnitsUndo_Click},
        {mnuViewUnitViewer, &FrmMain::mnuViewUnitViewer_Click},
        {mnuHelpAbout, &FrmMain::mnuHelpAbout_Click},
    };
    for (const auto& [action, handler] : handlers) {
        connect(action, &QAction::triggered, this, handler);
    }
    nameToolbarOverflow(Toolbar);
    connect(TabView, &QTabBar::currentChanged, this, &FrmMain::TabView_Click);
    connect(TreeUnits, &QTreeView::clicked, this, &FrmMain::TreeUnits_Click);
    connect(TreeUnits->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &FrmMain::TreeUnits_Click);
    connect(ListUnits->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) ListUnits_ItemClick(current.row());
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

double FrmMain::innerWidth() const {
    return ToTwips(m_inner->width());
}

double FrmMain::innerHeight() const {
    return ToTwips(m_inner->height());
}

double FrmMain::statusHeight() const {
    return ToTwips(Status->height());
}

void FrmMain::Form_Resize() {
    const int width = m_inner->width();
    const int statusPixels = Status->sizeHint().height();
    Toolbar->setGeometry(0, 0, width, ToPixels(kToolbarHeight));
    Status->setGeometry(0, m_inner->height() - statusPixels, width, statusPixels);
    FormResize(m_layout, innerWidth(), innerHeight(), statusHeight(),
               ToTwips(PicView->frameWidth()));
    applyLayout();
}

void FrmMain::applyLayout() {
    auto place = [](QWidget* widget, const TwipsBox& box, QPoint offset = {}) {
        widget->setGeometry(TwipsRect(box.left, box.top, box.width, box.height).translated(offset));
    };
    place(TreeUnits, m_layout.TreeUnits);
    place(PicSplitter, m_layout.PicSplitter);
    place(TabView, m_layout.TabView);
    place(ListUnits, m_layout.ListUnits);
    place(PicView, m_layout.PicView);
    const QPoint inside(PicView->frameWidth(), PicView->frameWidth());
    place(PicView->LblUnitname, m_layout.LblUnitname, inside);
    place(PicView->PicUnit, m_layout.PicUnit, inside);
    place(PicView->Label1, m_layout.Label1, inside);
    // The caption keeps its design place but is never cut by the font in use.
    PicView->Label1->resize(std::max(PicView->Label1->width(), PicView->Label1->sizeHint().width()),
                            PicView->Label1->height());
    place(PicView->LstWeapons, m_layout.LstWeapons, inside);
    placeListExtras();
    PicSplitter->raise();
}

void FrmMain::PicSplitter_MouseDown(int button, double x) {
    bool ended = m_drag.mouseDown(m_layout.PicSplitter, button, x, innerWidth(), innerHeight());
    if (m_drag.dragging()) {
        PicSplitter->setDragColour(true);
    } else if (ended) {
        PicSplitter->setDragColour(false);
        Form_Resize();
        DisplayCurrentUnit();
    }
}

void FrmMain::PicSplitter_MouseMove(int, double x) {
    if (!m_drag.dragging()) return;
    m_drag.mouseMove(m_layout.PicSplitter, x, innerWidth(), innerHeight());
    applyLayout();
}

void FrmMain::PicSplitter_MouseUp(int, double x) {
    if (!m_drag.mouseUp(m_layout.PicSplitter, x, innerWidth(), innerHeight())) return;
    PicSplitter->setDragColour(false);
    Form_Resize();
    DisplayCurrentUnit();
}

void FrmMain::InitializeInterface() {
    PicSplitter->setDragColourValue(QColor(128, 128, 128));
    m_drag = SplitterDrag();
    FlatToolbar(Toolbar);
    m_session.view.ShowCavedog = true;
    m_session.view.ShowThirdParty = true;
    m_session.view.CurrentTab = kUnitsTab;
    setColumns(kUnitsTab);
    Fingerprint->refresh();
}

void FrmMain::setColumns(int tab) {
    std::vector<Column> columns = tab >= 0 && tab < static_cast<int>(kTabCaptions.size())
                                      ? ColumnSet(kTabCaptions[static_cast<std::size_t>(tab)])
                                      : std::vector<Column>{};
    std::vector<int> widths;
    const QFontMetrics metrics(ListUnits->font());
    const int margins = CellMargins(*ListUnits);
    for (const Column& column : columns) {
        widths.push_back(ColumnPixels(column.widthTwips, metrics, margins));
    }
    m_listModel->setColumns(std::move(columns));
    for (std::size_t i = 0; i < widths.size(); ++i) {
        ListUnits->header()->resizeSection(static_cast<int>(i), widths[i]);
    }
}

}  // namespace kloxmere::ui
