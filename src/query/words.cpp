#include <brindle/query/words.h>

#include <brindle/query/query.h>

#include <QLocale>

namespace brindle {

int TItemGroupList::AddGroup(const QString& name, int firstIndex)
{
    auto group = std::make_unique<TItemGroup>(name);
    group->Indexes.append(firstIndex);
    return Add(std::move(group));
}

TItemGroup* TItemGroupList::FindByName(const QString& name) const
{
    for (const auto& group : *this)
        if (group->GroupName().compare(name, Qt::CaseInsensitive) == 0)
            return group.get();
    return nullptr;
}

void TQueryWord::SetValue(const QString& value)
{
    // A choice that waits is made before the value it chose changes.
    list();
    if (value == FValue)
        return;
    FValue = value;
    ValueChanged();
    changed();
}

void TQueryWord::SetCaption(const QString& caption)
{
    if (caption == FCaption)
        return;
    FCaption = caption;
    changed();
}

void TQueryWord::SetAutoUpperCase(bool on)
{
    FOptions = on ? FOptions | 1 : FOptions & ~1;
}

void TQueryWord::SetAutoLowerCase(bool on)
{
    FOptions = on ? FOptions | 2 : FOptions & ~2;
}

const TStringList& TQueryWord::emptyList()
{
    static const TStringList empty;
    return empty;
}

void TQueryWord::makeList() const
{
    FList = FListSource();
    FListSource = nullptr;
    if (!FChoiceWaits)
        return;
    FChoiceWaits = false;
    FItemIndex = IndexOfValue(FValue);
    if (FItemIndex < 0) {
        auto* self = const_cast<TQueryWord*>(this);
        self->addItem(FChoiceGroup, FValue, FChoiceItem);
        FItemIndex = Values().Count() - 1;
    }
}

void TQueryWord::ChooseValue(const QString& groupName, const QString& value, const QString& item,
                             const QString& caption)
{
    if (FListSource) {
        FChoiceWaits = true;
        FChoiceGroup = groupName;
        FChoiceItem = item;
        if (value == FValue && caption == FCaption)
            return;
        FValue = value;
        FCaption = caption;
        changed();
        return;
    }
    int index = IndexOfValue(value);
    if (index < 0) {
        AddItem(groupName, value, item);
        index = Values().Count() - 1;
    }
    SetItemIndex(index);
    SetCaption(caption);
}

WordItems& TQueryWord::ownItems()
{
    list();
    if (!FList || FList.use_count() > 1) {
        auto own = std::make_shared<WordItems>();
        if (FList) {
            own->Items = FList->Items;
            own->Values = FList->Values;
            own->Groups = FList->Groups;
        }
        FList = std::move(own);
    }
    auto& items = const_cast<WordItems&>(*FList);
    items.ValueIndex.clear();
    return items;
}

void TQueryWord::materializeGroups() const
{
    if (FGroupsMade)
        return;
    FGroupsMade = true;
    if (!list())
        return;
    for (const auto& [name, indexes] : FList->Groups) {
        auto group = std::make_unique<TItemGroup>(name);
        group->Indexes = indexes;
        FGroups.Add(std::move(group));
    }
}

void TQueryWord::AddItem(const QString& groupName, const QString& value, const QString& item)
{
    addItem(groupName, value, item);
    changed();
}

void TQueryWord::addItem(const QString& groupName, const QString& value, const QString& item)
{
    materializeGroups();
    WordItems& own = ownItems();
    own.Items.Add(item);
    const int index = own.Values.Add(value);
    if (TItemGroup* group = FGroups.FindByName(groupName))
        group->Indexes.append(index);
    else
        FGroups.AddGroup(groupName, index);
}

void TQueryWord::AddItems(const QString& groupName, const TStringList& values, const TStringList& items)
{
    // Checked first so that a short value list adds nothing at all.
    if (values.Count() < items.Count())
        throw EListError(QStringLiteral("List index out of bounds (%d)"), {values.Count()});
    for (int i = 0; i < items.Count(); ++i)
        addItem(groupName, values[i], items[i]);
    changed();
}

void TQueryWord::ClearAll()
{
    FItemIndex = -1;
    FGroups.Clear();
    FGroupsMade = true;
    FList.reset();
    FListSource = nullptr;
    FChoiceWaits = false;
    changed();
}

void TQueryWord::SetItemIndex(int index)
{
    list();
    if (index == FItemIndex)
        return;
    if (index >= Values().Count() || index < -1)
        throw EDDLabelError(QStringLiteral("Index out of bounds"));
    FItemIndex = index;
    if (index == -1) {
        FValue.clear();
        FCaption.clear();
    } else {
        FCaption = Items()[index];
        FValue = Values()[index];
    }
    changed();
}

int TQueryWord::IndexOfValue(const QString& value) const
{
    if (!list())
        return -1;
    if (!FList->ValueIndex.isEmpty())
        return FList->ValueIndex.value(BorrowedKey(value), -1);
    return static_cast<int>(FList->Values.Lines().indexOf(value));
}

void TQueryWord::EnsureDefaultGroup()
{
    materializeGroups();
    if (Values().IsEmpty() || !FGroups.IsEmpty())
        return;
    auto group = std::make_unique<TItemGroup>();
    for (int i = 0; i < Values().Count(); ++i)
        group->Indexes.append(i);
    FGroups.Add(std::move(group));
}

void TQueryWord::ValueChanged()
{
    list();
    switch (FEditor) {
    case wePopup:
    case weListBox: {
        if (FValue.isEmpty()) {
            FItemIndex = -1;
            FCaption.clear();
            return;
        }
        if (FItemIndex >= 0 && Values()[FItemIndex] == FValue)
            return;
        // Exact match: TStringList::IndexOf would ignore letter case.
        const int index = IndexOfValue(FValue);
        FItemIndex = index;
        if (index < 0) {
            FValue.clear();
            FCaption.clear();
        } else {
            FCaption = Items()[index];
        }
        return;
    }
    case weCheckList: {
        TStringList elements;
        elements.SetCommaText(FValue);
        TStringList captions;
        for (const QString& element : elements) {
            const int index = IndexOfValue(element);
            if (index >= 0)
                captions.Add(Items()[index]);
        }
        FCaption = captions.CommaText();
        return;
    }
    case weNone:
    case weCustom:
    case weEdit:
    case weMaskEdit:
    case weDateTime:
        if (AutoUpperCase())
            FValue = QLocale().toUpper(FValue);
        else if (AutoLowerCase())
            FValue = QLocale().toLower(FValue);
        FCaption = FValue;
        return;
    }
}

TWordNotifier* TQueryWord::Notifier()
{
    if (!FNotifier)
        FNotifier = std::make_unique<TWordNotifier>();
    return FNotifier.get();
}

void TQueryWord::changed()
{
    // The word's own widgets follow first, so that views that hear of the
    // change find it already shown.
    if (FNotifier)
        emit FNotifier->changed(this);
    // Most changes happen while nobody listens: this test stays inline.
    if (FRow) {
        TVxQuery* query = FRow->QueryPanel();
        if (!query->quietRows())
            query->wordChangedNow(FRow, this);
    }
}

} // namespace brindle
