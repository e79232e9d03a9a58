#pragma once

#include <QByteArray>
#include <QString>

class QImage;

// PNG files of the export's chart images, written much faster than the general image
// writer manages: a chart of up to 256 colours (most charts: a white ground, a few
// lines and their anti-aliased edges) is kept as a palette image, one byte a pixel;
// a busier one as RGB rows that each store their difference to the row above. The
// image is opaque; any alpha is dropped, as the BMP files drop it.
class TPngFile final
{
public:
    TPngFile() = delete;

    static QByteArray Encode(const QImage& img);
    // False when the file cannot be written whole; an earlier file then stays.
    static bool Save(const QImage& img, const QString& sFile);
};
