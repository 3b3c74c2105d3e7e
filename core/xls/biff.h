#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <vector>

// The record layer of a BIFF stream (Excel 5/95 and 97-2003): records with their CONTINUE
// parts, strings, RK numbers. Nothing here knows files, sheets or messages beyond a short
// description of what is wrong, so a fuzzer can drive it on a bare stream.
namespace lv::xls::biff {

namespace record {
constexpr uint16_t Formula = 0x0006;
constexpr uint16_t Eof = 0x000A;
constexpr uint16_t FilePass = 0x002F;
constexpr uint16_t Continue = 0x003C;
constexpr uint16_t CodePage = 0x0042;
constexpr uint16_t WsBool = 0x0081;
constexpr uint16_t BoundSheet = 0x0085;
constexpr uint16_t MulRk = 0x00BD;
constexpr uint16_t MulBlank = 0x00BE;
constexpr uint16_t RString = 0x00D6;
constexpr uint16_t Sst = 0x00FC;
constexpr uint16_t LabelSst = 0x00FD;
constexpr uint16_t Blank = 0x0201;
constexpr uint16_t Number = 0x0203;
constexpr uint16_t Label = 0x0204;
constexpr uint16_t BoolErr = 0x0205;
constexpr uint16_t String = 0x0207;
constexpr uint16_t Rk = 0x027E;
constexpr uint16_t Bof = 0x0809;
// The BOF records of Excel 2.1, 3.0 and 4.0 files, which are not read.
constexpr uint16_t Bof2 = 0x0009;
constexpr uint16_t Bof3 = 0x0209;
constexpr uint16_t Bof4 = 0x0409;
} // namespace record

// BOF substream types.
namespace substream {
constexpr uint16_t Globals = 0x0005;
constexpr uint16_t Worksheet = 0x0010;
} // namespace substream

enum class Version : uint8_t { Biff5, Biff8 };

// One record: its type, where its header starts in the stream, and its body with the bodies
// of the CONTINUE records that follow it appended.
struct Record
{
    uint16_t type = 0;
    qsizetype offset = 0;
    QByteArray data;
    // Where in `data` each appended CONTINUE body starts.
    std::vector<qsizetype> continues;
};

// Walks the records of a stream from a given offset. The stream must outlive the reader and
// the records it hands out (bodies without CONTINUE parts point into it).
class RecordReader
{
public:
    RecordReader(const QByteArray &stream, qsizetype offset);

    // The next record; false at the end of the stream or when the next record is damaged
    // (then error() says why).
    bool next(Record &record);
    // Empty after a clean end of the stream.
    const QString &error() const { return m_error; }
    // Stream offset just past the last record handed out.
    qsizetype position() const { return m_position; }

private:
    const QByteArray &m_stream;
    qsizetype m_position;
    QString m_error;
};

// Reads the fields of one record body in order. A read past the end fails and leaves the
// target unchanged; after a failure ok() is false and every later read fails too.
class Cursor
{
public:
    explicit Cursor(const Record &record) : m_record(record) {}

    bool ok() const { return m_ok; }
    qsizetype remaining() const { return m_ok ? m_record.data.size() - m_position : 0; }

    bool u8(uint8_t &value);
    bool u16(uint16_t &value);
    bool u32(uint32_t &value);
    bool f64(double &value);
    bool skip(qsizetype count);

    // BIFF8 string with a character count of `countBytes` (1 or 2) bytes, a flags byte, the
    // optional rich-text run count and phonetic size, the characters (8-bit Latin-1 or 16-bit,
    // a new flags byte wherever they continue in a CONTINUE part), then the runs and the
    // phonetic data, which are skipped.
    bool unicodeString(QString &value, int countBytes);
    // BIFF5 string: a character count of `countBytes` bytes, then that many bytes (in the
    // workbook's code page).
    bool byteString(QByteArray &value, int countBytes);

private:
    bool fail();
    bool take(qsizetype count, const char *&bytes);
    // The first CONTINUE part starting at or after the current position, or the body size.
    qsizetype nextBoundary();

    const Record &m_record;
    qsizetype m_position = 0;
    std::size_t m_boundary = 0;
    bool m_ok = true;
};

// The number an RK value stands for: bit 1 says "signed 30-bit integer" (otherwise the upper
// 30 bits of an IEEE double), bit 0 says "divided by 100".
double rkValue(uint32_t rk);

// Text in a workbook code page (CODEPAGE record) to Unicode; Windows-1252 where the code page
// is 1252, unknown, or not available.
QString decodeCodePage(QByteArrayView bytes, int codePage);

} // namespace lv::xls::biff
