// libFuzzer target for the command-line rules and the name conversion. The rest of the input after
// its first byte is a file name as the system gives it, and a text: the name decoded, or, when the
// first byte is odd, raw UTF-16, which reaches every QChar, lone surrogates included.
#include "system/CommandLine.h"
#include "system/FileSystem.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

static void require(bool holds, const char* rule)
{
    if (!holds) {
        std::fprintf(stderr, "broken rule: %s\n", rule);
        std::abort();
    }
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

    CommandLine::split(text); // any line at all, as typed
    require(CommandLine::split(QStringLiteral("P ") + CommandLine::quote(text)) ==
                QStringList({QStringLiteral("P"), text}),
            "split(\"P \" + quote(x)) == {P, x}");

    // The cartridge launch line as the window builds it; an empty path adds no argument, and one
    // the user put in double quotes (none inside) arrives without them.
    QStringList expected{QStringLiteral("PCE.EXE"), QStringLiteral("-1"),
                         QStringLiteral("-nosound")};
    const QString inner = text.mid(1, text.size() - 2);
    if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"') && !inner.contains(u'"'))
        expected << inner;
    else if (!text.isEmpty())
        expected << text;
    require(CommandLine::split(QStringLiteral("PCE.EXE -1 -nosound ") +
                               CommandLine::quoteTyped(text)) == expected,
            "the launch line gives back the flags and the ROM path");
    return 0;
}
