#pragma once
// The query base: a list of stored queries with one current query, opened,
// closed and scrolled like a data set. The base knows only the list, the
// position and the links that follow it; where the queries live (files, a
// table) is a descendant's business. A query follows a base through its
// TVxQPBaseLink and exchanges its query text with the base's items.
//
// Ownership: the base owns its items; links are owned by whoever made them
// (a query owns its own link) and are only referred to by the base. A base
// that is destroyed leaves every link attached to it with no base.

#include <brindle/brindle_core_export.h>
#include <brindle/foundations/errors.h>
#include <brindle/foundations/object_list.h>
#include <brindle/foundations/string_list.h>

#include <QObject>
#include <QString>

#include <functional>
#include <vector>

namespace brindle {

class TVxQuery;
class TVxQueryBase;

enum TQBOperation { qboListLoaded, qboListCleared, qboItemAdded, qboItemDeleted };

// Error codes of EVxQueryBaseError.
inline constexpr int qbeListIndex = 0;     // a position outside the list
inline constexpr int qbeNoBase = 1;        // an item that belongs to no base
inline constexpr int qbeStorage = 2;       // storage could not be read or written
inline constexpr int qbeNotOpen = 3;       // a stored query added to a closed base
inline constexpr int qbeBadTableName = 4;  // a table name that is not a plain identifier

// The query name of a query text (the "QueryName" of its Main section).
BRINDLE_CORE_EXPORT QString ContentQueryName(const TStringList& content);
// The description of a query text: its Description section (searched after
// Main) without the blank lines that close it, lines joined by line feeds.
BRINDLE_CORE_EXPORT QString ContentDescription(const TStringList& content);
// Puts the name into the text's Main section and the description into its
// Description section, adding either section when missing and keeping
// every other line. An empty text becomes a complete text of an empty query.
BRINDLE_CORE_EXPORT void SetContentProperties(TStringList& content, const QString& name,
                                              const QString& description);
// The text of an empty query with the name.
BRINDLE_CORE_EXPORT void NewQueryContent(TStringList& content, const QString& name);

// One stored query: its name, its description and, through a descendant,
// its content. The base that holds the item owns it.
class BRINDLE_CORE_EXPORT TVxQueryItem {
public:
    TVxQueryItem() = default;
    TVxQueryItem(QString queryName, QString description);
    TVxQueryItem(const TVxQueryItem&) = delete;
    TVxQueryItem& operator=(const TVxQueryItem&) = delete;
    virtual ~TVxQueryItem();

    const QString& QueryName() const { return FQueryName; }
    // A different name is stored (by a descendant, which may raise and then
    // changes nothing) and reported to the base.
    void SetQueryName(const QString& value);
    const QString& Description() const { return FDescription; }
    void SetDescription(const QString& value);
    TVxQueryBase* QueryBase() const { return FQueryBase; }

    // Reads the query's content from storage into the lines; nothing here.
    virtual void LoadContent(TStringList& content);
    // Writes the lines to storage; nothing here.
    virtual void SaveContent(const TStringList& content);

    // The content of the first link that gives one; code 1 without a base.
    bool TakeContent(TStringList& content);
    // Hands the content to the first link that takes it; code 1 without a base.
    bool GiveContent(const TStringList& content);
    // Stores the content a link gives. When no link gives one, nothing is
    // written: the stored query is never replaced by an empty text.
    void Save();
    // Hands the stored content to the first link that takes it.
    void Load();

protected:
    // Reports the item changed to its base.
    void Changed();
    // Writes a new name and description to storage before the item takes
    // them; a descendant raises when it cannot, and the item keeps its own.
    virtual void StoreProperties(const QString& queryName, const QString& description);
    // Takes the name and description that storage now holds, reporting the
    // item changed when either differs.
    void AdoptProperties(const QString& queryName, const QString& description);

private:
    friend class TVxQueryBase;

    QString FQueryName;
    QString FDescription;
    TVxQueryBase* FQueryBase = nullptr;
};

// Follows a query base. The link attaches and detaches itself; the base
// only refers to it. A link that is destroyed detaches itself.
class BRINDLE_CORE_EXPORT TVxQueryBaseLink {
public:
    TVxQueryBaseLink() = default;
    TVxQueryBaseLink(const TVxQueryBaseLink&) = delete;
    TVxQueryBaseLink& operator=(const TVxQueryBaseLink&) = delete;
    virtual ~TVxQueryBaseLink();

