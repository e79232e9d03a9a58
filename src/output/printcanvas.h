#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QString>

#include <vector>

class QPaintDevice;
class QPagedPaintDevice;

// Takes what a print run draws, page by page, measuring text as the printer will,
// and hands the pages to the printer only once the whole run is laid out. A run
// cancelled half-way thus sends nothing at all: not every print engine can abort a
// job it has begun (the PDF writer keeps what it was given).
class TPrintCanvas final
{
public:
    // Text is measured for device; fonts start as the device's default face.
    explicit TPrintCanvas(const QPaintDevice& device);
    Q_DISABLE_COPY_MOVE(TPrintCanvas)

    const QFont& Font() const { return font; }
    void SetFont(const QFont& f) { font = f; }
    // Size in points of the device, and bold or regular.
    void SetFontSize(int nPoints, bool bBold = false);

    // The colour of the text drawn from now on; black to begin with.
    void SetColor(const QColor& c) { color = c; }

    // Line height and text width in the font now in force, in device pixels.
    int TextHeight() const;
    int TextWidth(const QString& s) const;

    // Draws s with the top of its line at (x, y).
    void TextOut(int x, int y, const QString& s);
    // Draws bmp stretched into rc.
    void StretchDraw(const QRect& rc, const QPixmap& bmp);
    void NewPage();

    int PageCount() const { return int(aPages.size()); }

    // Prints the pages as one job; false when the printer could not start it.
    bool Print(QPagedPaintDevice& printer) const;

private:
    struct TItem
    {
        QFont font;
        QColor color;
        QPoint ptBaseline;
        QString sText;
        QRect rc; // where bmp goes; text items leave it empty
        QPixmap bmp;
    };

    const QPaintDevice& device;
    QFont font;
    QColor color = Qt::black;
    std::vector<std::vector<TItem>> aPages = std::vector<std::vector<TItem>>(1);
};
