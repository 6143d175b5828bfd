#include "system/DosBoxShortNames.h"

#include "system/DosBox.h"

#include <QSet>

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

namespace DosBox {

namespace {

// Strings compare as C strings of unsigned bytes, as DOSBox's strcmp() and strncmp() do.

// More than any count of bytes compared: what two equal names have in common.
constexpr qsizetype Whole = std::numeric_limits<int>::max();

qsizetype lengthBefore(const QByteArray& text, char stop)
{
    const qsizetype at = text.indexOf(stop);
    return at < 0 ? text.size() : at;
}

// How many bytes `a` and `b` have in common at their start, or Whole when they are equal:
// strncmp(a, b, count) finds them equal exactly when `count` is at most that.
qsizetype sharedLength(const QByteArray& a, const QByteArray& b)
{
    const qsizetype end = std::min(a.size(), b.size());
    qsizetype i = 0;
    while (i < end && a[i] == b[i])
        ++i;
    return i == a.size() && i == b.size() ? Whole : i;
}

// strncmp(a, b, count), given that `a` and `b` have `shared` bytes in common at their start.
int compareFirst(const QByteArray& a, const QByteArray& b, qsizetype count, qsizetype shared)
{
    if (shared >= count)
        return 0;
    return (shared < a.size() ? uchar(a[shared]) : 0) - (shared < b.size() ? uchar(b[shared]) : 0);
}

QByteArray upper(QByteArray text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? char(c - 32) : c; });
    return text;
}

void removeTrailingDot(QByteArray* name)
{
    if (name->endsWith('.') && name->size() > 1 && *name != "..")
        name->chop(1);
}

// Wine's short name for `name`, which DOSBox takes as another name of the file.
QByteArray wineName(const QByteArray& name)
{
    const auto dosChar = [](char c) {
        return c < 0 || std::strchr("*?<>|\"+=,;[] ~.", c) ? '_' : upper(QByteArray(1, c))[0];
    };
    const qsizetype end = name.size();
    quint16 hash = 0xBEEF;
    qsizetype p = 0;
    for (; p < end - 1; ++p)
        hash = quint16((quint32(hash) << 3) ^ (hash >> 5) ^ quint32(Host::lowerCase(name[p])) ^
                       (quint32(Host::lowerCase(name[p + 1])) << 8));
    hash = quint16((quint32(hash) << 3) ^ (hash >> 5) ^
                   quint32(Host::lowerCase(p < end ? name[p] : '\0')));
    qsizetype extension = -1;
    for (p = 1; p < end - 1; ++p) {
        if (name[p] == '.')
            extension = p;
    }
    QByteArray result;
    for (p = 0; p < 4 && p < end && p != extension; ++p)
        result += dosChar(name[p]);
    while (result.size() < 5)
        result += '~';
    const char* const hashChars = "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345";
    result += hashChars[(hash >> 10) & 0x1F];
    result += hashChars[(hash >> 5) & 0x1F];
    result += hashChars[hash & 0x1F];
    if (extension >= 0) {
        result += '.';
        for (p = extension + 1; p < end && p <= extension + 3; ++p)
            result += dosChar(name[p]);
    }
    return result;
}

// Whether DOSBox looks `name` up among Wine's short names when no short name of its own is `name`.
bool looksLikeWineName(const QByteArray& name)
{
    return name.size() >= 8 && name[4] == '~' && name[5] != '.' && name[6] != '.' && name[7] != '.';
}

// What DOSBox's CompareShortname() goes by in a made-up short name, which always has a '~' before
// its number: where the first '~' is, and how many bytes from there to the dot after it.
struct Shape
{
    quint8 tilde = 0, numberSize = 0;

