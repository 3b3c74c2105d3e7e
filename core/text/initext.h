#pragma once

#include <QByteArray>
#include <QString>

#include <map>
#include <optional>
#include <vector>

namespace lv::text {

// The sections of a small INI text (UTF-8): "[name]" starts a section, "key = value" sets a key
// in it, and a line whose first character is ';' or '#' is a comment, as is the rest of a value
// after " ;" or " #". Keys before the first section belong to the section "". A key set twice
// keeps its last value.
class IniText
{
public:
    explicit IniText(const QByteArray &bytes);

    std::optional<QString> value(const QString &section, const QString &key) const;
    // The section names in the order they first appear.
    const std::vector<QString> &sections() const { return m_order; }

private:
    std::map<QString, std::map<QString, QString>> m_sections;
    std::vector<QString> m_order;
};

} // namespace lv::text
