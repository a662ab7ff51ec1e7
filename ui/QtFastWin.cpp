#include "ui/QtFastWin.h"

#include <QAccessibleWidget>
#include <QPaintEvent>
#include <QPainter>
#include <stdexcept>

namespace kloxmere::ui {

namespace {

QList<QRgb> colourTable(const GamePalette& colours) {
    QList<QRgb> table;
    table.reserve(static_cast<qsizetype>(colours.size()));
    for (const PaletteEntry& entry : colours)
        table.push_back(qRgb(entry.red, entry.green, entry.blue));
    return table;
}

// Screen readers present the picture panel as a picture.
QAccessibleInterface* pictureAccessible(const QString& className, QObject* object) {
    if (className != QLatin1String(PictureBox::staticMetaObject.className())) return nullptr;
    auto* box = qobject_cast<PictureBox*>(object);
    return box ? new QAccessibleWidget(box, QAccessible::Graphic) : nullptr;
}

}  // namespace

QtFastWinBitmap::QtFastWinBitmap(const BitmapInfo& description) {
    const std::int32_t width = description.bmiHeader.biWidth;
    const std::int64_t height = description.bmiHeader.biHeight;
    const std::int64_t rows = height < 0 ? -height : height;
    if (width <= 0 || rows == 0) throw std::invalid_argument("a bitmap needs pixels");
    // Rows are 4-byte aligned, as QImage requires of memory it is given.
    const std::int64_t rowBytes = (static_cast<std::int64_t>(width) + 3) / 4 * 4;
    m_memory.assign(static_cast<std::size_t>(rowBytes * rows), 0);
    m_image = QImage(m_memory.data(), width, static_cast<int>(rows),
                     static_cast<qsizetype>(rowBytes), QImage::Format_Indexed8);
    m_image.setColorTable(colourTable(description.bmiColors));
}

PictureBox::PictureBox(QWidget* parent) : QFrame(parent) {
    static const bool accessibleAsPicture = (QAccessible::installFactory(pictureAccessible), true);
    (void)accessibleAsPicture;
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    // One pixel each side: the panel's design height then holds all 96 rows.
    setLineWidth(1);
}

void PictureBox::Cls() {
    m_picture = QImage();
    update();
}

std::unique_ptr<FastWinBitmap> PictureBox::CreateDIBSection(const BitmapInfo& description) {
    return std::make_unique<QtFastWinBitmap>(description);
}

void PictureBox::RealizePalette(const LogicalPalette&) {
    // Qt draws in true colour: the colour table of each bitmap is all it needs.
}

void PictureBox::BitBlt(std::int32_t destLeft, std::int32_t destTop, std::int32_t width,
                        std::int32_t height, FastWinBitmap& source, std::int32_t srcLeft,
                        std::int32_t srcTop) {
    copy(QRect(destLeft, destTop, width, height), source, QRect(srcLeft, srcTop, width, height));
}

void PictureBox::StretchBlt(std::int32_t destLeft, std::int32_t destTop, std::int32_t destWidth,
                            std::int32_t destHeight, FastWinBitmap& source, std::int32_t srcLeft,
                            std::int32_t srcTop, std::int32_t srcWidth, std::int32_t srcHeight) {
    copy(QRect(destLeft, destTop, destWidth, destHeight), source,
         QRect(srcLeft, srcTop, srcWidth, srcHeight));
}

void PictureBox::copy(const QRect& dest, FastWinBitmap& source, const QRect& src) {
    if (dest.isEmpty() || src.isEmpty()) return;
    const QImage& image = static_cast<QtFastWinBitmap&>(source).image();
    const QSize inside = contentsRect().size();
    if (m_picture.size() != inside) {
        QImage grown(inside, QImage::Format_ARGB32_Premultiplied);
        grown.fill(Qt::transparent);
        if (!m_picture.isNull()) {
            QPainter keep(&grown);
            keep.drawImage(0, 0, m_picture);
        }
        m_picture = std::move(grown);
    }
    // Only the part of the source inside the bitmap is copied, at the place
    // the whole rectangle would put it.
    const QRect within = src & image.rect();
    if (within.isEmpty()) return;
    const double scaleX = static_cast<double>(dest.width()) / src.width();
    const double scaleY = static_cast<double>(dest.height()) / src.height();
    const QRectF target(dest.left() + (within.left() - src.left()) * scaleX,
                        dest.top() + (within.top() - src.top()) * scaleY, within.width() * scaleX,
                        within.height() * scaleY);
    QPainter painter(&m_picture);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(target, image, within);
    painter.end();
    update();
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (m_picture.isNull()) return;
    QPainter painter(this);
    painter.setClipRect(contentsRect());
    painter.drawImage(contentsRect().topLeft(), m_picture);
}

}  // namespace kloxmere::ui
