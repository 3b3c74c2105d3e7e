#include "core/xls/ole.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-input.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>

namespace lv::xls::ole {

namespace {

// libgsf reports damaged compound files through GLib warnings and failed assertions on
// standard error, some without a log domain. The failure itself reaches us as a return value,
// so while libgsf reads a file these messages are dropped, and not made fatal even where
// G_DEBUG=fatal-warnings asks for it: a damaged workbook must not end the program.
void ignoreLogMessage(const gchar *, GLogLevelFlags, const gchar *, gpointer) {}

class QuietLibrary
{
public:
    QuietLibrary()
    {
        const auto levels =
            GLogLevelFlags(G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING | G_LOG_LEVEL_MESSAGE |
                           G_LOG_LEVEL_INFO | G_LOG_LEVEL_DEBUG | G_LOG_FLAG_FATAL);
        m_alwaysFatal = g_log_set_always_fatal(GLogLevelFlags(G_LOG_FATAL_MASK));
        for (std::size_t i = 0; i < std::size(Domains); ++i)
            m_handlers[i] = g_log_set_handler(Domains[i], levels, ignoreLogMessage, nullptr);
    }
    ~QuietLibrary()
    {
        for (std::size_t i = 0; i < std::size(Domains); ++i)
            g_log_remove_handler(Domains[i], m_handlers[i]);
        g_log_set_always_fatal(m_alwaysFatal);
    }
    QuietLibrary(const QuietLibrary &) = delete;
    QuietLibrary &operator=(const QuietLibrary &) = delete;

private:
    static constexpr const char *Domains[] = {nullptr, "libgsf", "libgsf:msole"};
    guint m_handlers[std::size(Domains)] = {};
    GLogLevelFlags m_alwaysFatal = GLogLevelFlags(G_LOG_FATAL_MASK);
};

struct GObjectUnref
{
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <class T>
using GPtr = std::unique_ptr<T, GObjectUnref>;

constexpr char Signature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

uint32_t readU32(const QByteArray &bytes, qsizetype at)
{
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | uchar(bytes[at + i]);
    return value;
}

// The root directory entry of a compound file never has siblings. libgsf still reads siblings
// it finds there, as entries without a parent that it then never frees: every such file would
// leak memory, so it is refused as damaged before libgsf sees it.
bool rootEntryHasSiblings(const QByteArray &file)
{
    constexpr qsizetype HeaderSize = 512;
    if (file.size() < HeaderSize)
        return false;
    const int shift = uchar(file[0x1E]) | uchar(file[0x1F]) << 8;
    if (shift < 6 || shift > 30)
        return false; // libgsf refuses these sector sizes itself
    // The header is padded to a whole sector; the header names the first directory sector.
    const qint64 sector = qint64(1) << shift;
    const qint64 entry = std::max<qint64>(HeaderSize, sector) + readU32(file, 0x30) * sector;
    constexpr qint64 LeftSibling = 0x44;
    constexpr qint64 RightSibling = 0x48;
    if (entry + RightSibling + 4 > file.size())
        return false;
    return readU32(file, qsizetype(entry + LeftSibling)) != 0xFFFFFFFFu ||
           readU32(file, qsizetype(entry + RightSibling)) != 0xFFFFFFFFu;
}

} // namespace

bool isCompoundFile(const QByteArray &bytes)
{
    return bytes.size() >= 8 && std::memcmp(bytes.constData(), Signature, 8) == 0;
}

WorkbookStream readWorkbookStream(const QByteArray &file)
{
    if (!isCompoundFile(file))
        return {WorkbookStream::Status::NotCompoundFile, {}};
    if (rootEntryHasSiblings(file))
        return {WorkbookStream::Status::Damaged, {}};
    const QuietLibrary quiet;

    // The memory input reads the caller's bytes in place; they outlive every object here.
    GPtr<GsfInput> input(gsf_input_memory_new(reinterpret_cast<const guint8 *>(file.constData()),
                                              gsf_off_t(file.size()), FALSE));
    if (!input)
        return {WorkbookStream::Status::Damaged, {}};
    GError *error = nullptr;
    GPtr<GsfInfile> ole(gsf_infile_msole_new(input.get(), &error));
    g_clear_error(&error);
    if (!ole)
        return {WorkbookStream::Status::Damaged, {}};

    int workbook = -1;
    int book = -1;
    bool encrypted = false;
    const int children = gsf_infile_num_children(ole.get());
    for (int i = 0; i < children; ++i) {
        const char *name = gsf_infile_name_by_index(ole.get(), i);
        if (!name)
            continue;
        if (g_ascii_strcasecmp(name, "Workbook") == 0 && workbook < 0)
            workbook = i;
        else if (g_ascii_strcasecmp(name, "Book") == 0 && book < 0)
            book = i;
        else if (g_ascii_strcasecmp(name, "EncryptedPackage") == 0)
            encrypted = true;
    }
    const int index = workbook >= 0 ? workbook : book;
    if (index < 0) {
        return {encrypted ? WorkbookStream::Status::Encrypted : WorkbookStream::Status::NoWorkbook,
                {}};
    }

    GPtr<GsfInput> stream(gsf_infile_child_by_index(ole.get(), index));
    if (!stream)
        return {WorkbookStream::Status::Damaged, {}};
    // A stream cannot be longer than the file that holds it; a directory that says otherwise
    // is damaged (and must not make us allocate its figure).
    const gsf_off_t size = gsf_input_size(stream.get());
    if (size < 0 || size > gsf_off_t(file.size()))
        return {WorkbookStream::Status::Damaged, {}};
    QByteArray bytes(qsizetype(size), Qt::Uninitialized);
    if (size > 0 &&
        !gsf_input_read(stream.get(), size_t(size), reinterpret_cast<guint8 *>(bytes.data())))
        return {WorkbookStream::Status::Damaged, {}};
    return {WorkbookStream::Status::Ok, std::move(bytes)};
}

} // namespace lv::xls::ole
