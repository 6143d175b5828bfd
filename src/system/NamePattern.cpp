#include "system/NamePattern.h"

#include <cstring>

namespace {

char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool isPlainSuffix(const QString& pattern)
{
    if (!pattern.startsWith(QLatin1String("*.")) || pattern.size() < 3)
        return false;
    for (QChar c : pattern.mid(1)) {
        if (c.unicode() >= 0x80 || c == u'*' || c == u'?' || c == u'[')
            return false;
    }
    return true;
}

} // namespace

NamePattern::NamePattern(const QString& patterns)
{
    for (const QString& pattern : patterns.split(u';', Qt::SkipEmptyParts)) {
        const QString trimmed = pattern.trimmed();
        if (isPlainSuffix(trimmed)) {
            m_suffixes << trimmed.mid(1).toLower().toLatin1();
        } else {
            m_expressions << QRegularExpression(
                QRegularExpression::wildcardToRegularExpression(trimmed),
                QRegularExpression::CaseInsensitiveOption);
        }
    }
}

bool NamePattern::matches(const char* name, std::size_t length) const
{
    // Hidden entries stay hidden, as in the system's own file dialogs.
    if (length == 0 || name[0] == '.')
        return false;
    for (const QByteArray& suffix : m_suffixes) {
        const std::size_t size = std::size_t(suffix.size());
        if (length <= size)
            continue;
        const char* tail = name + length - size;
        bool same = true;
        for (std::size_t i = 0; i < size && same; ++i)
            same = lowerAscii(tail[i]) == suffix[qsizetype(i)];
        if (same)
            return true;
    }
    if (m_expressions.isEmpty())
        return false;
    const QString decoded =
        FileSystem::decodeName(QByteArray::fromRawData(name, qsizetype(length)));
    for (const QRegularExpression& expression : m_expressions) {
        if (expression.match(decoded).hasMatch())
            return true;
    }
    return false;
}

FileSystem::NameFilter NamePattern::filter() const
{
    return [pattern = *this](const char* name, std::size_t length) {
        return pattern.matches(name, length);
    };
}
