// Titles of a query: the defaults, the merge of stored titles into a
// reference list, the two older storage forms, and the query's titles part
// with its look-ups.

#include <brindle/query/titles.h>

#include <brindle/query/query.h>
#include <brindle/query/query_titles_p.h>
#include <brindle/foundations/sections.h>
#include <brindle/foundations/text_utils.h>

#include <QCoreApplication>
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

namespace {

// A section header or blank separator has no text; a title is key=text.
struct DefaultTitle {
    const char* key;
    const char* text;
};

constexpr DefaultTitle kDefaultTitles[] = {
    {"[Query Panel]", nullptr},
    {"ttlFilter", QT_TRANSLATE_NOOP("brindle::Titles", "Choose records where @ of the following apply")},
    {"ttlBracket", QT_TRANSLATE_NOOP("brindle::Titles", "@ of the following apply")},
    {"ttlAll", QT_TRANSLATE_NOOP("brindle::Titles", "all")},
    {"ttlAny", QT_TRANSLATE_NOOP("brindle::Titles", "any")},
    {"ttlNone", QT_TRANSLATE_NOOP("brindle::Titles", "none")},
    {"ttlNotAll", QT_TRANSLATE_NOOP("brindle::Titles", "not all")},
    {"ttlAddCond", QT_TRANSLATE_NOOP("brindle::Titles", "Add new &condition")},
    {"ttlAddBracket", QT_TRANSLATE_NOOP("brindle::Titles", "Open new &bracket")},
    {"ttlAfterCurrent", QT_TRANSLATE_NOOP("brindle::Titles", "after current")},
    {"ttlInsideCurrent", QT_TRANSLATE_NOOP("brindle::Titles", "inside current")},
    {"ttlDelRow", QT_TRANSLATE_NOOP("brindle::Titles", "&Delete row")},
    {"ttlEnableDisable", QT_TRANSLATE_NOOP("brindle::Titles", "&Enable/Disable row")},
    {"ttlClickToAdd", QT_TRANSLATE_NOOP("brindle::Titles", "Click here to add new condition")},
    {"ttlSubQueryCaption", QT_TRANSLATE_NOOP("brindle::Titles", "Sub-query")},
    {"ttlResultField", QT_TRANSLATE_NOOP("brindle::Titles", "Result field")},
    {"ttlAnd", QT_TRANSLATE_NOOP("brindle::Titles", "and")},
    {"ttlOr", QT_TRANSLATE_NOOP("brindle::Titles", "or")},
    {"ttlConstant", QT_TRANSLATE_NOOP("brindle::Titles", "Constant value")},
    {"ttlParameter", QT_TRANSLATE_NOOP("brindle::Titles", "Parameter")},
    {"ttlCustomCond", QT_TRANSLATE_NOOP("brindle::Titles", "Add custom condition")},
    {"ttlTrue", QT_TRANSLATE_NOOP("brindle::Titles", "True")},
    {"ttlFalse", QT_TRANSLATE_NOOP("brindle::Titles", "False")},
    {" ", nullptr},
    {"[Result Fields Editor]", nullptr},
    {"ttlRFETitle", QT_TRANSLATE_NOOP("brindle::Titles", "Result Fields Editor")},
    {"ttlFields", QT_TRANSLATE_NOOP("brindle::Titles", "&Available fields")},
    {"ttlResFields", QT_TRANSLATE_NOOP("brindle::Titles", "Result fields")},
    {"ttlMakeFldHint", QT_TRANSLATE_NOOP("brindle::Titles", "Create result field")},
    {"ttlDelFldHint", QT_TRANSLATE_NOOP("brindle::Titles", "Delete result field")},
    {"ttlNewFldHint", QT_TRANSLATE_NOOP("brindle::Titles", "New result field")},
    {"ttlAddRFldHint", QT_TRANSLATE_NOOP("brindle::Titles", "Add to result field")},
    {"ttlSubRFldHint", QT_TRANSLATE_NOOP("brindle::Titles", "Subtract from result field")},
    {"ttlMulRFldHint", QT_TRANSLATE_NOOP("brindle::Titles", "Multiply by result field")},
    {"ttlDivRFldHint", QT_TRANSLATE_NOOP("brindle::Titles", "Divide by result field")},
    {"ttlSortRFldHint", QT_TRANSLATE_NOOP("brindle::Titles", "Sort result field")},
    {"ttlNotSorted", QT_TRANSLATE_NOOP("brindle::Titles", "Not Sorted")},
    {"ttlAscending", QT_TRANSLATE_NOOP("brindle::Titles", "Ascending")},
    {"ttlDescending", QT_TRANSLATE_NOOP("brindle::Titles", "Descending")},
    {"ttlSortCaption", QT_TRANSLATE_NOOP("brindle::Titles", "Sorted fields")},
    {"ttlSortingColName", QT_TRANSLATE_NOOP("brindle::Titles", "Sorting type")},
    {"ttlFieldNmColName", QT_TRANSLATE_NOOP("brindle::Titles", "Field Name")},
    {"ttlFieldExprColName", QT_TRANSLATE_NOOP("brindle::Titles", "Expression")},
    {"ttlMgsDeleteField", QT_TRANSLATE_NOOP("brindle::Titles", "Delete Field \"%s\"?")},
    {"ttlOkBtnCaption", QT_TRANSLATE_NOOP("brindle::Titles", "OK")},
    {"ttlCancelBtnCaption", QT_TRANSLATE_NOOP("brindle::Titles", "Cancel")},
    {"ttlAsIs", QT_TRANSLATE_NOOP("brindle::Titles", "as is")},
    {"ttlJustSorting", QT_TRANSLATE_NOOP("brindle::Titles", "just sorting")},
    {"ttlAddBtnCaption", QT_TRANSLATE_NOOP("brindle::Titles", "&Add")},
    {"ttlAddBtnHint", QT_TRANSLATE_NOOP("brindle::Titles", "Add result field")},
    {"ttlHelpBtnCaption", QT_TRANSLATE_NOOP("brindle::Titles", "&Help")},
    {"ttlSUMCaption", QT_TRANSLATE_NOOP("brindle::Titles", "Sum")},
    {"ttlCOUNTCaption", QT_TRANSLATE_NOOP("brindle::Titles", "Count")},
    {"ttlMINCaption", QT_TRANSLATE_NOOP("brindle::Titles", "Minimum")},
    {"ttlMAXCaption", QT_TRANSLATE_NOOP("brindle::Titles", "Maximum")},
    {"ttlAVERAGECaption", QT_TRANSLATE_NOOP("brindle::Titles", "Average")},
    {"ttlLISTCaption", QT_TRANSLATE_NOOP("brindle::Titles", "List")},
    {"ttlCOUNTDISTINCTCaption", QT_TRANSLATE_NOOP("brindle::Titles", "Distinct count")},
};

TStringList translatedTitles()
{
    TStringList titles;
    for (const DefaultTitle& t : kDefaultTitles)
        titles.Add(t.text ? QString::fromLatin1(t.key) + u'=' + QCoreApplication::translate("brindle::Titles", t.text)
                          : QString::fromLatin1(t.key));
    return titles;
}

TStringList& defaultTitles()
{
    static TStringList titles = translatedTitles();
    return titles;
}

} // namespace

const TStringList& DefaultTitles()
{
    return defaultTitles();
}

void TranslateDefaultTitles()
{
    defaultTitles() = translatedTitles();
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
