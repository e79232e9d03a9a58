#include "output/pngfile.h"

#include "platform/wholefile.h"

#include <QImage>
#include <QtEndian>

#include <array>
#include <cstring>

namespace {

constexpr int nMaxPalette = 256;
// Deflate levels: palette rows are small and pack well with more effort; RGB rows are
// three times larger and few, and the fastest level keeps them from dominating a run.
constexpr int nPaletteLevel = 6;
constexpr int nRgbLevel = 1;

quint32 Crc32(const QByteArray& ba)
{
    static const std::array<quint32, 256> aTable = [] {
        std::array<quint32, 256> a{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            a[n] = c;
        }
        return a;
    }();
    quint32 c = 0xFFFFFFFFu;
    for (char ch : ba)
        c = aTable[(c ^ quint8(ch)) & 0xFFu] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void AppendChunk(QByteArray& out, const char* szType, const QByteArray& baData)
{
    char acLen[4];
    qToBigEndian<quint32>(quint32(baData.size()), acLen);
    out.append(acLen, 4);
    const QByteArray baTyped = QByteArray(szType, 4) + baData;
    out += baTyped;
    char acCrc[4];
    qToBigEndian<quint32>(Crc32(baTyped), acCrc);
    out.append(acCrc, 4);
}

// The zlib stream of raw: qCompress gives it behind a four-byte length of its own.
QByteArray Deflate(const QByteArray& baRaw, int nLevel)
{
    return qCompress(baRaw, nLevel).mid(4);
}

QByteArray Header(int cx, int cy, char nColourType)
{
    QByteArray ba(13, '\0');
    qToBigEndian<quint32>(quint32(cx), ba.data());
    qToBigEndian<quint32>(quint32(cy), ba.data() + 4);
    ba[8] = 8; // bits per sample or palette index
    ba[9] = nColourType;
    return ba; // compression, filter and interlace methods 0
}

QByteArray Assemble(const QByteArray& baHeader, const QByteArray& baPalette, const QByteArray& baZipped)
{
    QByteArray out("\x89PNG\r\n\x1a\n", 8);
    AppendChunk(out, "IHDR", baHeader);
    if (!baPalette.isEmpty())
        AppendChunk(out, "PLTE", baPalette);
    AppendChunk(out, "IDAT", baZipped);
    AppendChunk(out, "IEND", QByteArray());
    return out;
}

// The palette image, or nothing when img has more than 256 colours. Neighbouring
// pixels mostly share a colour, so the look-up runs only where the colour changes.
QByteArray EncodePalette(const QImage& img)
{
    const int cx = img.width();
    const int cy = img.height();
    constexpr quint32 nSlots = 1024; // four times the palette: short probe chains
    std::array<quint32, nSlots> anKey{};
    std::array<int, nSlots> anIndex;
    anIndex.fill(-1);
    QByteArray baPalette;
    int nColours = 0;

    QByteArray baRaw(qsizetype(cy) * (cx + 1), '\0');
    char* p = baRaw.data();
    for (int y = 0; y < cy; ++y) {
        const auto* row = reinterpret_cast<const quint32*>(img.constScanLine(y));
        *p++ = 0; // filter: none
        quint32 nLast = 0xFFFFFFFFu;
        int iLast = 0;
        for (int x = 0; x < cx; ++x) {
            const quint32 c = row[x] & 0xFFFFFFu;
            if (c != nLast) {
                quint32 h = (c * 2654435761u) >> 22;
                while (anIndex[h] >= 0 && anKey[h] != c)
                    h = (h + 1) & (nSlots - 1);
                if (anIndex[h] < 0) {
                    if (nColours == nMaxPalette)
                        return QByteArray();
                    anKey[h] = c;
                    anIndex[h] = nColours++;
                    baPalette.append(char(qRed(c))).append(char(qGreen(c))).append(char(qBlue(c)));
                }
                nLast = c;
                iLast = anIndex[h];
            }
            *p++ = char(iLast);
        }
    }
    return Assemble(Header(cx, cy, 3), baPalette, Deflate(baRaw, nPaletteLevel));
}

QByteArray EncodeRgb(const QImage& img)
{
    const QImage rgb = img.convertToFormat(QImage::Format_RGB888);
    const int cx = rgb.width();
    const int cy = rgb.height();
    const int nRow = cx * 3;
    QByteArray baRaw(qsizetype(cy) * (nRow + 1), '\0');
    char* p = baRaw.data();
    for (int y = 0; y < cy; ++y) {
        const uchar* row = rgb.constScanLine(y);
        if (y == 0) {
            *p++ = 0; // filter: none
            std::memcpy(p, row, size_t(nRow));
            p += nRow;
        } else {
            const uchar* above = rgb.constScanLine(y - 1);
            *p++ = 2; // filter: up
            for (int i = 0; i < nRow; ++i)
                *p++ = char(row[i] - above[i]);
        }
    }
    return Assemble(Header(cx, cy, 2), QByteArray(), Deflate(baRaw, nRgbLevel));
}

} // namespace

QByteArray TPngFile::Encode(const QImage& imgIn)
{
    if (imgIn.isNull())
        return QByteArray();
    const QImage img = imgIn.convertToFormat(QImage::Format_RGB32);
    const QByteArray ba = EncodePalette(img);
    return ba.isEmpty() ? EncodeRgb(img) : ba;
}

bool TPngFile::Save(const QImage& img, const QString& sFile)
{
    const QByteArray ba = Encode(img);
    if (ba.isEmpty())
        return false;
    QString sError;
    return TWholeFile::Save(sFile, ba, sError);
}
