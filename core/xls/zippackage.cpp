#include "core/xls/zippackage.h"

#include "core/xls/workbookbuilder.h"

#include <orcus/zip_archive.hpp>
#include <orcus/zip_archive_stream.hpp>

#include <map>

namespace lv::xls::zip {

namespace {

// The parts read from a workbook are a few hundred kilobytes as a rule, a few megabytes for
// large tables. The limits stay far above that and far below what would hurt the machine.
constexpr quint64 kMaxPartSize = quint64(64) * 1024 * 1024;
constexpr quint64 kMaxReadTotal = quint64(256) * 1024 * 1024;

constexpr uint32_t kLocalHeader = 0x04034b50;
constexpr uint32_t kCentralHeader = 0x02014b50;
constexpr uint32_t kEndOfDirectory = 0x06054b50;
constexpr qsizetype kEndSize = 22;
constexpr qsizetype kCentralSize = 46;
constexpr qsizetype kLocalSize = 30;

uint32_t u16(const QByteArray &bytes, qsizetype at)
{
    return uchar(bytes[at]) | uint32_t(uchar(bytes[at + 1])) << 8;
}

uint32_t u32(const QByteArray &bytes, qsizetype at)
{
    return u16(bytes, at) | u16(bytes, at + 2) << 16;
}

struct Entry
{
    uint32_t flags = 0;
    uint32_t method = 0;
    quint64 compressedSize = 0;
    quint64 size = 0;
    quint64 localOffset = 0;
};

} // namespace

struct Package::Impl
{
    QByteArray bytes;
    QString fileName;
    std::map<std::string, Entry, std::less<>> entries;
    quint64 readTotal = 0;
    std::unique_ptr<orcus::zip_archive_stream_blob> stream;
    std::unique_ptr<orcus::zip_archive> archive;

    Error damaged() const
    {
        return corruptWorkbook(fileName,
                               QStringLiteral("zip-arkivet är trasigt eller ofullständigt"));
    }
    Expected<void> readDirectory();
};

// The end record is the last thing in the file, followed only by a comment of at most 64 KB.
Expected<void> Package::Impl::readDirectory()
{
    qsizetype end = -1;
    const qsizetype lowest = std::max<qsizetype>(0, bytes.size() - kEndSize - 0xFFFF);
    for (qsizetype at = bytes.size() - kEndSize; at >= lowest; --at) {
        if (u32(bytes, at) == kEndOfDirectory) {
            end = at;
            break;
        }
    }
    if (end < 0)
        return damaged();
    const uint32_t count = u16(bytes, end + 10);
    const quint64 directorySize = u32(bytes, end + 12);
    const quint64 directoryOffset = u32(bytes, end + 16);
    // Zip64 marks its sizes 0xFFFF... here; no workbook needs it, so it is not read.
    if (count == 0xFFFF || directoryOffset == 0xFFFFFFFF || directorySize == 0xFFFFFFFF ||
        directoryOffset + directorySize > quint64(end))
        return damaged();
    qsizetype at = qsizetype(directoryOffset);
    const qsizetype directoryEnd = qsizetype(directoryOffset + directorySize);
    for (uint32_t i = 0; i < count; ++i) {
        if (at + kCentralSize > directoryEnd || u32(bytes, at) != kCentralHeader)
            return damaged();
        Entry entry;
        entry.flags = u16(bytes, at + 8);
        entry.method = u16(bytes, at + 10);
        entry.compressedSize = u32(bytes, at + 20);
        entry.size = u32(bytes, at + 24);
        const qsizetype nameLength = u16(bytes, at + 28);
        const qsizetype extraLength = u16(bytes, at + 30);
        const qsizetype commentLength = u16(bytes, at + 32);
        entry.localOffset = u32(bytes, at + 42);
        const qsizetype next = at + kCentralSize + nameLength + extraLength + commentLength;
        if (next > directoryEnd ||
            entry.localOffset + kLocalSize + entry.compressedSize > quint64(directoryOffset))
            return damaged();
        // Two parts of one name: liborcus might unpack another one than the one checked here.
        const std::string name(bytes.constData() + at + kCentralSize, std::size_t(nameLength));
        if (!entries.emplace(name, entry).second)
            return damaged();
        at = next;
    }
    return {};
}

bool isZipFile(const QByteArray &bytes)
{
    return bytes.size() >= 4 && u32(bytes, 0) == kLocalHeader;
}

Package::Package(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}
Package::Package(Package &&) noexcept = default;
Package &Package::operator=(Package &&) noexcept = default;
Package::~Package() = default;

Expected<Package> Package::open(const QByteArray &bytes, const QString &fileName)
{
    auto impl = std::make_unique<Impl>();
    impl->bytes = bytes;
    impl->fileName = fileName;
    if (auto read = impl->readDirectory(); !read)
        return read.error();
    try {
        impl->stream = std::make_unique<orcus::zip_archive_stream_blob>(
            reinterpret_cast<const uint8_t *>(impl->bytes.constData()),
            std::size_t(impl->bytes.size()));
        impl->archive = std::make_unique<orcus::zip_archive>(impl->stream.get());
        impl->archive->load();
    } catch (...) {
        return impl->damaged();
    }
    return Package(std::move(impl));
}

bool Package::contains(const std::string &part) const
{
    return m_impl->entries.count(part) != 0;
}

Expected<std::string> Package::read(const std::string &part)
{
    const auto found = m_impl->entries.find(part);
    const QString name = QString::fromStdString(part);
    if (found == m_impl->entries.end()) {
        return corruptWorkbook(m_impl->fileName,
                               QStringLiteral("delen %1 saknas i zip-arkivet").arg(name));
    }
    const Entry &entry = found->second;
    if (entry.flags & 1)
        return encryptedWorkbook(m_impl->fileName);
    // Stored or deflated: what zip writers use for workbooks, and all that liborcus inflates.
    if (entry.method != 0 && entry.method != 8) {
        return corruptWorkbook(m_impl->fileName,
                               QStringLiteral("delen %1 är packad på ett okänt sätt").arg(name));
    }
    // The local header repeats the sizes, unless a data descriptor after the data holds them.
    const qsizetype local = qsizetype(entry.localOffset);
    const QByteArray &bytes = m_impl->bytes;
    if (u32(bytes, local) != kLocalHeader ||
        (!(entry.flags & 8) &&
         (u32(bytes, local + 18) != entry.compressedSize || u32(bytes, local + 22) != entry.size)))
        return m_impl->damaged();
    m_impl->readTotal += entry.size;
    if (entry.size > kMaxPartSize || m_impl->readTotal > kMaxReadTotal) {
        return corruptWorkbook(m_impl->fileName,
                               QStringLiteral("delen %1 är orimligt stor uppackad").arg(name));
    }
    std::vector<unsigned char> inflated;
    try {
        if (!m_impl->archive->read_file_entry(part, inflated))
            return m_impl->damaged();
    } catch (...) {
        return m_impl->damaged();
    }
    // liborcus hands the part out with a zero byte after it.
    if (inflated.size() == entry.size + 1 && inflated.back() == 0)
        inflated.pop_back();
    if (inflated.size() != entry.size)
        return m_impl->damaged();
    return std::string(reinterpret_cast<const char *>(inflated.data()), inflated.size());
}

} // namespace lv::xls::zip
