// Arbitrary bytes as an ini file, then one key written: the written key reads back
// as written, every other line keeps its bytes, and the reads agree with a plain
// reading of the ini rules.
#include "platform/inifile.h"
#include "platform/textdecode.h"

#include "fuzzutil.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QFileInfo>

#include <cstdint>
#include <optional>

namespace {

using EEnc = TTextDecode::EEncoding;

QString Name(FuzzedDataProvider& fdp)
{
    static const char* const aszNames[] = {"app", "window", "report", "events", "rp_limits",
                                           "head", "x", "datapath", "rule1", "name"};
    if (fdp.ConsumeBool())
        return QString::fromLatin1(aszNames[fdp.ConsumeIntegralInRange<size_t>(0, std::size(aszNames) - 1)]);
    // Names the program could use: letters, digits and "_", in either case.
    QString s;
    const size_t n = fdp.ConsumeIntegralInRange<size_t>(1, 6);
    for (size_t i = 0; i < n; ++i)
        s += QChar(u"aBz_09Xq"[fdp.ConsumeIntegralInRange<int>(0, 7)]);
    return s;
}

bool IsByteEncoding(EEnc enc)
{
    return enc == EEnc::Utf8 || enc == EEnc::Utf8Mark || enc == EEnc::Windows1252;
}

template<typename T>
void RequireOneLineChanged(const T& aOld, const T& aNew, auto isEol)
{
    qsizetype nPrefix = 0;
    const qsizetype nMin = std::min(aOld.size(), aNew.size());
    while (nPrefix < nMin && aOld[nPrefix] == aNew[nPrefix])
        ++nPrefix;
    qsizetype nSuffix = 0;
    while (nSuffix < nMin - nPrefix && aOld[aOld.size() - 1 - nSuffix] == aNew[aNew.size() - 1 - nSuffix])
        ++nSuffix;
    // What differs in the old file lies within one line: no line ending was touched.
    for (qsizetype i = nPrefix; i < aOld.size() - nSuffix; ++i)
        Require(!isEol(aOld[i]));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    static const QString sFile = FuzzScratch().path() + QStringLiteral("/rp_settings.ini");
    FuzzedDataProvider fdp(pData, nSize);
    const QString sSection = Name(fdp);
    const QString sKey = Name(fdp);
    const QString sValue = QString::fromUtf8(fdp.ConsumeRandomLengthString(80));
    const bool bNoFile = fdp.ConsumeIntegralInRange<int>(0, 15) == 0;
    const std::vector<char> aRest = fdp.ConsumeRemainingBytes<char>();
    const QByteArray baOld(aRest.data(), qsizetype(aRest.size()));
    QFile::remove(sFile);
    if (!bNoFile)
        WriteBytes(sFile, baOld);
    const QByteArray baBefore = bNoFile ? QByteArray() : baOld;

    // Reading: every look-up agrees with the plain reading of the same text.
    const TTextDecode::TDecoded dec = TTextDecode::DecodeKeeping(baBefore);
    const TIniValues values(sFile);
    Require(values.ReadString(sSection, sKey, QStringLiteral("\x01")) ==
            PlainValue(dec.sText, sSection, sKey).value_or(QStringLiteral("\x01")));
    const QStringList slKeys = values.Keys(sSection);
    for (const QString& s : slKeys) {
        const std::optional<QString> sPlain = PlainValue(dec.sText, sSection, s);
        Require(sPlain.has_value() && values.ReadString(sSection, s, QString()) == *sPlain);
    }

    // Writing one key.
    const TIniFile ini(sFile);
    ini.WriteString(sSection, sKey, sValue);
    const QByteArray baNew = ReadBytes(sFile);
    QString sFlat = sValue;
    sFlat.replace(u'\r', u' ').replace(u'\n', u' ');
    Require(ini.ReadString(sSection, sKey, QString()) == TrimBlanks(sFlat));
    for (const QString& s : slKeys)
        if (s.compare(sKey, Qt::CaseInsensitive) != 0)
            Require(ini.ReadString(sSection, s, QStringLiteral("\x01")) ==
                    values.ReadString(sSection, s, QString()));

    const TTextDecode::TDecoded decNew = TTextDecode::DecodeKeeping(baNew);
    if (baBefore.isEmpty()) {
        // A new file is UTF-8 with CR LF.
        Require(decNew.sText.contains(QStringLiteral("\r\n")));
        return 0;
    }
    // A Windows-1252 file becomes UTF-8 as a whole when the value needs it, or when
    // its bytes would read as UTF-8 after the write; it then says what it said.
    const bool bConverted = dec.enc == EEnc::Windows1252 && decNew.enc != EEnc::Windows1252;
    if (!TTextDecode::Encode(QString(sSection + sKey + sFlat), EEnc::Windows1252))
        Require(dec.enc != EEnc::Windows1252 || bConverted);
    if (IsByteEncoding(dec.enc) && !bConverted) {
        RequireOneLineChanged(baBefore, baNew, [](char c) { return c == '\r' || c == '\n'; });
    } else {
        // A mark of UTF-16 stays, and so does every character outside the one line.
        Require(decNew.enc == (bConverted ? EEnc::Utf8 : dec.enc));
        RequireOneLineChanged(dec.sText, decNew.sText, [](QChar c) { return c == u'\r' || c == u'\n'; });
    }
    return 0;
}
