#include "core/text/initext.h"

#include "core/text/textfile.h"

namespace lv::text {

namespace {

// A value ends where a comment starts: a ';' or '#' after a blank.
QString withoutComment(const QString &value)
{
    for (qsizetype i = 1; i < value.size(); ++i) {
        if ((value[i] == u';' || value[i] == u'#') && value[i - 1].isSpace())
            return value.left(i).trimmed();
    }
    return value.trimmed();
}

} // namespace

IniText::IniText(const QByteArray &bytes)
{
    QString section;
    m_sections[section];
    for (const QString &raw : splitLines(QString::fromUtf8(bytes))) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            section = line.mid(1, line.size() - 2).trimmed();
            if (!m_sections.count(section))
                m_order.push_back(section);
            m_sections[section];
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0)
            continue;
        m_sections[section][line.left(equals).trimmed()] = withoutComment(line.mid(equals + 1));
    }
}

std::optional<QString> IniText::value(const QString &section, const QString &key) const
{
    const auto s = m_sections.find(section);
    if (s == m_sections.end())
        return std::nullopt;
    const auto k = s->second.find(key);
    if (k == s->second.end())
        return std::nullopt;
    return k->second;
}

} // namespace lv::text
