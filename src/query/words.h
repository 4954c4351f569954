#pragma once
// TQueryWord: one word of a row's sentence (a field, an operator, a value, a
// link type or a conjunction) without any widget. It holds the value the
// word stands for and the caption shown for it, the items a list offers,
// which editor a click would open and that editor's settings, and the
// fixed, enabled, visible and hint state. The query panel makes one label
// widget per word and keeps it in step; everything the condition tree reads
// or writes of a word lives here, so the tree works without widgets. A word
// of a row tells its row's query of every change, which passes it on to its
// views.

#include <brindle/brindle_core_export.h>
#include <brindle/foundations/enums.h>
#include <brindle/foundations/errors.h>
#include <brindle/foundations/object_list.h>
#include <brindle/foundations/string_list.h>

#include <QHash>
#include <QObject>

#include <functional>
#include <memory>

namespace brindle {

// Which editor a click on the word opens.
enum TWordEditor {
    weNone,      // a plain label that opens nothing
    weCustom,    // the host's drop-down (a custom value, a sub-query)
    weEdit,      // a text edit
    weMaskEdit,  // a masked edit
    weDateTime,  // a date or time picker
    wePopup,     // a popup menu of grouped items
    weListBox,   // a list box
    weCheckList  // a list of check boxes; value and caption are comma texts
};

enum TDateTimeEditKind { ekTime, ekDate };

// The caption a word shows when its caption is empty.
inline const QString EmptyWordCaption = QStringLiteral("_____");

// A word's place in its row's sentence: the one address of a word. Each
// role names at most one word of a row.
enum TWordRole {
    wrText,           // plain text before: a bracket's caption, a predefined condition's caption
    wrLinkType,       // a bracket's link type ("all", "any", ...)
    wrTextAfter,      // a bracket's text after its link type
    wrField,          // a simple condition's field
    wrOperator,       // a simple condition's operator
    wrValue1,         // the first value
    wrValueSeparator, // the text between the two values
    wrValue2,         // the second value
    wrLogicalOperator, // "and"/"or" between rows
    wrSorting         // a result column's sorting
};

// The roles in the order a sentence reads them; a row lacks some.
inline constexpr TWordRole SentenceOrder[] = {wrText,   wrLinkType, wrTextAfter,      wrField,          wrOperator,
                                              wrValue1, wrValueSeparator, wrValue2, wrLogicalOperator};
// A result column's words: its formula read around its field, then its sorting.
inline constexpr TWordRole ResultFieldOrder[] = {wrText, wrField, wrTextAfter, wrSorting};

class TQueryWord;

// Tells of a word's changes, to any number of listeners. A word makes one
// only when something listens: a query of ten thousand rows has sixty
// thousand words, and few of them are ever on screen.
class BRINDLE_CORE_EXPORT TWordNotifier : public QObject {
    Q_OBJECT
signals:
    // After every change of what the word shows.
    void changed(brindle::TQueryWord* word);
};

// A named group of item indexes of a list word.
class BRINDLE_CORE_EXPORT TItemGroup {
public:
    explicit TItemGroup(const QString& name = {}) : FGroupName(name) {}
    const QString& GroupName() const { return FGroupName; }
    void SetGroupName(const QString& name) { FGroupName = name; }
    QList<int> Indexes;

private:
    QString FGroupName;
};

class BRINDLE_CORE_EXPORT TItemGroupList : public TVxObjectList<TItemGroup> {
public:
    // Creates a group holding one index; returns its position.
    int AddGroup(const QString& name, int firstIndex);
    // First group of that name, letter case ignored; none when absent.
    TItemGroup* FindByName(const QString& name) const;
};

// The items a list word offers: captions and values in parallel, named
// groups of item indexes, and optionally an index of the values (each
// value's first position). One block serves many words (the field list of
// every row), so a shared block is never changed: a word that changes its
// items first takes a copy of its own.
struct BRINDLE_CORE_EXPORT WordItems {
    TStringList Items;
    TStringList Values;
    QList<std::pair<QString, QList<int>>> Groups;
    TextHash<int> ValueIndex; // empty: none
    // Indexes every value at its first position.
    void IndexValues()
    {
        ValueIndex.clear();
        ValueIndex.reserve(Values.Count());
        for (int i = Values.Count() - 1; i >= 0; --i)
            ValueIndex.insert(Values[i], i);
    }
};

class TFilterRow;

class BRINDLE_CORE_EXPORT TQueryWord : public TObject {
public:
    TQueryWord() = default;
    explicit TQueryWord(TWordEditor editor) : FEditor(editor) {}

    // Writing a different value stores it and applies ValueChanged.
    const QString& Value() const { return FValue; }
    void SetValue(const QString& value);
    // The caption as set; ShownCaption gives the placeholder for an empty one.
    const QString& Caption() const { return FCaption; }
    void SetCaption(const QString& caption);
    QString ShownCaption() const { return FCaption.isEmpty() ? EmptyWordCaption : FCaption; }

    TWordEditor Editor() const { return FEditor; }
    // Changing the editor keeps value, caption and items.
    void SetEditor(TWordEditor editor) { setAndNotify(FEditor, editor); }
    bool IsList() const { return FEditor == wePopup || FEditor == weListBox || FEditor == weCheckList; }

