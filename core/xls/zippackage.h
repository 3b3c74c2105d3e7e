#pragma once

#include "core/text/expected.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <string>

// The zip container of .xlsx and .ods files. liborcus inflates the parts; before it sees the
// bytes, the directory is read here and every part's sizes checked, so that a damaged or
// hostile file (a truncated zip, a zip bomb) is refused in words instead of eating the memory.
namespace lv::xls::zip {

// Whether the bytes start like a zip file (a local file header).
bool isZipFile(const QByteArray &bytes);

class Package
{
public:
    // Reads the directory of a zip file; `fileName` names it in errors.
    static Expected<Package> open(const QByteArray &bytes, const QString &fileName);

    Package(Package &&) noexcept;
    Package &operator=(Package &&) noexcept;
    ~Package();

    bool contains(const std::string &part) const;
    // The inflated bytes of a part (a std::string ends in a zero byte, which the XML parser
    // may look at); an error names the file and the part.
    Expected<std::string> read(const std::string &part);

private:
    struct Impl;
    explicit Package(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m_impl;
};

} // namespace lv::xls::zip
