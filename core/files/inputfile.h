#pragma once

#include "core/input/segmentrow.h"
#include "core/text/expected.h"

#include <QByteArray>
#include <QDateTime>
#include <QLocale>
#include <QString>

#include <vector>

namespace lv::files {

// The input data file (*.dat): scenario, year, segment list and the two studded-tyre fields,
// all as texts as the window shows them.
struct InputDocument
{
    QString scenario;
    QString year; // "", "2005", "2010" or "2020" when read from a file
    std::vector<input::SegmentRow> rows;
    QString sps;
    QString studdedShare;

    bool operator==(const InputDocument &) const = default;
};

// The first line of every input data file.
inline const QString kInputFileHeading = QStringLiteral("Emissionsberäkning tunnlar: Indata");

// The file's bytes: Windows-1252, CR LF after every line, TAB between fields. Fails (Swedish
// message naming the character) when a text holds a character the code page cannot hold.
Expected<QByteArray> writeInputFile(const InputDocument &document, const QDateTime &savedAt,
                                    const QLocale &locale = QLocale());

// Parses a whole input file. Numbers are read in the locale, or with the other decimal separator
// (comma or point) when the file was saved under another locale, and written back in their
// normalised form in the locale (12,50 -> 12,5; 12.50 -> 12,5; segment number 07 -> 7). Any fault
// gives an error and no document: a wrong first line is exactly "Ogiltig indatafil"; a fault
// further on begins with "Ogiltig indatafil" and names the line.
Expected<InputDocument> readInputFile(const QByteArray &bytes, const QLocale &locale = QLocale());

} // namespace lv::files
