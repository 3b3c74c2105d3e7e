#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <optional>

// Reads a PDF back as lines of text with their places, through pdftotext -bbox (poppler-utils).

struct PdfLine
{
    int page = 0;    // 0-based
    QString text;    // the words joined by single blanks, ligatures spelled out
    double left = 0; // points from the page's left edge
    double right = 0;
    double top = 0; // points from the page's top edge
    double bottom = 0;
};

struct PdfText
{
    int pageCount = 0;
    QList<PdfLine> lines; // in reading order: page by page, top to bottom

    QStringList texts() const
    {
        QStringList all;
        for (const PdfLine &line : lines)
            all.append(line.text);
        return all;
    }
};

inline QString unescapeHtml(QString text)
{
    text.replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", "\"").replace("&apos;", "'");
    return text.replace("&amp;", "&");
}

// Nothing when pdftotext cannot be run or fails on the file.
inline std::optional<PdfText> readPdf(const QString &path)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        return std::nullopt;
    }
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    static const QRegularExpression tag(
        QStringLiteral("<page |<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" "
                       "yMax=\"([\\d.]+)\">([^<]*)</word>"));
    PdfText pdf;
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        if (match.captured(0) == QStringLiteral("<page ")) {
            ++pdf.pageCount;
            continue;
        }
        // Ligatures such as "ff" come back as one character; spell them out.
        const QString word =
            unescapeHtml(match.captured(5)).normalized(QString::NormalizationForm_KC);
        const double left = match.captured(1).toDouble();
        const double top = match.captured(2).toDouble();
        const double right = match.captured(3).toDouble();
        const double bottom = match.captured(4).toDouble();
        const int page = pdf.pageCount - 1;
        if (!pdf.lines.isEmpty() && pdf.lines.last().page == page &&
            qAbs(pdf.lines.last().top - top) < 0.5) {
            pdf.lines.last().text += u' ' + word;
            pdf.lines.last().right = right;
            pdf.lines.last().bottom = qMax(pdf.lines.last().bottom, bottom);
        } else {
            pdf.lines.append(PdfLine{page, word, left, right, top, bottom});
        }
    }
    return pdf;
}

// A line as the PDF gives it back: blanks and TABs run together, no blank at either end.
inline QString asPrinted(const QString &text)
{
    return text.simplified();
}
