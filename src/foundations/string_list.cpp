#include <brindle/foundations/string_list.h>

#include <brindle/foundations/errors.h>
#include <brindle/foundations/text_utils.h>

#include <QFile>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

namespace brindle {
namespace {

// Lists at least this long are searched by name through an index.
constexpr int kIndexedNames = 32;

bool needsQuotes(const QString& item)
{
    for (QChar c : item)
        if (c.unicode() <= u' ' || c == u'"' || c == u',')
            return true;
    return false;
}

QString quoteItem(const QString& item)
{
    QString out;
    out.reserve(item.size() + 2);
    out += u'"';
    for (QChar c : item) {
        if (c == u'"')
            out += u'"';
        out += c;
    }
    out += u'"';
    return out;
}

// The inverse: reads into item the item whose opening quote is at p, a
// doubled quote standing for one, up to its closing quote or to end, past
// which nothing is read. Gives the position past the closing quote; the
// position goes by value so that the callers' loops keep theirs in a
// register.
qsizetype readQuotedItem(const QString& text, qsizetype p, qsizetype end, QString& item)
{
    ++p;
    while (p < end) {
        if (text.at(p) == u'"') {
            if (p + 1 < end && text.at(p + 1) == u'"') {
                item += u'"';
                p += 2;
                continue;
            }
            return p + 1;
        }
        item += text.at(p++);
    }
    return p;
}

// Equal with letter case ignored, as QString::compare finds it. Case folding
// never leaves a Unicode plane, so equal texts have equal lengths; ASCII
// characters are compared without the Unicode tables, from the end, where
// names of one family (Value1, Value2) differ.
bool sameText(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = a.size() - 1; i >= 0; --i) {
        const char16_t x = a[i].unicode();
        const char16_t y = b[i].unicode();
        if (x == y)
            continue;
        if (x >= 0x80 || y >= 0x80)
            return a.compare(b, Qt::CaseInsensitive) == 0;
        if (!SameAsciiIgnoringCase(x, y))
            return false;
    }
    return true;
}

} // namespace

TStringList::TStringList(const QStringList& lines) : FLines(lines) {}

TStringList::TStringList(std::initializer_list<QString> lines) : FLines(lines) {}

void TStringList::materializeObjects()
{
    if (FObjects.size() != FLines.size())
        FObjects.resize(FLines.size(), nullptr);
}

int TStringList::check(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(QStringLiteral("List index out of bounds (%d)"), {index});
    return index;
}

const QString& TStringList::Strings(int index) const { return FLines.at(check(index)); }

void TStringList::SetString(int index, const QString& text)
{
    FLines[check(index)] = text;
    dropNameIndex();
}

void TStringList::AppendToString(int index, QStringView tail)
{
    QString& line = FLines[check(index)];
    // Only a line without a name may get one.
    if (FNameIndex.Lines && !line.contains(u'='))
        dropNameIndex();
    line.append(tail);
}

TObject* TStringList::Objects(int index) const
{
    check(index);
    return FObjects.isEmpty() ? nullptr : FObjects.at(index);
}

void TStringList::SetObject(int index, TObject* object)
{
    check(index);
    if (!object && FObjects.isEmpty())
        return;
    materializeObjects();
    FObjects[index] = object;
}

int TStringList::Add(const QString& text)
{
    FLines.append(text);
    if (!FObjects.isEmpty())
        FObjects.append(nullptr);
    if (FNameIndex.Lines)
        indexName(Count() - 1);
    return Count() - 1;
}

int TStringList::AddObject(const QString& text, TObject* object)
{
    if (!object)
        return Add(text);
    materializeObjects();
    FLines.append(text);
    FObjects.append(object);
    if (FNameIndex.Lines)
        indexName(Count() - 1);
    return Count() - 1;
}

void TStringList::Insert(int index, const QString& text) { InsertObject(index, text, nullptr); }

void TStringList::InsertObject(int index, const QString& text, TObject* object)
{
    if (index < 0 || index > Count())
        throw EListError(QStringLiteral("List index out of bounds (%d)"), {index});
    if (object)
        materializeObjects();
    FLines.insert(index, text);
    if (!FObjects.isEmpty())
        FObjects.insert(index, object);
    dropNameIndex();
}

void TStringList::Delete(int index)
{
    FLines.removeAt(check(index));
    if (!FObjects.isEmpty())
        FObjects.removeAt(index);
    dropNameIndex();
}

