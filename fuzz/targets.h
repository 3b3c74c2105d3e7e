#pragma once

#include <QByteArray>
#include <QString>

// The bodies of the fuzz targets, shared by the libFuzzer executables and the replay test that
// runs their committed inputs in the normal build. Each one feeds one input to a reader and
// checks what must hold whatever the input is. It returns the first broken property as a short
// text, or an empty text; a crash, a sanitizer report or a hang is a finding too.
namespace lv::fuzz {

using TargetFunction = QString (*)(const QByteArray &input);

struct Target
{
    const char *name; // as in fuzz/corpus/NAME and the executable fuzz_NAME
    TargetFunction run;
};

// workbook: Workbook::fromBytes on the bytes of a whole file (through libgsf's memory input).
// biff: the BIFF record layer directly on a stream: the record walk, every field reader of a
// record body, and biff::readStream.
// inputfile: readInputFile under sv_SE and en_US; a document that reads must write and read
// back unchanged.
// numbertext: the number-text parsers and formatters. The first byte chooses the locale (bit 0:
// sv_SE or en_US) and how the rest is text (bit 1: UTF-8 or UTF-16 little-endian).
// xlsx, ods: Workbook::fromBytes as workbook, each on its own corpus of zipped workbooks (some
// stored without compression, so that changes reach the XML).
// airfiles: the criteria file and the .luft readers on the same bytes: parameters that read
// pass their own range checks, and a .luft that reads writes and reads back the same.
extern const Target kTargets[7];

} // namespace lv::fuzz
