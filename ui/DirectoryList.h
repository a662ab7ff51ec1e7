#pragma once

// The directory picker's two lists: the drives (mounted volumes on Linux,
// drive letters on Windows) and the directory list, which shows the open
// directory's path from its root down, each ancestor an open folder, and the
// directory's subdirectories below it. Opening an entry (double click or
// Enter) moves there; a mere highlight does not.

#include <QList>
#include <QString>
#include <QTreeWidget>

namespace kloxmere::ui {

struct DriveEntry {
    QString label;  // as the drive list shows it
    QString root;   // its root directory, "/" separators
};

// The drives of this computer, sorted by root; always at least one.
QList<DriveEntry> SystemDrives();

// The index in `drives` of the drive that holds `path` (the longest root that
// contains it), or -1.
int DriveIndexFor(const QList<DriveEntry>& drives, const QString& path);

// Whether `path` is a directory with no attribute but the directory one: not
// read-only, hidden, system or archive (on Linux: writable, no leading "."
// in its name, not a symbolic link).
bool IsPlainDirectory(const QString& path);

class DirectoryList : public QTreeWidget {
    Q_OBJECT
  public:
    explicit DirectoryList(QWidget* parent = nullptr);

    // The open directory, "/" separators, no trailing one except at a root.
    const QString& path() const { return m_path; }

    // Opens `directory`; false (and nothing changes) when it is not a
    // directory. A directory that cannot be listed opens with no
    // subdirectories shown.
    bool setPath(const QString& directory);
    // Lists the open directory again.
    void refresh();

  signals:
    // The open directory changed (Dir_Change).
    void Change();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    // Every level is always open: no expand marks are drawn.
    void drawBranches(QPainter*, const QRect&, const QModelIndex&) const override {}

  private:
    void openItem(QTreeWidgetItem* item);

    QString m_path;
};

}  // namespace kloxmere::ui
