// libFuzzer target for the command-line rules and the name conversion. The first byte of an input
// chooses how the rest becomes text; the text, cut at each U+0000, is an argument list. For any
// input: split() and quote() return, a quoted argument comes back from split() unchanged, a joined
// list splits into the same list, the emulator's launch line gives back the ROM path, and
// FileSystem::encodeName() undoes FileSystem::decodeName().
#include "system/CommandLine.h"
#include "system/FileSystem.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void require(bool condition, const char* what)
{
    if (condition)
        return;
    std::fprintf(stderr, "broken rule: %s\n", what);
    std::abort();
}

QString textOf(uint8_t mode, const QByteArray& bytes)
{
    switch (mode % 3) {
    case 0:
        return QString::fromUtf8(bytes);
    case 1: {
        // Raw UTF-16 code units reach every QChar, lone surrogates included.
        QString text(bytes.size() / 2, Qt::Uninitialized);
        std::memcpy(text.data(), bytes.constData(), size_t(text.size()) * sizeof(QChar));
        return text;
    }
    default: {
        const QString text = FileSystem::decodeName(bytes);
        require(FileSystem::encodeName(text) == bytes, "encode(decode(bytes)) == bytes");
        return text;
    }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    const QString text = textOf(data[0], bytes);

    // Any line at all, as typed into a launch.
    CommandLine::split(text);
    CommandLine::split(QStringLiteral("PCE.EXE ") + text);

    QStringList list = text.split(QChar(0));
    for (const QString& argument : list) {
        const QStringList quoted =
            CommandLine::split(QStringLiteral("P ") + CommandLine::quote(argument));
        require(quoted == QStringList({QStringLiteral("P"), argument}), "split(quote(x)) == x");
    }

    // A program name holds no quotes: the system this reads lines for forbids them in file names.
    list[0].remove(u'"');
    require(CommandLine::split(CommandLine::join(list)) == list, "split(join(list)) == list");

    // The cartridge launch line, built as the window builds it, gives back the ROM path.
    const QString& romPath = list.last();
    QStringList expected{QStringLiteral("PCE.EXE"), QStringLiteral("-1"),
                         QStringLiteral("-nosound")};
    if (!romPath.isEmpty())
        expected << romPath;
    const QString line =
        QStringLiteral("PCE.EXE -1 -nosound ") + CommandLine::quoteNonEmpty(romPath);
    require(CommandLine::split(line) == expected, "the launch line gives back the ROM path");
    return 0;
}