    // Editor settings.
    TValueType ValueType = vtString;
    QString EditMask;
    bool UseFormattedValue = false;
    int MaxLength = 0; // 0: unlimited
    TDateTimeEditKind DateKind = ekDate;
    bool SortList = false;
    int MaxItemCount = 0; // popup column length; 0: none
    // Two separate case options; a value is upper-cased while both are on.
    bool AutoUpperCase() const { return (FOptions & 1) != 0; }
    void SetAutoUpperCase(bool on);
    bool AutoLowerCase() const { return (FOptions & 2) != 0; }
    void SetAutoLowerCase(bool on);
    int Options() const { return FOptions; }
    void SetOptions(int options) { FOptions = options & 3; }

    // A fixed word (a parameter's) opens no editor.
    bool Fixed() const { return FFixed; }
    void SetFixed(bool fixed) { setAndNotify(FFixed, fixed); }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool enabled) { setAndNotify(FEnabled, enabled); }
    bool Visible() const { return FVisible; }
    void SetVisible(bool visible) { setAndNotify(FVisible, visible); }
    const QString& Hint() const { return FHint; }
    void SetHint(const QString& hint) { setAndNotify(FHint, hint); }

    // Items of a list word: captions and values in parallel, grouped.
    const TStringList& Items() const { return list() ? FList->Items : emptyList(); }
    const TStringList& Values() const { return list() ? FList->Values : emptyList(); }
    const TItemGroupList& Groups() const
    {
        materializeGroups();
        return FGroups;
    }
    void AddItem(const QString& groupName, const QString& value, const QString& item);
    void AddItems(const QString& groupName, const TStringList& values, const TStringList& items);
    // Empties items, values and groups; value and caption stay.
    void ClearAll();
    int ItemIndex() const
    {
        list();
        return FItemIndex;
    }
    // Chooses an item: its caption and value become the word's; -1 empties
    // the value. An index at or past the values raises EDDLabelError
    // "Index out of bounds" and changes nothing.
    void SetItemIndex(int index);
    // The default group (unnamed, every index) a list editor shows when the
    // items carry none.
    void EnsureDefaultGroup();
    // Replaces items, values and groups at once with a block that may be
    // shared with other words: many words offer one long list cheaply.
    void LoadItems(std::shared_ptr<const WordItems> items)
    {
        FList = std::move(items);
        FListSource = nullptr;
        FGroups.Clear();
        // Groups are made when first asked for: most words never are.
        FGroupsMade = false;
        FItemIndex = -1;
        FChoiceWaits = false;
        changed();
    }
    // LoadItems of the block the source gives, made when the items are
    // first asked for: a query of ten thousand rows on a model of twenty
    // thousand fields need not list the fields before a popup shows them.
    void LoadItemsWhenAsked(std::function<std::shared_ptr<const WordItems>()> source)
    {
        FList.reset();
        FListSource = std::move(source);
        FGroups.Clear();
        FGroupsMade = false;
        FItemIndex = -1;
        FChoiceWaits = false;
        changed();
    }
    // Chooses the item of the value, adding it (with its caption, in the
    // group) when the list lacks it, then shows the caption: the end of
    // SetItemIndex(IndexOfValue(value)) and SetCaption(caption). Items
    // still to be made are not made for it; the item is found when they are.
    void ChooseValue(const QString& groupName, const QString& value, const QString& item, const QString& caption);
    // The first item whose value is the text, letter case counting; -1 when none.
    int IndexOfValue(const QString& value) const;

    // Tells of every change of what the word shows: value, caption, items,
    // editor, fixed, enabled, visible or hint (a widget that shows the word
    // follows it through this). Made on first use; owned by the word.
    TWordNotifier* Notifier();

    // The row whose word this is; none for a word of its own (a label's).
    TFilterRow* Row() const { return FRow; }

private:
    friend class TFilterRow;

    void ValueChanged();
    void changed();
    // Most sets change nothing (a new word enabled, a visible word shown):
    // those stay a comparison.
    template <typename T>
    void setAndNotify(T& member, const T& value)
    {
        if (member == value)
            return;
        member = value;
        changed();
    }
    void addItem(const QString& groupName, const QString& value, const QString& item);
    static const TStringList& emptyList();
    // The items to change: the word's own block, copied from a shared one
    // first; the copy has no value index.
    WordItems& ownItems();
    void materializeGroups() const;
    // The items, made first when they wait for their source; a choice that
    // waits for them then finds its item.
    const WordItems* list() const
    {
        if (FListSource)
            makeList();
        return FList.get();
    }
    void makeList() const;

    QString FValue;
    QString FCaption;
    TWordEditor FEditor = weNone;
    int FOptions = 0;
    mutable std::shared_ptr<const WordItems> FList;
    mutable std::function<std::shared_ptr<const WordItems>()> FListSource;
    mutable TItemGroupList FGroups;
    mutable bool FGroupsMade = true;
    mutable int FItemIndex = -1;
    // What ChooseValue adds when the items lack its value.
    mutable bool FChoiceWaits = false;
    mutable QString FChoiceGroup;
    mutable QString FChoiceItem;
    bool FFixed = false;
    bool FEnabled = true;
    bool FVisible = true;
    QString FHint;
    TFilterRow* FRow = nullptr;
    std::unique_ptr<TWordNotifier> FNotifier;
};

} // namespace brindle
