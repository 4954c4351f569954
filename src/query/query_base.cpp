#include <brindle/query/query_base.h>

#include <brindle/query/query.h>
#include <brindle/foundations/sections.h>

#include <algorithm>

namespace brindle {

namespace {

const QString kMain = QStringLiteral("Main");
const QString kDescription = QStringLiteral("Description");
const QString kQueryName = QStringLiteral("QueryName");

// The line after the section that starts at the header (the next header or
// the end of the text).
int sectionEnd(const TStringList& content, int header)
{
    int i = header + 1;
    while (i < content.Count() && !IsSectionHeader(content[i]))
        ++i;
    return i;
}

// The first header of the section at or after the line; -1 when none.
int findSection(const TStringList& content, int start, const QString& section)
{
    QString name;
    for (int i = qMax(start, 0); i < content.Count(); ++i)
        if (IsSectionHeader(content[i], &name) && name.compare(section, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

// Sets a base's FBaseUpdating for a scope and restores it after.
class QueryBaseUpdate {
public:
    explicit QueryBaseUpdate(TVxQueryBase* base) : FBase(base), FWas(base->BaseUpdating())
    {
        FBase->SetBaseUpdating(true);
    }
    ~QueryBaseUpdate() { FBase->SetBaseUpdating(FWas); }
    QueryBaseUpdate(const QueryBaseUpdate&) = delete;
    QueryBaseUpdate& operator=(const QueryBaseUpdate&) = delete;

private:
    TVxQueryBase* FBase;
    bool FWas;
};

} // namespace

QString ContentQueryName(const TStringList& content)
{
    TStringList main;
    XReadSLSectionValues(0, content, kMain, main);
    return main.Values(kQueryName);
}

QString ContentDescription(const TStringList& content)
{
    // The description is searched after Main, as the query's reader does.
    TStringList lines;
    const int afterMain = XReadSLSectionValues(0, content, kMain, lines);
    XReadSLSectionValues(afterMain, content, kDescription, lines);
    QStringList kept = lines.Lines();
    while (!kept.isEmpty() && kept.last().trimmed().isEmpty())
        kept.removeLast();
    return kept.join(u'\n');
}

void SetContentProperties(TStringList& content, const QString& name, const QString& description)
{
    if (content.IsEmpty())
        NewQueryContent(content, name);

    int main = findSection(content, 0, kMain);
    if (main < 0) {
        content.Insert(0, QStringLiteral("[Main]"));
        content.Insert(1, QString());
        main = 0;
    }
    int mainEnd = sectionEnd(content, main);
    int nameLine = -1;
    for (int i = main + 1; i < mainEnd && nameLine < 0; ++i)
        if (content.Names(i).compare(kQueryName, Qt::CaseInsensitive) == 0)
            nameLine = i;
    if (nameLine >= 0) {
        content.SetString(nameLine, kQueryName + u'=' + name);
    } else {
        content.Insert(main + 1, kQueryName + u'=' + name);
        ++mainEnd;
    }

    TStringList lines;
    lines.SetText(description);
    int header = findSection(content, mainEnd, kDescription);
    if (header < 0) {
        header = mainEnd;
        content.Insert(header, QStringLiteral("[Description]"));
    } else {
        for (int i = sectionEnd(content, header) - 1; i > header; --i)
            content.Delete(i);
    }
    int at = header + 1;
    for (const QString& line : lines)
        content.Insert(at++, line);
    content.Insert(at, QString());
}

void NewQueryContent(TStringList& content, const QString& name)
{
    // A query without a model writes the text of an empty query; its titles
    // would only repeat the defaults.
    TVxQuery blank;
    blank.SetSaveTitles(false);
    blank.SetQueryName(name);
    blank.SaveToStrings(content);
}

// --- TVxQueryItem

TVxQueryItem::TVxQueryItem(QString queryName, QString description)
    : FQueryName(std::move(queryName)), FDescription(std::move(description))
{
}

TVxQueryItem::~TVxQueryItem() = default;

void TVxQueryItem::SetQueryName(const QString& value)
{
    if (value == FQueryName)
        return;
    StoreProperties(value, FDescription);
    FQueryName = value;
    Changed();
}

void TVxQueryItem::SetDescription(const QString& value)
{
    if (value == FDescription)
        return;
    StoreProperties(FQueryName, value);
    FDescription = value;
    Changed();
}

void TVxQueryItem::LoadContent(TStringList&) {}

void TVxQueryItem::SaveContent(const TStringList&) {}

void TVxQueryItem::StoreProperties(const QString&, const QString&) {}

void TVxQueryItem::AdoptProperties(const QString& queryName, const QString& description)
{
    if (queryName == FQueryName && description == FDescription)
        return;
    FQueryName = queryName;
    FDescription = description;
    Changed();
}

void TVxQueryItem::Changed()
{
    if (!FQueryBase)
        return;
    const int index = FQueryBase->IndexByName(FQueryName);
    if (index >= 0)
        FQueryBase->QueryChanged(index);
}

bool TVxQueryItem::TakeContent(TStringList& content)
{
    if (!FQueryBase)
        throw EVxQueryBaseError(qbeNoBase, QStringLiteral("Query base is not specified"));
    return FQueryBase->NeedContent(content);
}

bool TVxQueryItem::GiveContent(const TStringList& content)
{
    if (!FQueryBase)
        throw EVxQueryBaseError(qbeNoBase, QStringLiteral("Query base is not specified"));
    return FQueryBase->GiveContent(content);
}

void TVxQueryItem::Save()
{
    TStringList content;
    if (TakeContent(content))
        SaveContent(content);
}

void TVxQueryItem::Load()
{
    TStringList content;
    LoadContent(content);
    GiveContent(content);
}

// --- TVxQueryBaseLink

TVxQueryBaseLink::~TVxQueryBaseLink()
{
    SetQueryBase(nullptr);
}

void TVxQueryBaseLink::SetQueryBase(TVxQueryBase* value)
{
    if (value == FQueryBase)
        return;
    if (FQueryBase)
        FQueryBase->DelLink(this);
    if (value)
        value->AddLink(this);
}

void TVxQueryBaseLink::QueryChanged(int) {}

void TVxQueryBaseLink::QueryIndexChanged() {}

void TVxQueryBaseLink::QueryListChanged(TQBOperation, int) {}

bool TVxQueryBaseLink::GetQueryContent(TStringList&)
{
    return false;
}

bool TVxQueryBaseLink::PutQueryContent(const TStringList&)
{
    return false;
}

// --- TVxQPBaseLink

TVxQPBaseLink::TVxQPBaseLink(TVxQuery* queryPanel) : FQueryPanel(queryPanel) {}

void TVxQPBaseLink::QueryChanged(int index)
{
    TVxQueryBase* base = QueryBase();
    if (!base || index != base->ItemIndex())
        return;
    const TVxQueryItem* item = base->GetCurrentQuery();
    if (!item)
        return;
    FQueryPanel->Description().SetText(item->Description());
    FQueryPanel->SetQueryName(item->QueryName());
    FQueryPanel->QueryChanged();
}

void TVxQPBaseLink::QueryIndexChanged()
{
    if (QueryBase() && QueryBase()->ItemIndex() >= 0)
        FQueryPanel->LoadCurBaseQuery();
}

void TVxQPBaseLink::QueryListChanged(TQBOperation operation, int index)
{
    if (operation == qboItemDeleted && QueryBase() && index == QueryBase()->ItemIndex())
        FQueryPanel->ClearAll();
}

bool TVxQPBaseLink::GetQueryContent(TStringList& content)
{
    FQueryPanel->SaveToStrings(content);
    return true;
}

bool TVxQPBaseLink::PutQueryContent(const TStringList& content)
{
    FQueryPanel->LoadFromStrings(content);
    return true;
}

// --- the query's side

TVxQueryBase* TVxQuery::QueryBase() const
{
    return FBaseLink->QueryBase();
}

void TVxQuery::SetQueryBase(TVxQueryBase* base)
{
    if (base == FBaseLink->QueryBase())
        return;
    FBaseLink->SetQueryBase(base);
    if (base && base->Active())
        LoadCurBaseQuery();
}

void TVxQuery::LoadCurBaseQuery()
{
    TVxQueryBase* base = QueryBase();
    TVxQueryItem* item = base ? base->GetCurrentQuery() : nullptr;
    if (!item)
        return;
    TStringList content;
    item->LoadContent(content);
    const bool wasUpdating = Updating();
    BeginUpdate();
    try {
        LoadFromStrings(content);
        SetQueryName(item->QueryName());
        Description().SetText(item->Description());
    } catch (...) {
        if (!wasUpdating)
            EndUpdate();
        throw;
    }
    if (!wasUpdating)
        EndUpdate();
    SetModified(false);
}

// --- TVxQueryBase

TVxQueryBase::TVxQueryBase(QObject* parent) : QObject(parent) {}

TVxQueryBase::~TVxQueryBase()
{
    // Links outlive the base: each is left with no base rather than a
    // dangling one.
    for (TVxQueryBaseLink* link : FLinks)
        link->FQueryBase = nullptr;
    FLinks.clear();
    FQueries.Clear();
}

void TVxQueryBase::Open()
{
    if (FActive)
        return;
    DoBeforeOpen();
    try {
        const QueryBaseUpdate silent(this);
        LoadQueries();
    } catch (...) {
        ClearQueries();
        throw;
    }
    ListChanged(qboListLoaded, -1);
    FActive = true;
    if (GetCount() > 0)
        SetItemIndex(0);
    DoAfterOpen();
}

void TVxQueryBase::Close()
{
    if (!FActive)
        return;
    DoBeforeClose();
    FActive = false;
    FItemIndex = -1;
    ClearQueries();
    ListChanged(qboListCleared, -1);
    DoAfterClose();
}

void TVxQueryBase::CheckIndex(int index) const
{
    // The list index message the string and object lists raise.
    if (index < 0 || index >= GetCount())
        throw EVxQueryBaseError(qbeListIndex, QStringLiteral("List index out of bounds (%d)"), {index});
}

void TVxQueryBase::SetItemIndex(int value)
{
    if (value == FItemIndex)
        return;
    CheckIndex(value);
    scrollTo(value);
}

void TVxQueryBase::scrollTo(int value)
{
    DoBeforeScroll();
    FItemIndex = value;
    IndexChanged();
    DoAfterScroll();
}

TVxQueryItem* TVxQueryBase::GetCurrentQuery() const
{
    return FItemIndex >= 0 && FItemIndex < GetCount() ? FQueries.GetItem(FItemIndex) : nullptr;
}

int TVxQueryBase::IndexByName(const QString& name) const
{
    for (int i = 0; i < GetCount(); ++i)
        if (FQueries.GetItem(i)->QueryName().compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

TVxQueryItem* TVxQueryBase::NewQuery()
{
    return nullptr;
}

void TVxQueryBase::DeleteQuery(int index)
{
    CheckIndex(index);
    FQueries.Delete(index);
    // The links hear of the deletion while the position still names it.
    ListChanged(qboItemDeleted, index);
    if (index != FItemIndex) {
        // The current query moved down one place; it stays current.
        if (index < FItemIndex)
            --FItemIndex;
        return;
    }
    if (GetCount() == 0)
        FItemIndex = -1;
    else if (index == GetCount())
        SetItemIndex(index - 1);
    else
        scrollTo(index);
}

void TVxQueryBase::EraseQuery(int index)
{
    DeleteQuery(index);
}

int TVxQueryBase::AddItem(std::unique_ptr<TVxQueryItem> item)
{
    item->FQueryBase = this;
    const int index = FQueries.Add(std::move(item));
    ListChanged(qboItemAdded, index);
    QueryChanged(index);
    return index;
}

void TVxQueryBase::ClearQueries()
{
    FQueries.Clear();
}

void TVxQueryBase::AddLink(TVxQueryBaseLink* link)
{
    if (!link || link->FQueryBase == this)
        return;
    if (link->FQueryBase)
        link->FQueryBase->DelLink(link);
    FLinks.push_back(link);
    link->FQueryBase = this;
}

void TVxQueryBase::DelLink(TVxQueryBaseLink* link)
{
    FLinks.erase(std::remove(FLinks.begin(), FLinks.end(), link), FLinks.end());
    if (link && link->FQueryBase == this)
        link->FQueryBase = nullptr;
}

template <typename F>
void TVxQueryBase::forEachLink(F&& call)
{
    const std::vector<TVxQueryBaseLink*> links = FLinks;
    for (TVxQueryBaseLink* link : links) {
        if (std::find(FLinks.begin(), FLinks.end(), link) == FLinks.end())
            continue;
        if (call(link))
            return;
    }
}

void TVxQueryBase::QueryChanged(int index)
{
    if (FBaseUpdating)
        return;
    forEachLink([&](TVxQueryBaseLink* link) {
        link->QueryChanged(index);
        return false;
    });
}

void TVxQueryBase::IndexChanged()
{
    if (FBaseUpdating)
        return;
    forEachLink([&](TVxQueryBaseLink* link) {
        link->QueryIndexChanged();
        return false;
    });
}

void TVxQueryBase::ListChanged(TQBOperation operation, int index)
{
    if (FBaseUpdating)
        return;
    forEachLink([&](TVxQueryBaseLink* link) {
        link->QueryListChanged(operation, index);
        return false;
    });
}

bool TVxQueryBase::NeedContent(TStringList& content)
{
    bool given = false;
    forEachLink([&](TVxQueryBaseLink* link) { return given = link->GetQueryContent(content); });
    return given;
}

bool TVxQueryBase::GiveContent(const TStringList& content)
{
    bool taken = false;
    forEachLink([&](TVxQueryBaseLink* link) { return taken = link->PutQueryContent(content); });
    return taken;
}

void TVxQueryBase::DoBeforeScroll()
{
    if (BeforeScroll)
        BeforeScroll(this);
}

void TVxQueryBase::DoAfterScroll()
{
    if (AfterScroll)
        AfterScroll(this);
}

void TVxQueryBase::DoBeforeOpen()
{
    if (BeforeOpen)
        BeforeOpen(this);
}

void TVxQueryBase::DoAfterOpen()
{
    if (AfterOpen)
        AfterOpen(this);
}

void TVxQueryBase::DoBeforeClose()
{
    if (BeforeClose)
        BeforeClose(this);
}

void TVxQueryBase::DoAfterClose()
{
    if (AfterClose)
        AfterClose(this);
}

} // namespace brindle