    static Shape of(const QByteArray& shortName)
    {
        const qsizetype tilde = shortName.indexOf('~');
        const qsizetype dot = shortName.indexOf('.', tilde);
        return {quint8(tilde), quint8((dot < 0 ? shortName.size() : dot) - tilde)};
    }
    // How many bytes CompareShortname() compares of a name whose part before the first dot is
    // `stem` bytes long, at most 8: those before the '~', or as many as the name keeps before a
    // number of this size.
    qsizetype comparedLength(qsizetype stem) const
    {
        return std::max<qsizetype>(tilde, stem - numberSize);
    }
};

struct Entry
{
    QByteArray name, shortName;
    int number = 0; // the ~number of a short name made up, and its shape
    Shape shape;
};

// The largest tilde and smallest number size of some made-up names: no more bytes than that
// gives are compared of any of them.
struct Span
{
    qsizetype maxTilde = 0, minNumberSize = Whole;

    void widen(const Shape& shape)
    {
        maxTilde = std::max<qsizetype>(maxTilde, shape.tilde);
        minNumberSize = std::min<qsizetype>(minNumberSize, shape.numberSize);
    }
    void widen(const Span& other)
    {
        maxTilde = std::max(maxTilde, other.maxTilde);
        minNumberSize = std::min(minNumberSize, other.minNumberSize);
    }
    qsizetype comparedLength(qsizetype stem) const
    {
        return std::max(maxTilde, stem - minNumberSize);
    }
};

// DOSBox's list of the short names it made up (longNameList), in its order: by short name, each
// after those not greater. Kept in blocks, so that an insertion moves the entries of one block
// rather than of the whole list, with the count of entries before each block to find a position;
// each block and each group of GroupSize blocks has its span.
class MadeNames
{
public:
    int size() const { return m_size; }
    int at(int position) const
    {
        const auto [block, offset] = locate(position);
        return m_blocks[block].items[offset].entry;
    }

    void insert(int position, int entry, Shape shape)
    {
        if (m_blocks.empty()) {
            m_blocks.emplace_back();
            m_before.push_back(0);
            m_groups.emplace_back();
        }
        const auto [index, offset] = locate(position);
        Block& block = m_blocks[index];
        block.items.insert(block.items.begin() + std::ptrdiff_t(offset), {entry, shape});
        block.span.widen(shape);
        m_groups[index / GroupSize].widen(shape);
        for (std::size_t i = index + 1; i < m_before.size(); ++i)
            ++m_before[i];
        ++m_size;
        if (block.items.size() > BlockLimit)
            split(index);
    }

    // The first position from `from` on, before `to`, whose entry CompareShortname() compares
    // over more than `shared` bytes with a name whose part before the dot is `stem` bytes long;
    // else `to`.
    int firstComparedBeyond(int from, int to, qsizetype shared, qsizetype stem) const
    {
        auto [index, offset] = locate(from);
        int position = from;
        while (position < to) {
            const Block& block = m_blocks[index];
            const std::size_t group = index / GroupSize;
            if (offset == 0 && index % GroupSize == 0 &&
                m_groups[group].comparedLength(stem) <= shared) {
                index = std::min((group + 1) * GroupSize, m_blocks.size());
                position = index < m_blocks.size() ? m_before[index] : m_size;
            } else if (block.span.comparedLength(stem) <= shared) {
                position += int(block.items.size() - offset);
                ++index;
            } else {
                for (; offset < block.items.size() && position < to; ++offset, ++position) {
                    if (block.items[offset].shape.comparedLength(stem) > shared)
                        return position;
                }
                ++index;
            }
            offset = 0;
        }
        return to;
    }

private:
    static constexpr std::size_t BlockLimit = 512, GroupSize = 32;

    struct Item
    {
        int entry;
        Shape shape;
    };
    struct Block
    {
        std::vector<Item> items;
        Span span;
    };

    // The block that holds `position`, and the position's place in it.
    std::pair<std::size_t, std::size_t> locate(int position) const
    {
        const auto after = std::upper_bound(m_before.begin(), m_before.end(), position);
        const std::size_t block = std::size_t(after - m_before.begin()) - 1;
        return {block, std::size_t(position - m_before[block])};
    }