void TStringList::Move(int from, int to)
{
    check(from);
    check(to);
    FLines.move(from, to);
    if (!FObjects.isEmpty())
        FObjects.move(from, to);
    dropNameIndex();
}

void TStringList::Exchange(int a, int b)
{
    check(a);
    check(b);
    FLines.swapItemsAt(a, b);
    if (!FObjects.isEmpty())
        FObjects.swapItemsAt(a, b);
    dropNameIndex();
}

void TStringList::Clear()
{
    FLines.clear();
    FObjects.clear();
    dropNameIndex();
}

void TStringList::AddStrings(const TStringList& other)
{
    // Copy first: other may be this list.
    const QStringList lines = other.FLines;
    QList<TObject*> objects = other.FObjects;
    if (!objects.isEmpty() || !FObjects.isEmpty()) {
        materializeObjects();
        objects.resize(lines.size(), nullptr);
        FObjects += objects;
    }
    FLines += lines;
    dropNameIndex();
}

void TStringList::AddStrings(const QStringList& lines)
{
    FLines += lines;
    if (!FObjects.isEmpty())
        FObjects.resize(FLines.size(), nullptr);
    dropNameIndex();
}

void TStringList::Assign(const TStringList& other)
{
    if (&other == this)
        return;
    FLines = other.FLines;
    FObjects = other.FObjects;
    dropNameIndex();
}

int TStringList::IndexOf(const QString& text) const
{
    for (int i = 0; i < Count(); ++i)
        if (sameText(FLines.at(i), text))
            return i;
    return -1;
}

int TStringList::IndexOfObject(const TObject* object) const
{
    for (int i = 0; i < Count(); ++i)
        if (Objects(i) == object)
            return i;
    return -1;
}

int TStringList::IndexOfName(const QString& name) const
{
    // A line's name holds no "=", so neither can a name that matches; one
    // that does is the line's first "=" at the name's length.
    if (Count() >= kIndexedNames) {
        if (!FNameIndex.Lines) {
            FNameIndex.Lines = std::make_unique<TextHash<int>>();
            FNameIndex.Lines->reserve(Count());
            for (int i = 0; i < Count(); ++i)
                indexName(i);
        }
        // ASCII names are folded into a buffer kept for the purpose.
        QString& key = FNameIndex.Key;
        key.resize(name.size());
        QChar* out = key.data();
        for (qsizetype i = 0; i < name.size(); ++i) {
            const char16_t c = name[i].unicode();
            if (c == u'=')
                return -1;
            if (c >= 0x80)
                return name.contains(u'=') ? -1 : FNameIndex.Lines->value(name.toCaseFolded(), -1);
            out[i] = QChar(c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c);
        }
        return FNameIndex.Lines->value(BorrowedKey(key), -1);
    }
    if (name.contains(u'='))
        return -1;
    const qsizetype length = name.size();
    for (int i = 0; i < Count(); ++i) {
        const QString& line = FLines.at(i);
        if (line.size() > length && line.at(length) == u'=' && sameText(QStringView(line).left(length), name))
            return i;
    }
    return -1;
}

void TStringList::indexName(int index) const
{
    // Folded names compare as sameText does: folding keeps the length.
    const QString& line = FLines.at(index);
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0)
        return;
    const QString key = line.left(eq).toCaseFolded();
    if (!FNameIndex.Lines->contains(key))
        FNameIndex.Lines->insert(key, index);
}

QString TStringList::Names(int index) const
{
    const QString& line = Strings(index);
    const qsizetype eq = line.indexOf(u'=');
    return eq < 0 ? line : line.left(eq);
}

QString TStringList::ValueFromIndex(int index) const
{
    const QString& line = Strings(index);
    const qsizetype eq = line.indexOf(u'=');
    return eq < 0 ? QString() : line.mid(eq + 1);
}

QString TStringList::Values(const QString& name) const
{
    const int i = IndexOfName(name);
    return i < 0 ? QString() : ValueFromIndex(i);
}