    TVxQueryBase* QueryBase() const { return FQueryBase; }
    void SetQueryBase(TVxQueryBase* value);

    virtual void QueryChanged(int index);
    virtual void QueryIndexChanged();
    virtual void QueryListChanged(TQBOperation operation, int index);
    // Writes the follower's query into the lines; false when it has none.
    virtual bool GetQueryContent(TStringList& content);
    // Reads the follower's query from the lines; false when it takes none.
    virtual bool PutQueryContent(const TStringList& content);

private:
    friend class TVxQueryBase;

    TVxQueryBase* FQueryBase = nullptr;
};

// The link of a query: the query shows the base's current query and hands
// its own text over when the base asks. The query owns its link.
class BRINDLE_CORE_EXPORT TVxQPBaseLink : public TVxQueryBaseLink {
public:
    explicit TVxQPBaseLink(TVxQuery* queryPanel);

    TVxQuery* QueryPanel() const { return FQueryPanel; }

    void QueryChanged(int index) override;
    void QueryIndexChanged() override;
    void QueryListChanged(TQBOperation operation, int index) override;
    bool GetQueryContent(TStringList& content) override;
    bool PutQueryContent(const TStringList& content) override;

private:
    TVxQuery* FQueryPanel;
};

// The list of stored queries and the current position. A descendant fills
// the list in LoadQueries and keeps each item's content.
class BRINDLE_CORE_EXPORT TVxQueryBase : public QObject {
    Q_OBJECT

public:
    using TNotifyEvent = std::function<void(QObject* sender)>;

    explicit TVxQueryBase(QObject* parent = nullptr);
    ~TVxQueryBase() override;

    bool Active() const { return FActive; }
    // Opening an open base changes nothing.
    virtual void Open();
    virtual void Close();

    int ItemIndex() const { return FItemIndex; }
    // Moving to a position outside the list raises code 0 and moves nothing.
    void SetItemIndex(int value);
    int GetCount() const { return FQueries.Count(); }
    TVxQueryItem* GetQuery(int index) const { return FQueries.GetItem(index); }
    TVxQueryItem* GetCurrentQuery() const;
    // First item of the name, letter case ignored; -1 when none.
    int IndexByName(const QString& name) const;

    // A new stored query added to the list; none in the base class.
    virtual TVxQueryItem* NewQuery();
    // Frees the item. A deleted current query passes the position on to
    // the query that takes its place (or the one before, for the last);
    // after any other deletion the same query stays current.
    virtual void DeleteQuery(int index);
    void EraseQuery(int index);
    // Appends the item and takes ownership; returns its position.
    int AddItem(std::unique_ptr<TVxQueryItem> item);
    // Frees every item without notifying the links.
    void ClearQueries();

    void AddLink(TVxQueryBaseLink* link);
    void DelLink(TVxQueryBaseLink* link);
    int LinkCount() const { return static_cast<int>(FLinks.size()); }

    // While set, the links hear nothing.
    bool BaseUpdating() const { return FBaseUpdating; }
    void SetBaseUpdating(bool updating) { FBaseUpdating = updating; }

    // Notifications to the links, in the order they were attached.
    void QueryChanged(int index);
    void IndexChanged();
    void ListChanged(TQBOperation operation, int index);

    // Asks the links in order until one gives (takes) the content.
    bool NeedContent(TStringList& content);
    bool GiveContent(const TStringList& content);

    TNotifyEvent BeforeScroll;
    TNotifyEvent AfterScroll;
    TNotifyEvent BeforeOpen;
    TNotifyEvent AfterOpen;
    TNotifyEvent BeforeClose;
    TNotifyEvent AfterClose;

protected:
    // Fills the list of items when the base opens; the links hear of the
    // loaded list once, afterwards.
    virtual void LoadQueries() = 0;
    virtual void DoBeforeScroll();
    virtual void DoAfterScroll();
    virtual void DoBeforeOpen();
    virtual void DoAfterOpen();
    virtual void DoBeforeClose();
    virtual void DoAfterClose();

    // Raises code 0 for a position outside the list.
    void CheckIndex(int index) const;

private:
    void scrollTo(int value);
    // The links to call now, skipping any detached by an earlier one.
    template <typename F>
    void forEachLink(F&& call);

    std::vector<TVxQueryBaseLink*> FLinks;
    TVxObjectList<TVxQueryItem> FQueries;
    int FItemIndex = -1;
    bool FActive = false;
    bool FBaseUpdating = false;
};

} // namespace brindle
