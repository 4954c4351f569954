#include <brindle/foundations/sections.h>

#include <brindle/foundations/text_utils.h>

#include <algorithm>

namespace brindle {

bool IsSectionHeader(const QString& line, QString* name)
{
    qsizetype end = line.size();
    while (end > 0 && line.at(end - 1).unicode() <= u' ')
        --end;
    if (end < 2 || line.at(0) != u'[' || line.at(end - 1) != u']')
        return false;
    const QStringView inner = QStringView(line).mid(1, end - 2);
    if (inner.contains(u']'))
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

SectionIndex::SectionIndex(const TStringList& source) : FSource(source)
{
    QString name;
    for (int i = 0; i < source.Count(); ++i) {
        if (!IsSectionHeader(source[i], &name))
            continue;
        FByName[FoldCase(name)].push_back(static_cast<int>(FHeaders.size()));
        FHeaders.push_back(i);
    }
}

bool SectionIndex::Contains(const QString& section) const
{
    return FByName.contains(FoldCase(section));
}

QStringList SectionIndex::FoldedNames() const
{
    QStringList names;
    names.reserve(FByName.size());
    for (auto it = FByName.cbegin(); it != FByName.cend(); ++it)
        names.append(it.key().Text());
    return names;
}

int SectionIndex::Read(int start, const QString& section, TStringList& dest) const
{
    dest.Clear();
    int first = 0;
    const int end = Find(start, section, first);
    for (int i = first; i < end; ++i)
        dest.Add(FSource[i]);
    return end;
}

int SectionIndex::Find(int start, const QString& section, int& first) const
{
    const auto it = FByName.constFind(FoldCase(section));
    if (it == FByName.constEnd())
        return -1;
    const std::vector<int>& ordinals = it.value();
    const auto found = std::lower_bound(ordinals.begin(), ordinals.end(), qMax(start, 0),
                                        [&](int ordinal, int line) { return FHeaders[ordinal] < line; });
    if (found == ordinals.end())
        return -1;
    first = FHeaders[*found] + 1;
    const std::size_t next = static_cast<std::size_t>(*found) + 1;
    return next < FHeaders.size() ? FHeaders[next] : FSource.Count();
}

} // namespace brindle
