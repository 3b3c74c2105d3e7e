#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>

// The bodies of the fuzz targets, shared by the libFuzzer executables and the replay test that
// runs their committed inputs in the normal build. Each one feeds one input to a reader and
// checks what must hold whatever the input is. It returns the first broken property as a short
// text, or an empty text; a crash, a sanitizer report or a hang is a finding too.
namespace lv::fuzz {

// Workbook::fromBytes on the bytes of a whole file (through libgsf's memory input).
QString fuzzWorkbook(const uint8_t *data, std::size_t size);

// The BIFF record layer directly on a stream: the record walk, every field reader of a record
// body, and biff::readStream.
QString fuzzBiff(const uint8_t *data, std::size_t size);

// readInputFile on the bytes of a .dat file under sv_SE and en_US; a document that reads
// must write and read back unchanged.
QString fuzzInputFile(const uint8_t *data, std::size_t size);

// The number-text parsers and formatters. The first byte chooses the locale (bit 0: sv_SE or
// en_US) and how the rest is text (bit 1: UTF-8 or UTF-16 little-endian).
QString fuzzNumberText(const uint8_t *data, std::size_t size);

} // namespace lv::fuzz