void TStringList::SetValue(const QString& name, const QString& value)
{
    const int i = IndexOfName(name);
    if (value.isEmpty()) {
        if (i >= 0)
            Delete(i);
        return;
    }
    if (i < 0) {
        QString line;
        line.reserve(name.size() + 1 + value.size());
        Add(line.append(name).append(u'=').append(value));
        return;
    }
    // Rewritten in place: the line's room is reused when it is not shared.
    QString& line = FLines[i];
    line.resize(name.size() + 1 + value.size());
    QChar* to = line.data();
    to = std::copy(name.begin(), name.end(), to);
    *to++ = u'=';
    std::copy(value.begin(), value.end(), to);
}

QString TStringList::DelimitedText(QChar delimiter) const
{
    if (Count() == 1 && FLines.first().isEmpty())
        return QStringLiteral("\"\"");
    QString out;
    for (int i = 0; i < Count(); ++i) {
        if (i > 0)
            out += delimiter;
        const QString& item = FLines.at(i);
        out += needsQuotes(item) || item.contains(delimiter) ? quoteItem(item) : item;
    }
    return out;
}

QString TStringList::CommaText() const { return DelimitedText(u','); }

void TStringList::SetCommaText(const QString& text)
{
    Clear();
    // A character #0 ends the text, as it ends a zero-terminated one.
    const qsizetype zero = text.indexOf(QChar(0));
    const qsizetype n = zero < 0 ? text.size() : zero;
    auto isBlank = [&](qsizetype i) {
        const char16_t c = text.at(i).unicode();
        return c >= 1 && c <= u' ';
    };
    qsizetype p = 0;
    while (p < n && isBlank(p))
        ++p;
    while (p < n) {
        QString item;
        if (text.at(p) == u'"') {
            p = readQuotedItem(text, p, n, item);
        } else {
            const qsizetype start = p;
            while (p < n && text.at(p).unicode() > u' ' && text.at(p) != u',')
                ++p;
            item = text.mid(start, p - start);
        }
        Add(item);
        while (p < n && isBlank(p))
            ++p;
        if (p < n && text.at(p) == u',') {
            ++p;
            if (p == n)
                Add(QString());
            while (p < n && isBlank(p))
                ++p;
        }
    }
}

void TStringList::SetStrictDelimitedText(const QString& text, QChar delimiter)
{
    Clear();
    if (text.isEmpty())
        return;
    const qsizetype n = text.size();
    qsizetype p = 0;
    while (true) {
        QString item;
        if (p < n && text.at(p) == u'"') {
            p = readQuotedItem(text, p, n, item);
            // Text between the closing quote and the delimiter belongs to the item.
            const qsizetype next = text.indexOf(delimiter, p);
            item += text.mid(p, next < 0 ? n - p : next - p);
            p = next < 0 ? n : next;
        } else {
            const qsizetype next = text.indexOf(delimiter, p);
            item = text.mid(p, next < 0 ? n - p : next - p);
            p = next < 0 ? n : next;
        }
        Add(item);
        if (p >= n)
            return;
        ++p; // the delimiter; one that ends the text leaves an empty item
    }
}

QString TStringList::Text() const
{
    QString out;
    qsizetype size = 0;
    for (const QString& line : FLines)
        size += line.size() + 1;
    out.reserve(size);
    for (const QString& line : FLines) {
        out += line;
        out += u'\n';
    }
    return out;
}

namespace {

// How many lines a text splitting at CR LF, LF or CR gives at most.
qsizetype lineBound(const char16_t* text, qsizetype n)
{
    qsizetype breaks = 0;
    for (qsizetype i = 0; i < n; ++i)
        breaks += text[i] == u'\n' || text[i] == u'\r';
    return breaks + 1;
}

} // namespace

void TStringList::SetText(const QString& text)
{
    Clear();
    const auto* chars = reinterpret_cast<const char16_t*>(text.utf16());
    const qsizetype n = text.size();
    FLines.reserve(lineBound(chars, n));
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < n) {
        const char16_t c = chars[i];
        if (c == u'\r' || c == u'\n') {
            FLines.append(text.mid(start, i - start));
            if (c == u'\r' && i + 1 < n && chars[i + 1] == u'\n')
                ++i;
            start = ++i;
        } else {
            ++i;
        }
    }
    if (start < n)
        FLines.append(text.mid(start));
}