    // Halves a block; the blocks after it move on, and so do the groups they are in.
    void split(std::size_t index)
    {
        std::vector<Item>& items = m_blocks[index].items;
        const std::size_t half = items.size() / 2;
        Block first, second;
        second.items.assign(items.begin() + std::ptrdiff_t(half), items.end());
        items.erase(items.begin() + std::ptrdiff_t(half), items.end());
        first.items = std::move(items);
        for (Block* block : {&first, &second}) {
            for (const Item& item : block->items)
                block->span.widen(item.shape);
        }
        m_before.insert(m_before.begin() + std::ptrdiff_t(index) + 1, m_before[index] + int(half));
        m_blocks[index] = std::move(first);
        m_blocks.insert(m_blocks.begin() + std::ptrdiff_t(index) + 1, std::move(second));
        m_groups.assign((m_blocks.size() + GroupSize - 1) / GroupSize, Span());
        for (std::size_t i = 0; i < m_blocks.size(); ++i)
            m_groups[i / GroupSize].widen(m_blocks[i].span);
    }

    std::vector<Block> m_blocks;
    std::vector<int> m_before; // how many entries come before each block
    std::vector<Span> m_groups;
    int m_size = 0;
};

// The folder cache of DOSBox 0.74 for one folder: each name read gets a short name at once.
// DOSBox keeps its lists sorted by inserting into arrays and searches them one name at a time;
// here what gives the same answers sooner: sets for the names taken, and the list of made-up
// names in blocks, searched with the knowledge that it is in order.
class FolderCache
{
public:
    explicit FolderCache(qsizetype size)
    {
        m_entries.reserve(std::size_t(size));
        m_shortNames.reserve(size);
    }

    // Adds a name as DOSBox does when it reads it from the folder.
    void add(const QByteArray& name)
    {
        m_entries.push_back({name, {}, 0, {}});
        makeShortName(int(m_entries.size()) - 1);
        m_shortNames.insert(m_entries.back().shortName);
        if (m_keepsWineNames)
            m_wineNames.insert(wineName(name));
    }

    const Entry& entry(int index) const { return m_entries[std::size_t(index)]; }

    // DOSBox's GetLongName() once all names are read: the entry a DOS program reaches by
    // `dosName`, or -1. DOSBox searches its list of the files sorted by short name, each after
    // those not greater; which of several equal names the search lands on depends only on where
    // they stand, which counting tells without sorting.
    int find(QByteArray dosName) const
    {
        removeTrailingDot(&dosName);
        const int count = int(m_entries.size());
        int less = 0;
        std::vector<int> equal;
        for (int index = 0; index < count; ++index) {
            const int result = entry(index).shortName.compare(dosName);
            if (result < 0)
                ++less;
            else if (result == 0)
                equal.push_back(index);
        }
        int low = 0, high = count - 1;
        while (low <= high) {
            const int mid = (low + high) / 2;
            if (mid < less)
                low = mid + 1;
            else if (mid >= less + int(equal.size()))
                high = mid - 1;
            else
                return equal[std::size_t(mid - less)];
        }
        if (!looksLikeWineName(dosName))
            return -1;
        // The first in the sorted list whose Wine name it is.
        int found = -1;
        for (int index = 0; index < count; ++index) {
            if (wineName(entry(index).name) == dosName &&
                (found < 0 || entry(index).shortName < entry(found).shortName))
                found = index;
        }
        return found;
    }

private:
    // DOSBox's GetLongName(...) >= 0 while the folder is read: whether a file read before this
    // one has the short name `name`, or else the Wine name, whose set is made the first time
    // it is needed.
    bool isTaken(QByteArray name)
    {
        removeTrailingDot(&name);
        if (m_shortNames.contains(name))
            return true;
        if (!looksLikeWineName(name))
            return false;
        if (!m_keepsWineNames) {
            for (std::size_t i = 0; i + 1 < m_entries.size(); ++i)
                m_wineNames.insert(wineName(m_entries[i].name));
            m_keepsWineNames = true;
        }
        return m_wineNames.contains(name);
    }

