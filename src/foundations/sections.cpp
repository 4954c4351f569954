#include <brindle/foundations/sections.h>

#include <brindle/foundations/text_hash.h>
#include <brindle/foundations/text_utils.h>

#include <QVarLengthArray>

#include <algorithm>

namespace brindle {

namespace {

// The name of a header line without brackets; a null view when the line is
// no header.
QStringView headerName(const QString& line)
{
    if (line.isEmpty() || line.front() != u'[')
        return {};
    qsizetype end = line.size();
    while (end > 0 && line.at(end - 1).unicode() <= u' ')
        --end;
    if (end < 2 || line.at(0) != u'[' || line.at(end - 1) != u']')
        return {};
    const QStringView inner = QStringView(line).mid(1, end - 2);
    if (inner.contains(u']'))
        return {};
    // An empty name is a name all the same.
    return inner.isNull() ? QStringView(line).mid(1, 0) : inner;
}

bool isAscii(QStringView text)
{
    for (const QChar c : text)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

// Whether the names fold to the same text, as FoldCase folds them; ASCII
// names are compared without making the folded texts.
bool sameFolded(QStringView a, QStringView b)
{
    if (a.size() != b.size()) {
        if (isAscii(a) && isAscii(b))
            return false;
        return FoldCase(a.toString()) == FoldCase(b.toString());
    }
    for (qsizetype i = 0; i < a.size(); ++i) {
        const char16_t x = a[i].unicode();
        const char16_t y = b[i].unicode();
        if (x >= 0x80 || y >= 0x80)
            return FoldCase(a.toString()) == FoldCase(b.toString());
        if (!SameAsciiIgnoringCase(x, y))
            return false;
    }
    return true;
}

// The hash of the folded name; names that fold alike hash alike.
size_t foldedHash(QStringView name, size_t seed)
{
    QVarLengthArray<char16_t, 128> folded;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if (u >= 0x80)
            return HashText(FoldCase(name.toString()), seed);
        folded.append(u >= u'A' && u <= u'Z' ? char16_t(u + 32) : u);
    }
    return HashText(QStringView(folded.data(), folded.size()), seed);
}

} // namespace

bool IsSectionHeader(const QString& line, QString* name)
{
    const QStringView inner = headerName(line);
    if (inner.isNull())
        return false;
    if (name)
        *name = inner.toString();
    return true;
}

int XReadSLSectionValues(int start, const TStringList& source, const QString& section,
                         TStringList& dest)
{
    dest.Clear();
    QString name;
    for (int i = qMax(start, 0); i < source.Count(); ++i) {
        if (!IsSectionHeader(source[i], &name) || name.compare(section, Qt::CaseInsensitive) != 0)
            continue;
        int j = i + 1;
        for (; j < source.Count() && !IsSectionHeader(source[j]); ++j)
            dest.Add(source[j]);
        return j;
    }
    return -1;
}

void ReadSLSections(const TStringList& source, TStringList& dest)
{
    dest.Clear();
    QString name;
    for (const QString& line : source)
        if (IsSectionHeader(line, &name))
            dest.Add(name);
}

SectionIndex::SectionIndex(const TStringList& source) : FSource(source), FSeed(QHashSeed::globalSeed())
{
    for (int i = 0; i < source.Count(); ++i) {
        const QStringView name = headerName(source[i]);
        if (name.isNull())
            continue;
        FByHash.emplace_back(foldedHash(name, FSeed), static_cast<int>(FHeaders.size()));
        FHeaders.push_back(i);
    }
    std::sort(FByHash.begin(), FByHash.end());
}

QStringView SectionIndex::Name(int ordinal) const
{
    return headerName(FSource[FHeaders[static_cast<std::size_t>(ordinal)]]);
}

int SectionIndex::byName(int ordinal, QStringView section) const
{
    const size_t hash = foldedHash(section, FSeed);
    // Entries of one hash are in header order; other names that share the
    // hash are passed over.
    auto it = std::lower_bound(FByHash.begin(), FByHash.end(), std::pair<size_t, int>(hash, ordinal));
    for (; it != FByHash.end() && it->first == hash; ++it)
        if (sameFolded(Name(it->second), section))
            return it->second;
    return -1;
}

bool SectionIndex::Contains(QStringView section) const
{
    return byName(0, section) >= 0;
}

int SectionIndex::Read(int start, QStringView section, TStringList& dest) const
{
    dest.Clear();
    int first = 0;
    const int end = Find(start, section, first);
    for (int i = first; i < end; ++i)
        dest.Add(FSource[i]);
    return end;
}

int SectionIndex::Find(int start, QStringView section, int& first) const
{
    const int next = static_cast<int>(std::lower_bound(FHeaders.begin(), FHeaders.end(), qMax(start, 0))
                                      - FHeaders.begin());
    int ordinal = -1;
    if (next < SectionCount() && sameFolded(Name(next), section))
        ordinal = next;
    else
        ordinal = byName(next, section);
    if (ordinal < 0)
        return -1;
    first = FHeaders[static_cast<std::size_t>(ordinal)] + 1;
    const std::size_t after = static_cast<std::size_t>(ordinal) + 1;
    return after < FHeaders.size() ? FHeaders[after] : FSource.Count();
}

} // namespace brindle
