// Titles of a query: the defaults, the merge of stored titles into a
// reference list, the two older storage forms, and the query's titles part
// with its look-ups.

#include <brindle/query/titles.h>

#include <brindle/query/query.h>
#include <brindle/query/query_titles_p.h>
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

// --- the titles part

QueryTitles::QueryTitles() : FLines(DefaultTitles()), FDefaults(DefaultTitles()), FFull(DefaultTitles()) {}

TStringList& QueryTitles::EditLines()
{
    FIndexValid = false;
    return FLines;
}

void QueryTitles::LoadDefaults()
{
    FDefaults.Assign(DefaultTitles());
}

void QueryTitles::ensureIndex() const
{
    if (FIndexValid)
        return;
    FIndex.clear();
    FExact.clear();
    for (const QString& line : FLines) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            continue;
        const QString key = line.left(eq);
        const QString folded = FoldCase(key);
        // The first line of a name answers, as Values finds it.
        if (FIndex.contains(folded))
            continue;
        const QString text = line.mid(eq + 1);
        FIndex.insert(folded, text);
        FExact.insert(key, text);
    }
    FIndexValid = true;
    FLinkWordItems = std::make_shared<WordItems>();
    FLinkWordItems->Items = TStringList{FIndex.value(FoldCase(QStringLiteral("ttlAnd"))),
                                        FIndex.value(FoldCase(QStringLiteral("ttlOr")))};
    FLinkWordItems->Values = TStringList{QStringLiteral("0"), QStringLiteral("1")};
    FLinkWordItems->Groups = {{QString(), {0, 1}}};
    for (const bool root : {false, true}) {
        const QString title = FIndex.value(FoldCase(root ? QStringLiteral("ttlFilter") : QStringLiteral("ttlBracket")));
        const qsizetype at = title.indexOf(u'@');
        TVxQuery::BracketWords& words = FBrackets[root ? 1 : 0];
        words.HasAt = at >= 0;
        words.Before = words.HasAt ? title.left(at).trimmed() : QString();
        words.After = words.HasAt ? title.mid(at + 1).trimmed() : QString();
    }
    FLinkTypeItems.reset();
}

QString QueryTitles::Get(const QString& name) const
{
    ensureIndex();
    // Names are nearly always asked for as the titles spell them: no folding.
    const auto exact = FExact.constFind(BorrowedKey(name));
    if (exact != FExact.constEnd())
        return exact.value();
    return FIndex.value(FoldCase(name));
}

void QueryTitles::Set(const QString& name, const QString& text)
{
    if (FLines.IndexOfName(name) < 0)
        return;
    FLines.SetValue(name, text);
    FIndexValid = false;
}

void QueryTitles::Merge(const TStringList& lines)
{
    TStringList source(lines);
    LoadTitlesFromStrings(FDefaults, FLines, source);
    FIndexValid = false;
}

void QueryTitles::MergeStored(TStringList& source)
{
    LoadTitlesFromStrings(FFull, FLines, source);
    FIndexValid = false;
}

void QueryTitles::SetStreamed(const TStringList& lines)
{
    FLines = lines;
    FIndexValid = false;
}

void QueryTitles::Settle()
{
    // Titles stored as name=text lines under sections are merged into the
    // defaults; the oldest forms hold one text per line.
    TStringList stored(FLines);
    if (stored.Count() >= 3 && stored[0].contains(u'[') && stored[2].contains(u'=')) {
        LoadTitlesFromStrings(FDefaults, FLines, stored);
    } else {
        FLines.Assign(FDefaults);
        MergeDFM(stored);
    }
    FIndexValid = false;
    FFull.Assign(FLines);
}

void QueryTitles::LoadOld(const TStringList& lines)
{
    const QStringList& keys = OldTitleKeys();
    const int last = qMin(lines.Count(), static_cast<int>(keys.size()) - 1);
    for (int i = 0; i <= last; ++i) {
        const QString text = lines.Values(QStringLiteral("Title") + QString::number(i));
        if (!TrimBlanks(text).isEmpty())
            Set(keys.at(i), text);
    }
}

void QueryTitles::MergeDFM(const TStringList& lines)
{
    const QStringList& keys = OldTitleKeys();
    const int count = qMin(lines.Count(), static_cast<int>(keys.size()));
    for (int i = 0; i < count; ++i)
        if (!TrimBlanks(lines[i]).isEmpty())
            Set(keys.at(i), lines[i]);
}

const TVxQuery::BracketWords& QueryTitles::Bracket(bool root) const
{
    ensureIndex();
    return FBrackets[root ? 1 : 0];
}

const std::shared_ptr<WordItems>& QueryTitles::LinkWordItems() const
{
    ensureIndex();
    return FLinkWordItems;
}

QString QueryTitles::LinkTypeWord(TFilterLinkType linkType) const
{
    static const char* const titles[] = {"ttlAll", "ttlAny", "ttlNone", "ttlNotAll"};
    return Get(QLatin1String(titles[linkType]));
}

std::shared_ptr<const WordItems> QueryTitles::LinkTypeItems(TFilterLinkTypes types) const
{
    ensureIndex();
    if (FLinkTypeItems && FLinkTypeItemsFor == types)
        return FLinkTypeItems;
    auto items = std::make_shared<WordItems>();
    QList<int> indexes;
    for (int t = fltAll; t <= fltNotAll; ++t)
        if (types.Contains(static_cast<TFilterLinkType>(t))) {
            const QString word = LinkTypeWord(static_cast<TFilterLinkType>(t));
            indexes.append(items->Items.Count());
            items->Items.Add(word);
            items->Values.Add(word);
        }
    if (!indexes.isEmpty())
        items->Groups.append({QString(), indexes});
    FLinkTypeItems = std::move(items);
    FLinkTypeItemsFor = types;
    return FLinkTypeItems;
}

// --- the query's title calls

TStringList& TVxQuery::Titles() { return FTitles->EditLines(); }
const TStringList& TVxQuery::Titles() const { return FTitles->Lines(); }
const TStringList& TVxQuery::DefTitles() const { return FTitles->Defaults(); }
const TStringList& TVxQuery::FullTitles() const { return FTitles->Full(); }
QString TVxQuery::GetTitle(const QString& name) const { return FTitles->Get(name); }
void TVxQuery::SetTitle(const QString& name, const QString& text) { FTitles->Set(name, text); }
void TVxQuery::SetTitles(const TStringList& lines) { FTitles->Merge(lines); }
void TVxQuery::LoadDefTitles() { FTitles->LoadDefaults(); }
void TVxQuery::LoadOldTitlesFromStrings(const TStringList& lines) { FTitles->LoadOld(lines); }
void TVxQuery::MergeDFMTitles(const TStringList& lines) { FTitles->MergeDFM(lines); }
const TVxQuery::BracketWords& TVxQuery::BracketTitle(bool root) const { return FTitles->Bracket(root); }
QString TVxQuery::LinkTypeWord(TFilterLinkType linkType) const { return FTitles->LinkTypeWord(linkType); }
std::shared_ptr<const WordItems> TVxQuery::LinkTypeItems() const { return FTitles->LinkTypeItems(FLinkTypes); }
void TVxQuery::FillLinkWordList(TQueryWord& word) const { word.LoadItems(FTitles->LinkWordItems()); }
QStringList TVxQuery::titleLines() const { return FTitles->Lines().Lines(); }
void TVxQuery::setTitleLines(const QStringList& lines) { FTitles->SetStreamed(TStringList(lines)); }

} // namespace brindle