    // DOSBox's CompareShortname(): `name`, whose part before the first dot is `stem` bytes long
    // (at most 8), against the made-up short name of the entry `index` up to its ~number.
    int compareShort(const QByteArray& name, qsizetype stem, int index) const
    {
        const Entry& e = entry(index);
        return compareFirst(name, e.shortName, e.shape.comparedLength(stem),
                            sharedLength(name, e.shortName));
    }

    // DOSBox's CreateShortNameID(): the number after the one of a made-up name like `name`, the
    // last of those alike from where its search finds one.
    int nextNumber(const QByteArray& name) const
    {
        const qsizetype stem = std::min<qsizetype>(lengthBefore(name, '.'), 8);
        int low = 0, high = m_madeNames.size() - 1;
        while (low <= high) {
            const int mid = (low + high) / 2;
            const int result = compareShort(name, stem, m_madeNames.at(mid));
            if (result > 0)
                low = mid + 1;
            else if (result < 0)
                high = mid - 1;
            else
                return entry(m_madeNames.at(endOfAlike(mid, name, stem) - 1)).number + 1;
        }
        return 1;
    }

    // The first position after `position` in the made-up names that CompareShortname() does not
    // find like `name`, or the end.
    int endOfAlike(int position, const QByteArray& name, qsizetype stem) const
    {
        const int size = m_madeNames.size();
        int at = position + 1;
        // Most runs of names alike are short: the next few are looked at one by one.
        for (int count = 0; at < size && (count < 8 || !m_inOrder); ++count, ++at) {
            if (compareShort(name, stem, m_madeNames.at(at)) != 0)
                return at;
        }
        // In order, the names have more and more in common with `name` up to where it would
        // stand among them, and less and less after it. From `at` on they have at least as much
        // in common with it as the one at `at`, up to `end`, and are alike there but for those
        // compared over more than that.
        while (at < size) {
            const QByteArray& here = shortNameAt(at);
            const qsizetype shared = sharedLength(name, here);
            const int after =
                here < name
                    ? firstWhere(at, [&name](const QByteArray& other) { return !(other < name); })
                    : at;
            const int end = firstWhere(after, [&name, shared](const QByteArray& other) {
                return sharedLength(name, other) < shared;
            });
            const int other = m_madeNames.firstComparedBeyond(at, end, shared, stem);
            if (other < end && compareShort(name, stem, m_madeNames.at(other)) != 0)
                return other;
            at = other < end ? other + 1 : end;
        }
        return at;
    }

    const QByteArray& shortNameAt(int position) const
    {
        return entry(m_madeNames.at(position)).shortName;
    }

    // The first position from `from` on whose made-up name meets `condition`, which goes on
    // holding once it holds; else the end. It looks near `from` first.
    template <typename Condition> int firstWhere(int from, const Condition& condition) const
    {
        const int size = m_madeNames.size();
        int low = from, high = from;
        for (int step = 1; high < size && !condition(shortNameAt(high)); step *= 2) {
            low = high + 1;
            high = std::min(from + step, size);
        }
        while (low < high) {
            const int mid = low + (high - low) / 2;
            if (condition(shortNameAt(mid)))
                high = mid;
            else
                low = mid + 1;
        }
        return low;
    }