namespace {

// The end of the line that starts at i: the first CR or LF at or after it,
// or n. Eight bytes are looked at a time; ascii tells whether the line
// holds only ASCII bytes.
qsizetype lineEnd(const char* p, qsizetype i, qsizetype n, bool& ascii)
{
    constexpr std::uint64_t ones = 0x0101010101010101ull;
    constexpr std::uint64_t highs = 0x8080808080808080ull;
    std::uint64_t high = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, p + i, 8);
        // A byte of x is zero where the word has the break; the lowest flag
        // found is exact, higher ones may not be.
        const auto zero = [](std::uint64_t x) { return (x - ones) & ~x & highs; };
        const std::uint64_t breaks = zero(word ^ (ones * '\n')) | zero(word ^ (ones * '\r'));
        if (breaks) {
            const int at = std::countr_zero(breaks) / 8;
            std::uint64_t before = 0;
            std::memcpy(&before, p + i, static_cast<std::size_t>(at));
            ascii = ((high | before) & highs) == 0;
            return i + at;
        }
        high |= word;
    }
    for (; i < n && p[i] != '\n' && p[i] != '\r'; ++i)
        high |= static_cast<unsigned char>(p[i]);
    ascii = (high & highs) == 0;
    return i;
}

// Large texts repeat many lines word for word (flags, types, separators): a
// line met a moment ago shares the text made then, saving the allocation
// and most of the memory. Lines are remembered by a hash of their bytes, one
// per slot, the last one met winning.
class RecentLines {
public:
    template <typename Decode>
    QString Line(QByteArrayView bytes, Decode decode)
    {
        // An empty line costs nothing to make, and an unused slot's bytes
        // are no place to compare with.
        if (bytes.isEmpty() || bytes.size() > kLongest)
            return decode();
        Slot& slot = FSlots[HashBytes(bytes.data(), static_cast<std::size_t>(bytes.size()), 0) & (kSlots - 1)];
        if (slot.Bytes.size() != bytes.size()
            || std::memcmp(slot.Bytes.data(), bytes.data(), static_cast<std::size_t>(bytes.size())) != 0) {
            slot.Bytes = bytes;
            slot.Text = decode();
        }
        return slot.Text;
    }

private:
    static constexpr qsizetype kLongest = 256;
    static constexpr std::size_t kSlots = 1024;
    struct Slot {
        QByteArrayView Bytes;
        QString Text;
    };
    std::vector<Slot> FSlots = std::vector<Slot>(kSlots);
};

} // namespace

void TStringList::LoadFromFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw Exception(QStringLiteral("Cannot open file \"%s\". %s"), {fileName, file.errorString()});
    const QByteArray bytes = file.readAll();
    Clear();
    // The lines are split as SetText splits the decoded text and decoded one
    // by one, so the whole text is never held in UTF-16 as well. A line
    // break byte is never part of a multi-byte sequence, so each line decodes
    // as it would within the whole; but the decoder drops a byte-order mark
    // at the start of what it is given, which for the whole text is one mark
    // after the file's own.
    const QByteArrayView mark("\xEF\xBB\xBF");
    const char* p = bytes.constData();
    const qsizetype n = bytes.size();
    qsizetype start = 0;
    for (int skipped = 0; skipped < 2 && QByteArrayView(p + start, n - start).startsWith(mark); ++skipped)
        start += mark.size();
    RecentLines recent;
    const auto add = [&](qsizetype from, qsizetype to, bool ascii) {
        const QByteArrayView line(p + from, to - from);
        FLines.append(recent.Line(line, [&] {
            if (ascii)
                return QString::fromLatin1(line);
            if (!line.startsWith(mark))
                return QString::fromUtf8(line);
            // A mark inside the text stays a character.
            return QString::fromUtf8(QByteArray("a").append(line)).mid(1);
        }));
    };
    // Counting first spares the list its regrowth, which for a large model
    // text would copy and freshly touch tens of megabytes.
    FLines.reserve(QByteArrayView(p + start, n - start).count('\n') + 1);
    while (start < n) {
        bool ascii = true;
        qsizetype i = lineEnd(p, start, n, ascii);
        add(start, i, ascii);
        if (i < n && p[i] == '\r' && i + 1 < n && p[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
}

void TStringList::SaveToFile(const QString& fileName) const
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw Exception(QStringLiteral("Cannot create file \"%s\". %s"), {fileName, file.errorString()});
    const QByteArray bytes = Text().toUtf8();
    if (file.write(bytes) != bytes.size())
        throw Exception(QStringLiteral("Cannot write file \"%s\". %s"), {fileName, file.errorString()});
}

} // namespace brindle
