#pragma once

// The window-system half of the drawing surface (graphics/clsFastWin.h): the
// bitmap is a QImage of format Indexed8 over pixel memory it owns, with the
// description's colour table; the picture panel is the window a surface is
// made for and the target it is copied onto.

#include <QFrame>
#include <QImage>
#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/clsFastWin.h"

namespace kloxmere::ui {

class QtFastWinBitmap final : public FastWinBitmap {
  public:
    // `description` must have a positive width and a non-zero height.
    explicit QtFastWinBitmap(const BitmapInfo& description);

    std::uint8_t* bits() override { return m_memory.data(); }
    // The pixel memory seen through the colour table.
    const QImage& image() const { return m_image; }

  private:
    std::vector<std::uint8_t> m_memory;
    QImage m_image;
};

// A picture panel with a sunken border. What is copied onto it is kept as
// its picture, so it survives repainting, until Cls clears it. Coordinates
// are pixels inside the border.
class PictureBox final : public QFrame, public FastWinWindow, public FastWinDC {
    Q_OBJECT
  public:
    explicit PictureBox(QWidget* parent = nullptr);

    // The width inside the border, in pixels.
    int ScaleWidth() const { return contentsRect().width(); }
    // Clears the picture.
    void Cls();
    // What has been drawn since the last Cls, inside the border; pixels never
    // drawn are transparent.
    const QImage& picture() const { return m_picture; }

    std::unique_ptr<FastWinBitmap> CreateDIBSection(const BitmapInfo& description) override;
    void RealizePalette(const LogicalPalette& palette) override;
    void BitBlt(std::int32_t destLeft, std::int32_t destTop, std::int32_t width,
                std::int32_t height, FastWinBitmap& source, std::int32_t srcLeft,
                std::int32_t srcTop) override;
    void StretchBlt(std::int32_t destLeft, std::int32_t destTop, std::int32_t destWidth,
                    std::int32_t destHeight, FastWinBitmap& source, std::int32_t srcLeft,
                    std::int32_t srcTop, std::int32_t srcWidth, std::int32_t srcHeight) override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void copy(const QRect& dest, FastWinBitmap& source, const QRect& src);

    QImage m_picture;
};

}  // namespace kloxmere::ui
