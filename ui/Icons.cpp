#include "ui/Icons.h"

#include <QCoreApplication>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>
#include <array>
#include <optional>

#include "base/Version.h"

// The pictures are SVG files of our own, compiled in from ui/icons.qrc. Each
// is rendered once per size into the icon, so no icon-engine plugin is needed
// and the views get ready-made pixmaps.

static void initIconResources() {
    static bool registered = false;
    if (registered) return;
    registered = true;
    Q_INIT_RESOURCE(icons);
}

namespace kloxmere::ui {

namespace {

constexpr int kToolbarImages = 10;
constexpr int kTreeImages = 7;
constexpr int kListIcons = 3;

// In the toolbar's image order: open, save, ta, unitview, cavedog,
// thirdparty, editgroups, enablegroup, disablegroup, unit. Images 8 and 9
// also show the current unit's state on the "unit" button (enabled: 8).
constexpr std::array<const char*, kToolbarImages> kToolbarFiles = {
    "open",       "save",       "launch", "unitview", "cavedog",
    "thirdparty", "editgroups", "enable", "disable",  "unit"};
// Tree roles: 1 both roots, 2 user group, 3 user group when selected, 4 the
// arm side, 5 the core side, 6 any other side, 7 a class.
constexpr std::array<const char*, kTreeImages> kTreeFiles = {
    "root", "group", "group-open", "side-arm", "side-core", "side-other", "class"};
// List icons: 1 normal, 2 conflict, 3 disabled.
constexpr std::array<const char*, kListIcons> kListFiles = {"state-normal", "state-conflict",
                                                            "state-disabled"};

QString resourcePath(const char* name) {
    return QStringLiteral(":/kloxmere/icons/%1.svg").arg(QLatin1String(name));
}

QImage render(QSvgRenderer& renderer, QSize size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

QIcon svgIcon(const char* name, std::initializer_list<int> sizes) {
    initIconResources();
    QSvgRenderer renderer(resourcePath(name));
    QIcon icon;
    if (!renderer.isValid()) return icon;
    for (int size : sizes) icon.addPixmap(QPixmap::fromImage(render(renderer, QSize(size, size))));
    return icon;
}

QIcon smallIcon(const char* name) {
    return svgIcon(name, {16, 20, 22, 24, 32, 40, 48});
}

// Icons are made once and shared; the cache is emptied when the application
// ends, while pixmaps can still be released.
struct IconCache {
    std::array<QIcon, kToolbarImages> toolbar;
    std::array<QIcon, kTreeImages> tree;
    std::array<QIcon, kListIcons> list;
    QIcon program;
};

std::optional<IconCache>& cacheSlot() {
    static std::optional<IconCache> cache;
    return cache;
}

IconCache& cache() {
    auto& slot = cacheSlot();
    if (!slot) {
        slot.emplace();
        for (int i = 0; i < kToolbarImages; ++i) slot->toolbar[i] = smallIcon(kToolbarFiles[i]);
        // The desktop's own open and save pictures where the theme has them.
        slot->toolbar[0] = QIcon::fromTheme("document-open", slot->toolbar[0]);
        slot->toolbar[1] = QIcon::fromTheme("document-save", slot->toolbar[1]);
        for (int i = 0; i < kTreeImages; ++i) slot->tree[i] = smallIcon(kTreeFiles[i]);
        for (int i = 0; i < kListIcons; ++i) slot->list[i] = smallIcon(kListFiles[i]);
        slot->program = svgIcon("kloxmere", {16, 22, 24, 32, 48, 64, 128, 256});
        qAddPostRoutine([] { cacheSlot().reset(); });
    }
    return *slot;
}

template <std::size_t N>
QIcon pick(const std::array<QIcon, N>& icons, int oneBased) {
    if (oneBased < 1 || oneBased > static_cast<int>(N)) return {};
    return icons[static_cast<std::size_t>(oneBased - 1)];
}

}  // namespace

QIcon ToolbarImage(int image) {
    return pick(cache().toolbar, image);
}

QIcon TreeImage(int role) {
    return pick(cache().tree, role);
}

QIcon ListIcon(int icon) {
    return pick(cache().list, icon);
}

QIcon ProgramIcon() {
    return cache().program;
}

QPixmap LogoPicture() {
    initIconResources();
    const QSize size(310, 224);
    const qreal ratio = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QSvgRenderer art(resourcePath("logo"));
    art.render(&painter, QRectF(QPointF(0, 0), size));

    // The words are drawn here rather than in the SVG, in the desktop's font,
    // and the version comes from the build.
    QFont title = painter.font();
    title.setPixelSize(30);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(QColor("#ffffff"));
    painter.drawText(QRectF(128, 44, 176, 44), Qt::AlignLeft | Qt::AlignVCenter, "Kloxmere");

    QFont line = painter.font();
    line.setPixelSize(13);
    line.setBold(false);
    painter.setFont(line);
    painter.setPen(QColor("#cfe0f2"));
    painter.drawText(QRectF(130, 86, 170, 56), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                     "Unit archives for TA: catalogued, checked, switched.");
    painter.setPen(QColor("#f5a623"));
    painter.drawText(QRectF(130, 146, 170, 18), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Version %1.%2").arg(kVersionMajor).arg(kVersionMinor));
    painter.end();
    return QPixmap::fromImage(image);
}

}  // namespace kloxmere::ui
