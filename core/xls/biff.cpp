#include "core/xls/biff.h"

#include "core/text/textfile.h"

#include <QStringDecoder>

#include <cstring>

namespace lv::xls::biff {

namespace {

uint16_t readU16(const char *bytes)
{
    return uint16_t(uint8_t(bytes[0]) | uint8_t(bytes[1]) << 8);
}

} // namespace

RecordReader::RecordReader(const QByteArray &stream, qsizetype offset)
    : m_stream(stream), m_position(offset)
{}

bool RecordReader::next(Record &record)
{
    const qsizetype size = m_stream.size();
    if (!m_error.isEmpty() || m_position >= size)
        return false;
    const char *bytes = m_stream.constData();
    auto header = [&](qsizetype at, uint16_t &type, qsizetype &length) {
        if (size - at < 4) {
            m_error = QStringLiteral("arbetsboken tar slut mitt i en post");
            return false;
        }
        type = readU16(bytes + at);
        length = readU16(bytes + at + 2);
        if (length > size - at - 4) {
            m_error = QStringLiteral("en post räcker förbi arbetsbokens slut");
            return false;
        }
        return true;
    };

    uint16_t type = 0;
    qsizetype length = 0;
    if (!header(m_position, type, length))
        return false;
    record.type = type;
    record.offset = m_position;
    record.continues.clear();
    const qsizetype body = m_position + 4;
    m_position = body + length;

    // Longer data goes on in CONTINUE records; gather them so that readers see one body.
    bool merged = false;
    while (size - m_position >= 4 && readU16(bytes + m_position) == record::Continue) {
        uint16_t partType = 0;
        qsizetype partLength = 0;
        if (!header(m_position, partType, partLength))
            return false;
        if (!merged) {
            record.data = QByteArray(bytes + body, length);
            merged = true;
        }
        record.continues.push_back(record.data.size());
        record.data.append(bytes + m_position + 4, partLength);
        m_position += 4 + partLength;
    }
    if (!merged)
        record.data = QByteArray::fromRawData(bytes + body, length);
    return true;
}

bool Cursor::fail()
{
    m_ok = false;
    return false;
}

bool Cursor::take(qsizetype count, const char *&bytes)
{
    if (!m_ok || count < 0 || count > m_record.data.size() - m_position)
        return fail();
    bytes = m_record.data.constData() + m_position;
    m_position += count;
    return true;
}

bool Cursor::u8(uint8_t &value)
{
    const char *bytes = nullptr;
    if (!take(1, bytes))
        return false;
    value = uint8_t(bytes[0]);
    return true;
}

bool Cursor::u16(uint16_t &value)
{
    const char *bytes = nullptr;
    if (!take(2, bytes))
        return false;
    value = readU16(bytes);
    return true;
}

bool Cursor::u32(uint32_t &value)
{
    const char *bytes = nullptr;
    if (!take(4, bytes))
        return false;
    value = uint32_t(readU16(bytes)) | uint32_t(readU16(bytes + 2)) << 16;
    return true;
}

bool Cursor::f64(double &value)
{
    const char *bytes = nullptr;
    if (!take(8, bytes))
        return false;
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = bits << 8 | uint8_t(bytes[i]);
    std::memcpy(&value, &bits, sizeof value);
    return true;
}

bool Cursor::skip(qsizetype count)
{
    const char *bytes = nullptr;
    return take(count, bytes);
}

qsizetype Cursor::nextBoundary()
{
    while (m_boundary < m_record.continues.size() && m_record.continues[m_boundary] < m_position)
        ++m_boundary;
    return m_boundary < m_record.continues.size() ? m_record.continues[m_boundary]
                                                  : m_record.data.size();
}

bool Cursor::unicodeString(QString &value, int countBytes)
{
    uint16_t count = 0;
    if (countBytes == 1) {
        uint8_t shortCount = 0;
        if (!u8(shortCount))
            return false;
        count = shortCount;
    } else if (!u16(count)) {
        return false;
    }
    uint8_t flags = 0;
    if (!u8(flags))
        return false;
    uint16_t runs = 0;
    uint32_t phonetic = 0;
    if ((flags & 0x08) && !u16(runs))
        return false;
    if ((flags & 0x04) && !u32(phonetic))
        return false;

    QString text(count, Qt::Uninitialized);
    QChar *out = text.data();
    bool wide = flags & 0x01;
    for (int i = 0; i < count;) {
        // Characters that go on in a CONTINUE part start with a flags byte of their own: the
        // rest of the string may switch between 8 and 16 bits.
        qsizetype boundary = nextBoundary();
        if (boundary == m_position && boundary < m_record.data.size()) {
            uint8_t partFlags = 0;
            if (!u8(partFlags))
                return false;
            wide = partFlags & 0x01;
            boundary = nextBoundary();
        }
        const qsizetype width = wide ? 2 : 1;
        const qsizetype fit = std::min<qsizetype>((boundary - m_position) / width, count - i);
        if (fit <= 0)
            return fail(); // a character split by a CONTINUE boundary, or the body ends
        const char *bytes = nullptr;
        if (!take(fit * width, bytes))
            return false;
        for (qsizetype k = 0; k < fit; ++k, ++i)
            out[i] = wide ? QChar(readU16(bytes + 2 * k)) : QChar(uchar(bytes[k]));
    }
    if (!skip(qsizetype(runs) * 4) || !skip(qsizetype(phonetic)))
        return false;
    value = std::move(text);
    return true;
}

bool Cursor::byteString(QByteArray &value, int countBytes)
{
    uint16_t count = 0;
    if (countBytes == 1) {
        uint8_t shortCount = 0;
        if (!u8(shortCount))
            return false;
        count = shortCount;
    } else if (!u16(count)) {
        return false;
    }
    const char *bytes = nullptr;
    if (!take(count, bytes))
        return false;
    value = QByteArray(bytes, count);
    return true;
}

double rkValue(uint32_t rk)
{
    double value = 0;
    if (rk & 0x02) {
        value = double(int32_t(rk) >> 2);
    } else {
        const uint64_t bits = uint64_t(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return (rk & 0x01) ? value / 100 : value;
}

QString decodeCodePage(QByteArrayView bytes, int codePage)
{
    // 1252 is the Swedish Windows code page; 367 (ASCII) and 32769 (Excel's old name for
    // 1252) are subsets of it.
    if (codePage == 1252 || codePage == 367 || codePage == 32769 || codePage <= 0)
        return text::decode1252(bytes.toByteArray());
    const QByteArray name = codePage == 10000 || codePage == 32768
                                ? QByteArray("macintosh")
                                : "windows-" + QByteArray::number(codePage);
    QStringDecoder decoder(name.constData());
    if (!decoder.isValid())
        return text::decode1252(bytes.toByteArray());
    QString decoded = decoder.decode(bytes);
    if (decoder.hasError())
        return text::decode1252(bytes.toByteArray());
    return decoded;
}

} // namespace lv::xls::biff
