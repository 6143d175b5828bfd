#include "system/NamePattern.h"

#include <QRegularExpression>

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

FileSystem::NameFilter namePattern(const QString& pattern)
{
    if (isPlainSuffix(pattern)) {
        const QByteArray suffix = pattern.mid(1).toLower().toLatin1();
        return [suffix](const char* name, std::size_t length) {
            const std::size_t size = std::size_t(suffix.size());
            if (length <= size)
                return false;
            const char* tail = name + length - size;
            for (std::size_t i = 0; i < size; ++i) {
                if (lowerAscii(tail[i]) != suffix[qsizetype(i)])
                    return false;
            }
            return true;
        };
    }
    const QRegularExpression expression(QRegularExpression::wildcardToRegularExpression(pattern),
                                        QRegularExpression::CaseInsensitiveOption);
    return [expression](const char* name, std::size_t length) {
        const QByteArray bytes = QByteArray::fromRawData(name, qsizetype(length));
        return expression.match(FileSystem::decodeName(bytes)).hasMatch();
    };
}
