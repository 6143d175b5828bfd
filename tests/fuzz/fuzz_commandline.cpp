// libFuzzer target for the command-line rules and the name conversion. The rest of the input after
// its first byte is a file name as the system gives it, and a text: the name decoded, or, when the
// first byte is odd, raw UTF-16, which reaches every QChar, lone surrogates included.
#include "system/CommandLine.h"
#include "system/FileSystem.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

static void require(bool holds, const char* rule)
{
    if (!holds) {
        std::fprintf(stderr, "broken rule: %s\n", rule);
        std::abort();
    }
}

// The arguments a Windows program's C runtime reads from `line`, written out from the runtime's
// documented rules, apart from CommandLine, which it checks:
// - The program's name runs to the first blank or tab outside double quotes; its quotes are
//   dropped and nothing else is special.
// - Blanks and tabs outside double quotes separate the arguments after it.
// - 2n backslashes before a double quote are n backslashes, and the quote opens or closes a quoted
//   part; 2n+1 backslashes before one are n backslashes and a literal quote. Other backslashes are
//   literal.
// - Within a quoted part, two double quotes are one literal quote, and the part goes on.
// - A quoted part that is not closed runs to the end of the line.
static QStringList windowsReading(const QString& line)
{
    const auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    QStringList argv{QString()};
    qsizetype at = 0;
    for (bool quoted = false; at < line.size() && (quoted || !blank(line[at])); ++at) {
        if (line[at] == u'"')
            quoted = !quoted;
        else
            argv[0] += line[at];
    }
    bool quoted = false, inArgument = false;
    while (at < line.size()) {
        const QChar c = line[at++];
        if (!quoted && blank(c)) {
            inArgument = false;
            continue;
        }
        if (!std::exchange(inArgument, true))
            argv << QString();
        if (c == u'\\') {
            qsizetype run = 1;
            for (; at < line.size() && line[at] == u'\\'; ++at)
                ++run;
            const bool beforeQuote = at < line.size() && line[at] == u'"';
            argv.last() += QString(beforeQuote ? run / 2 : run, u'\\');
            if (beforeQuote && run % 2 == 1)
                argv.last() += line[at++];
        } else if (c == u'"' && quoted && at < line.size() && line[at] == u'"') {
            argv.last() += line[at++];
        } else if (c == u'"') {
            quoted = !quoted;
        } else {
            argv.last() += c;
        }
    }
    return argv;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    QString text = FileSystem::decodeName(bytes);
    require(FileSystem::encodeName(text) == bytes, "encodeName(decodeName(bytes)) == bytes");
    if (data[0] % 2 == 1) {
        text = QString(bytes.size() / 2, Qt::Uninitialized);
        std::memcpy(text.data(), bytes.constData(), size_t(text.size()) * sizeof(QChar));
    }

    // Any line at all, as typed: read as a Windows program reads it.
    const QString typed = QStringLiteral("P ") + text;
    require(CommandLine::split(typed) == windowsReading(typed),
            "split(line) reads the line as a Windows program does");
    require(windowsReading(QStringLiteral("P ") + CommandLine::quote(text)) ==
                QStringList({QStringLiteral("P"), text}),
            "a Windows program reads quote(x) as the one argument x");

    // The cartridge launch line as the window builds it: the flags and the ROM path arrive as they
    // are; an empty path adds no argument, and one the user put in double quotes (none inside)
    // arrives without them.
    QStringList expected{QStringLiteral("PCE.EXE"), QStringLiteral("-1"),
                         QStringLiteral("-nosound")};
    const QString inner = text.mid(1, text.size() - 2);
    if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"') && !inner.contains(u'"'))
        expected << inner;
    else if (!text.isEmpty())
        expected << text;
    require(windowsReading(QStringLiteral("PCE.EXE -1 -nosound ") +
                           CommandLine::quoteTyped(text)) == expected,
            "the launch line gives back the flags and the ROM path");
    return 0;
}
