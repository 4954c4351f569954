// Titles of a query: the defaults, the lookups, the merge of stored titles
// into a reference list and the two older storage forms.

#include <brindle/query/titles.h>

#include <brindle/query/query.h>
#include <brindle/query/query_caches_p.h>
#include <brindle/foundations/sections.h>
#include <brindle/foundations/text_utils.h>

#include <QHash>

#include <utility>

namespace brindle {

namespace {

// Replaces the text of every name=text line of `lines` by the text the
// source holds for that name (its first line of the name, letter case
// ignored) when that text is not empty. One pass over the source: it may be
// a whole query text.
void takeTexts(TStringList& lines, const TStringList& source)
{
    TextHash<QList<int>> wanted;
    for (int i = 0; i < lines.Count(); ++i) {
        const qsizetype eq = lines[i].indexOf(u'=');
        if (eq >= 0)
            wanted[FoldCase(lines[i].left(eq))].append(i);
    }
    for (const QString& line : source) {
        if (wanted.isEmpty())
            return;
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            continue;
        const auto it = wanted.find(FoldCase(line.left(eq)));
        if (it == wanted.end())
            continue;
        const QString text = line.mid(eq + 1);
        if (!text.isEmpty())
            for (int i : it.value())
                lines.SetString(i, lines.Names(i) + u'=' + text);
        wanted.erase(it); // only a name's first line counts
    }
}

} // namespace

const QStringList& OldTitleKeys()
{
    static const QStringList keys = {
        QStringLiteral("ttlFilter"),     QStringLiteral("ttlBracket"),       QStringLiteral("ttlAll"),
        QStringLiteral("ttlAny"),        QStringLiteral("ttlNone"),          QStringLiteral("ttlNotAll"),
        QStringLiteral("ttlAddBracket"), QStringLiteral("ttlAddCond"),       QStringLiteral("ttlDelRow"),
        QStringLiteral("ttlFields"),     QStringLiteral("ttlResFields"),     QStringLiteral("ttlMakeFldHint"),
        QStringLiteral("ttlDelFldHint"), QStringLiteral("ttlSortTypeHint"),  QStringLiteral("ttlNotSorted"),
        QStringLiteral("ttlAscending"),  QStringLiteral("ttlDescending"),    QStringLiteral("ttlSortCaption"),
        QStringLiteral("ttlRename"),     QStringLiteral("ttlDelete"),        QStringLiteral("ttlWithoutGroup"),
        QStringLiteral("ttlAllResFieds"),
    };
    return keys;
}

void LoadTitlesFromStrings(const TStringList& reference, TStringList& destination, TStringList& source)
{
    static const QString oldPanel = QStringLiteral("[PanelTitles]");
    static const QString oldEditor = QStringLiteral("[RFETitles]");
    for (int i = 0; i < source.Count(); ++i) {
        // The source may be a whole query text: most lines hold no "[".
        const QString& line = source[i];
        if (!line.contains(u'[') || (!line.contains(oldPanel) && !line.contains(oldEditor)))
            continue;
        QString renamed = line;
        renamed.replace(oldPanel, QStringLiteral("[Query Panel]"));
        renamed.replace(oldEditor, QStringLiteral("[Result Fields Editor]"));
        source.SetString(i, renamed);
    }
    // Either list may be the destination itself.
    const TStringList ref(reference);
    const TStringList src(source);
    destination.Clear();
    TStringList sections;
    ReadSLSections(ref, sections);
    if (sections.IsEmpty()) {
        TStringList merged(ref);
        takeTexts(merged, src);
        destination.Assign(merged);
        return;
    }
    TStringList refLines;
    TStringList srcLines;
    for (const QString& section : sections) {
        XReadSLSectionValues(0, ref, section, refLines);
        XReadSLSectionValues(0, src, section, srcLines);
        takeTexts(refLines, srcLines);
        destination.Add(u'[' + section + u']');
        destination.AddStrings(refLines);
        // A blank line ends each section; the default titles' own separator is one.
        if (refLines.IsEmpty() || !TrimBlanks(refLines[refLines.Count() - 1]).isEmpty())
            destination.Add(QString());
    }
}

// --- the query's titles

const TStringList& DefaultTitles()
{
    static const TStringList titles({
        QStringLiteral("[Query Panel]"),
        QStringLiteral("ttlFilter=Choose records where @ of the following apply"),
        QStringLiteral("ttlBracket=@ of the following apply"),
        QStringLiteral("ttlAll=all"),
        QStringLiteral("ttlAny=any"),
        QStringLiteral("ttlNone=none"),
        QStringLiteral("ttlNotAll=not all"),
        QStringLiteral("ttlAddCond=Add new &condition"),
        QStringLiteral("ttlAddBracket=Open new &bracket"),
        QStringLiteral("ttlAfterCurrent=after current"),
        QStringLiteral("ttlInsideCurrent=inside current"),
        QStringLiteral("ttlDelRow=&Delete row"),
        QStringLiteral("ttlEnableDisable=&Enable/Disable row"),
        QStringLiteral("ttlClickToAdd=Click here to add new condition"),
        QStringLiteral("ttlSubQueryCaption=Sub-query"),
        QStringLiteral("ttlResultField=Result field"),
        QStringLiteral("ttlAnd=and"),
        QStringLiteral("ttlOr=or"),
        QStringLiteral("ttlConstant=Constant value"),
        QStringLiteral("ttlParameter=Parameter"),
        QStringLiteral("ttlCustomCond=Add custom condition"),
        QStringLiteral("ttlTrue=True"),
        QStringLiteral("ttlFalse=False"),
        QStringLiteral(" "),
        QStringLiteral("[Result Fields Editor]"),
        QStringLiteral("ttlRFETitle=Result Fields Editor"),
        QStringLiteral("ttlFields=&Available fields"),
        QStringLiteral("ttlResFields=Result fields"),
        QStringLiteral("ttlMakeFldHint=Create result field"),
        QStringLiteral("ttlDelFldHint=Delete result field"),
        QStringLiteral("ttlNewFldHint=New result field"),
        QStringLiteral("ttlAddRFldHint=Add to result field"),
        QStringLiteral("ttlSubRFldHint=Subtract from result field"),
        QStringLiteral("ttlMulRFldHint=Multiply by result field"),
        QStringLiteral("ttlDivRFldHint=Divide by result field"),
        QStringLiteral("ttlSortRFldHint=Sort result field"),
        QStringLiteral("ttlNotSorted=Not Sorted"),
        QStringLiteral("ttlAscending=Ascending"),
        QStringLiteral("ttlDescending=Descending"),
        QStringLiteral("ttlSortCaption=Sorted fields"),
        QStringLiteral("ttlSortingColName=Sorting type"),
        QStringLiteral("ttlFieldNmColName=Field Name"),
        QStringLiteral("ttlFieldExprColName=Expression"),
        QStringLiteral("ttlMgsDeleteField=Delete Field \"%s\"?"),
        QStringLiteral("ttlOkBtnCaption=OK"),
        QStringLiteral("ttlCancelBtnCaption=Cancel"),
        QStringLiteral("ttlAsIs=as is"),
        QStringLiteral("ttlJustSorting=just sorting"),
        QStringLiteral("ttlAddBtnCaption=&Add"),
        QStringLiteral("ttlAddBtnHint=Add result field"),
        QStringLiteral("ttlHelpBtnCaption=&Help"),
        QStringLiteral("ttlSUMCaption=Sum"),
        QStringLiteral("ttlCOUNTCaption=Count"),
        QStringLiteral("ttlMINCaption=Minimum"),
        QStringLiteral("ttlMAXCaption=Maximum"),
        QStringLiteral("ttlAVERAGECaption=Average"),
        QStringLiteral("ttlLISTCaption=List"),
        QStringLiteral("ttlCOUNTDISTINCTCaption=Distinct count"),
    });
    return titles;
}

TStringList& TVxQuery::Titles()
{
    FCaches->TitleIndexValid = false;
    return FTitles;
}

void TVxQuery::ensureTitleIndex() const
{
    if (!FCaches->TitleIndexValid) {
        FCaches->TitleIndex.clear();
        FCaches->TitleExact.clear();
        for (const QString& line : FTitles) {
            const qsizetype eq = line.indexOf(u'=');
            if (eq < 0)
                continue;
            const QString key = line.left(eq);
            const QString folded = FoldCase(key);
            // The first line of a name answers, as Values finds it.
            if (FCaches->TitleIndex.contains(folded))
                continue;
            const QString text = line.mid(eq + 1);
            FCaches->TitleIndex.insert(folded, text);
            FCaches->TitleExact.insert(key, text);
        }
        FCaches->TitleIndexValid = true;
        FCaches->LinkWordItems = std::make_shared<WordItems>();
        FCaches->LinkWordItems->Items = TStringList{FCaches->TitleIndex.value(FoldCase(QStringLiteral("ttlAnd"))),
                                            FCaches->TitleIndex.value(FoldCase(QStringLiteral("ttlOr")))};
        FCaches->LinkWordItems->Values = TStringList{QStringLiteral("0"), QStringLiteral("1")};
        FCaches->LinkWordItems->Groups = {{QString(), {0, 1}}};
        for (const bool root : {false, true}) {
            const QString title = FCaches->TitleIndex.value(FoldCase(root ? QStringLiteral("ttlFilter") : QStringLiteral("ttlBracket")));
            const qsizetype at = title.indexOf(u'@');
            BracketWords& words = FCaches->BracketTitles[root ? 1 : 0];
            words.HasAt = at >= 0;
            words.Before = words.HasAt ? title.left(at).trimmed() : QString();
            words.After = words.HasAt ? title.mid(at + 1).trimmed() : QString();
        }
        FCaches->LinkTypeItems.reset();
    }
}

const TVxQuery::BracketWords& TVxQuery::BracketTitle(bool root) const
{
    ensureTitleIndex();
    return FCaches->BracketTitles[root ? 1 : 0];
}

QString TVxQuery::LinkTypeWord(TFilterLinkType linkType) const
{
    static const char* const titles[] = {"ttlAll", "ttlAny", "ttlNone", "ttlNotAll"};
    return GetTitle(QLatin1String(titles[linkType]));
}

std::shared_ptr<const WordItems> TVxQuery::LinkTypeItems() const
{
    ensureTitleIndex();
    if (FCaches->LinkTypeItems && FCaches->LinkTypeItemsFor == FLinkTypes)
        return FCaches->LinkTypeItems;
    auto items = std::make_shared<WordItems>();
    QList<int> indexes;
    for (int t = fltAll; t <= fltNotAll; ++t)
        if (FLinkTypes.Contains(static_cast<TFilterLinkType>(t))) {
            const QString word = LinkTypeWord(static_cast<TFilterLinkType>(t));
            indexes.append(items->Items.Count());
            items->Items.Add(word);
            items->Values.Add(word);
        }
    if (!indexes.isEmpty())
        items->Groups.append({QString(), indexes});
    FCaches->LinkTypeItems = std::move(items);
    FCaches->LinkTypeItemsFor = FLinkTypes;
    return FCaches->LinkTypeItems;
}

QString TVxQuery::GetTitle(const QString& name) const
{
    ensureTitleIndex();
    // Names are nearly always asked for as the titles spell them: no folding.
    const auto exact = FCaches->TitleExact.constFind(BorrowedKey(name));
    if (exact != FCaches->TitleExact.constEnd())
        return exact.value();
    return FCaches->TitleIndex.value(FoldCase(name));
}

void TVxQuery::FillLinkWordList(TQueryWord& word) const
{
    ensureTitleIndex();
    word.LoadItems(FCaches->LinkWordItems);
}

void TVxQuery::SetTitle(const QString& name, const QString& text)
{
    if (FTitles.IndexOfName(name) < 0)
        return;
    FTitles.SetValue(name, text);
    FCaches->TitleIndexValid = false;
}

void TVxQuery::SetTitles(const TStringList& lines)
{
    TStringList source(lines);
    LoadTitlesFromStrings(FDefTitles, FTitles, source);
    FCaches->TitleIndexValid = false;
}

void TVxQuery::LoadDefTitles()
{
    FDefTitles.Assign(DefaultTitles());
}

void TVxQuery::LoadOldTitlesFromStrings(const TStringList& lines)
{
    const QStringList& keys = OldTitleKeys();
    const int last = qMin(lines.Count(), static_cast<int>(keys.size()) - 1);
    for (int i = 0; i <= last; ++i) {
        const QString text = lines.Values(QStringLiteral("Title") + QString::number(i));
        if (!TrimBlanks(text).isEmpty())
            SetTitle(keys.at(i), text);
    }
}

void TVxQuery::MergeDFMTitles(const TStringList& lines)
{
    const QStringList& keys = OldTitleKeys();
    const int count = qMin(lines.Count(), static_cast<int>(keys.size()));
    for (int i = 0; i < count; ++i)
        if (!TrimBlanks(lines[i]).isEmpty())
            SetTitle(keys.at(i), lines[i]);
}

} // namespace brindle
