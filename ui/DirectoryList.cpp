#include "ui/DirectoryList.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QStorageInfo>
#include <QStyle>
#include <algorithm>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace kloxmere::ui {

namespace {

constexpr int kPathRole = Qt::UserRole;

Qt::CaseSensitivity pathCase() {
#ifdef Q_OS_WIN
    return Qt::CaseInsensitive;
#else
    return Qt::CaseSensitive;
#endif
}

bool contains(const QString& root, const QString& path) {
    if (!path.startsWith(root, pathCase())) return false;
    return root.endsWith('/') || path.size() == root.size() || path[root.size()] == '/';
}

}  // namespace

QList<DriveEntry> SystemDrives() {
    QList<DriveEntry> drives;
#ifdef Q_OS_WIN
    // Every drive letter, also those that cannot be read now (an empty
    // removable drive): choosing one of those is handled by the picker.
    for (const QFileInfo& drive : QDir::drives()) {
        QString root = drive.absoluteFilePath();
        QString label = root.left(2).toLower();
        QStorageInfo volume(root);
        if (volume.isReady() && !volume.name().isEmpty()) label += " [" + volume.name() + "]";
        drives.push_back({label, root});
    }
#else
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        QString root = volume.rootPath();
        // Containers mount single files too; only directories are drives.
        if (!volume.isValid() || !QFileInfo(root).isDir()) continue;
        auto same = [&](const DriveEntry& entry) { return entry.root == root; };
        if (std::any_of(drives.begin(), drives.end(), same)) continue;
        QString name = volume.name();
        drives.push_back({name.isEmpty() || name == root ? root : root + " [" + name + "]", root});
    }
#endif
    if (drives.isEmpty()) drives.push_back({QDir::rootPath(), QDir::rootPath()});
    std::sort(drives.begin(), drives.end(), [](const DriveEntry& a, const DriveEntry& b) {
        return a.root.compare(b.root, pathCase()) < 0;
    });
    return drives;
}

int DriveIndexFor(const QList<DriveEntry>& drives, const QString& path) {
    const QString clean = QDir::cleanPath(QDir::fromNativeSeparators(path));
    int best = -1;
    for (int i = 0; i < drives.size(); ++i) {
        const QString root = QDir::cleanPath(drives[i].root);
        if (contains(root, clean) && (best < 0 || root.size() > drives[best].root.size())) best = i;
    }
    return best;
}

bool IsPlainDirectory(const QString& path) {
#ifdef Q_OS_WIN
    DWORD attributes = GetFileAttributesW(reinterpret_cast<LPCWSTR>(path.utf16()));
    return attributes == FILE_ATTRIBUTE_DIRECTORY;
#else
    QFileInfo info(path);
    return info.isDir() && !info.isSymLink() && info.isWritable() &&
           !info.fileName().startsWith('.');
#endif
}

DirectoryList::DirectoryList(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setIndentation(10);
    setUniformRowHeights(true);
    connect(this, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { openItem(item); });
}

bool DirectoryList::setPath(const QString& directory) {
    QFileInfo info(QDir::fromNativeSeparators(directory));
    if (!info.isDir()) return false;
    m_path = QDir::cleanPath(info.absoluteFilePath());
    refresh();
    emit Change();
    return true;
}

void DirectoryList::refresh() {
    clear();
    if (m_path.isEmpty()) return;
    QStringList chain;
    QDir walk(m_path);
    chain.prepend(walk.absolutePath());
    while (!walk.isRoot() && walk.cdUp()) chain.prepend(walk.absolutePath());

    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    QTreeWidgetItem* parent = nullptr;
    for (const QString& step : chain) {
        QDir dir(step);
        QString text = dir.isRoot() ? QDir::toNativeSeparators(step) : QFileInfo(step).fileName();
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
        item->setText(0, text);
        item->setIcon(0, open);
        item->setData(0, kPathRole, step);
        item->setExpanded(true);
        parent = item;
    }
    // An unreadable directory lists nothing; the list stays usable.
    const QFileInfoList children = QDir(m_path).entryInfoList(
        QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    for (const QFileInfo& child : children) {
        auto* item = new QTreeWidgetItem(parent);
        item->setText(0, child.fileName());
        item->setIcon(0, closed);
        item->setData(0, kPathRole, QDir::cleanPath(child.absoluteFilePath()));
    }
    parent->setExpanded(true);
    setCurrentItem(parent);
    scrollToItem(parent);
}

void DirectoryList::keyPressEvent(QKeyEvent* event) {
    // Enter opens the highlighted directory instead of pressing the
    // dialog's default button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        openItem(currentItem());
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void DirectoryList::openItem(QTreeWidgetItem* item) {
    if (!item) return;
    // A directory removed since it was listed drops out of the list.
    if (!setPath(item->data(0, kPathRole).toString())) refresh();
}

}  // namespace kloxmere::ui
