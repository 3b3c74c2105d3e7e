#include "core/text/textfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <array>

namespace lv::text {

namespace {

// Unicode code points of bytes 80..9F hex; the rest of the code page equals Latin-1.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

int byteFor(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == c)
            return int(0x80 + i);
    }
    return -1;
}

QString describeCharacter(QChar c)
{
    const QString code = QStringLiteral("U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper();
    if (c.isPrint() && !c.isSurrogate())
        return QStringLiteral("\"%1\" (%2)").arg(QString(c), code);
    return code;
}

// Every message of a file that was not saved: "Filen NAME sparades inte" and the reason.
Error notSavedError(const QString &path, const QString &reason)
{
    return Error{ErrorKind::File,
                 QStringLiteral("Filen %1 sparades inte").arg(QFileInfo(path).fileName()) + reason};
}

} // namespace

QString decode1252(const QByteArray &bytes)
{
    // Latin-1 in one pass, then the 32 bytes where the code page differs from it, if any (a
    // scan without a branch per byte finds them).
    QString out = QString::fromLatin1(bytes);
    unsigned high = 0;
    for (const char ch : bytes)
        high |= unsigned(static_cast<unsigned char>(ch) - 0x80u < 0x20u);
    if (high == 0)
        return out;
    char16_t *const text = reinterpret_cast<char16_t *>(out.data());
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (text[i] >= 0x80 && text[i] < 0xA0)
            text[i] = kHighControls[text[i] - 0x80];
    }
    return out;
}

Expected<QByteArray> encode1252(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const int b = byteFor(c.unicode());
        if (b < 0) {
            QString what = describeCharacter(c);
            if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
                const char32_t cp = QChar::surrogateToUcs4(c, text.at(i + 1));
                what = QStringLiteral("\"%1\" (U+%2)")
                           .arg(text.mid(i, 2), QString::number(cp, 16).toUpper());
            }
            return Error{ErrorKind::File,
                         QStringLiteral("Tecknet %1 kan inte sparas i filens teckenkodning "
                                        "(Windows-1252).")
                             .arg(what)};
        }
        out.append(char(b));
    }
    return out;
}

QStringList splitLines(const QString &text)
{
    QStringList lines;
    for (QStringView line : lineViews(text))
        lines.append(line.toString());
    return lines;
}

std::vector<QStringView> lineViews(QStringView text)
{
    std::vector<QStringView> lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        // One comparison rules out nearly every character of a line.
        if (c <= u'\r' && (c == u'\r' || c == u'\n')) {
            lines.push_back(text.sliced(start, i - start));
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines.push_back(text.sliced(start));
    return lines;
}

QString joinLines(const QStringList &lines)
{
    QString out;
    for (const QString &line : lines) {
        out += line;
        out += QStringLiteral("\r\n");
    }
    return out;
}

Expected<void> saveFileAtomically(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    const auto notSaved = [&path](const QString &why, const QString &detail) {
        return notSavedError(path, QStringLiteral(": %1 (%2).").arg(why, detail));
    };
    // Unbuffered: a buffered write that fails only when the buffer is flushed (a full disk) is
    // not seen by commit(), which would then put a short file in place of the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return notSaved(QStringLiteral("den kunde inte skapas"), file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return notSaved(QStringLiteral("skrivningen misslyckades"), why);
    }
    if (!file.commit())
        return notSaved(QStringLiteral("den kunde inte ersättas"), file.errorString());
    return {};
}

Expected<void> saveFile(const QString &path, const Expected<QByteArray> &bytes)
{
    if (!bytes)
        return notSavedError(path, QStringLiteral(". ") + bytes.error().message);
    return saveFileAtomically(path, *bytes);
}

Expected<QByteArray> readWholeFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return Error{ErrorKind::File, QStringLiteral("Filen %1 kunde inte öppnas (%2).")
                                          .arg(QFileInfo(path).fileName(), file.errorString())};
    }
    return file.readAll();
}

} // namespace lv::text