    // Where DOSBox inserts a made-up name `key` among the others: at the end when it is not less
    // than the last, else before the first that is greater.
    int insertionPoint(const QByteArray& key) const
    {
        const int size = m_madeNames.size();
        if (size == 0 || !(key < entry(m_madeNames.at(size - 1)).shortName))
            return size;
        if (!m_inOrder) {
            int at = 0;
            while (!(key < entry(m_madeNames.at(at)).shortName))
                ++at;
            return at;
        }
        int low = 0, high = size - 1;
        while (low < high) {
            const int mid = (low + high) / 2;
            if (key < entry(m_madeNames.at(mid)).shortName)
                high = mid;
            else
                low = mid + 1;
        }
        return low;
    }

    // DOSBox's CreateShortName().
    void makeShortName(int index)
    {
        Entry& info = m_entries[std::size_t(index)];
        QByteArray name = upper(info.name);
        bool makeShort = name.contains(' ');
        if (makeShort)
            name.replace(" ", "");
        qsizetype length = name.size();
        qsizetype dot = name.indexOf('.');
        if (dot >= 0) {
            if (name.size() - dot > 4) {
                while (name.startsWith('.'))
                    name.remove(0, 1);
                makeShort = true;
            }
            dot = name.indexOf('.');
            length = dot >= 0 ? dot : name.size();
        }
        if (!(makeShort || length > 8 || isTaken(name))) {
            info.shortName = name;
            removeTrailingDot(&info.shortName);
            return;
        }
        info.number = nextNumber(name);
        const QByteArray number = QByteArray::number(info.number);
        const qsizetype copied =
            length + number.size() + 1 > 8 ? std::max<qsizetype>(8 - number.size() - 1, 0) : length;
        info.shortName = name.left(copied) + '~' + number;
        if (dot >= 0)
            info.shortName = (info.shortName + name.mid(name.lastIndexOf('.'), 4)).left(12);
        // DOSBox files the name before it drops a trailing dot, which can leave the list out of
        // order; its searches are then followed step by step. The shape stays the same.
        const int at = insertionPoint(info.shortName);
        info.shape = Shape::of(info.shortName);
        m_madeNames.insert(at, index, info.shape);
        removeTrailingDot(&info.shortName);
        if (at > 0 && info.shortName < entry(m_madeNames.at(at - 1)).shortName)
            m_inOrder = false;
    }

    std::vector<Entry> m_entries;
    QSet<QByteArray> m_shortNames, m_wineNames; // of the names read so far
    bool m_keepsWineNames = false;
    MadeNames m_madeNames;
    bool m_inOrder = true; // whether the made-up names are in order
};

// Whether DOS opens a file by this 8.3 name: characters DOS accepts in names, at most one dot,
// and no device's name.
bool isDosName(const QByteArray& name)
{
    static const char* const allowed = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789$#@()!%{}`~_-&+^'";
    for (char c : name) {
        if (c != '.' && (c <= 0 || !std::strchr(allowed, c)))
            return false;
        if (c == '\'' && Host::turnsApostrophes())
            return false;
    }
    const QList<QByteArray> parts = name.split('.');
    if (parts.size() > 2 || parts[0].isEmpty() || parts[0].size() > 8 || parts.value(1).size() > 3)
        return false;
    static const QList<QByteArray> devices = {"CON",  "NUL",    "PRN",     "AUX",     "LPT1",
                                              "LPT2", "LPT3",   "COM1",    "COM2",    "COM3",
                                              "COM4", "CLOCK$", "MSCD001", "EMMXXXX0"};
    return !devices.contains(parts[0]);
}

} // namespace

QByteArray shortName(const QList<QByteArray>& entries, const QByteArray& name)
{
    const int index = int(entries.indexOf(name));
    if (index < 0)
        return {};
    FolderCache cache(entries.size());
    for (const QByteArray& entry : entries)
        cache.add(entry);
    const QByteArray& own = cache.entry(index).shortName;
    if (isDosName(own) && cache.find(own) == index)
        return own;
    const QByteArray wine = wineName(name);
    return isDosName(wine) && cache.find(wine) == index ? wine : QByteArray();
}

} // namespace DosBox
