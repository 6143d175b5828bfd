#include "system/CommandLine.h"

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool needsQuotes(const QString& argument)
{
    for (QChar c : argument) {
        if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'"')
            return true;
    }
    return false;
}

} // namespace

namespace CommandLine {

QStringList split(const QString& line)
{
    QStringList result;
    const qsizetype length = line.size();
    qsizetype i = 0;
    while (i < length && isBlank(line[i]))
        ++i;
    if (i == length)
        return result;

    // The program name: quotes group, nothing is escaped.
    QString program;
    bool quoted = false;
    for (; i < length; ++i) {
        const QChar c = line[i];
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && isBlank(c))
            break;
        else
            program += c;
    }
    result << program;

    // The arguments, by the rules of the C runtime that reads argv.
    while (true) {
        while (i < length && isBlank(line[i]))
            ++i;
        if (i == length)
            break;
        QString argument;
        quoted = false;
        while (i < length && (quoted || !isBlank(line[i]))) {
            qsizetype backslashes = 0;
            while (i < length && line[i] == u'\\') {
                ++backslashes;
                ++i;
            }
            if (i < length && line[i] == u'"') {
                argument += QString(backslashes / 2, u'\\');
                if (backslashes % 2 == 1) {
                    argument += u'"';
                } else if (quoted && i + 1 < length && line[i + 1] == u'"') {
                    // "" inside quotes is a literal quote.
                    argument += u'"';
                    ++i;
                } else {
                    quoted = !quoted;
                }
                ++i;
            } else {
                argument += QString(backslashes, u'\\');
                if (i < length && (quoted || !isBlank(line[i]))) {
                    argument += line[i];
                    ++i;
                }
            }
        }
        result << argument;
    }
    return result;
}

QString quote(const QString& argument)
{
    if (!argument.isEmpty() && !needsQuotes(argument))
        return argument;
    QString result = QStringLiteral("\"");
    qsizetype backslashes = 0;
    for (QChar c : argument) {
        if (c == u'\\') {
            ++backslashes;
            continue;
        }
        if (c == u'"')
            result += QString(backslashes * 2 + 1, u'\\');
        else
            result += QString(backslashes, u'\\');
        backslashes = 0;
        result += c;
    }
    // Backslashes before the closing quote must not escape it.
    result += QString(backslashes * 2, u'\\');
    result += u'"';
    return result;
}

QString quoteTyped(const QString& path)
{
    const QString inner = path.mid(1, path.size() - 2);
    const bool quotedByUser =
        path.size() >= 2 && path.startsWith(u'"') && path.endsWith(u'"') && !inner.contains(u'"');
    if (path.isEmpty())
        return path;
    if (!quotedByUser)
        return quote(path);
    // A backslash just before the closing quote would escape it: such a path is quoted anew.
    return inner.endsWith(u'\\') ? quote(inner) : path;
}

} // namespace CommandLine
