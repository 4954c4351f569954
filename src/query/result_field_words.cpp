// A result column's words, as a view shows them, and what choosing a value
// in one of them does: the result fields' side of the sentence rows.

#include <brindle/query/result_fields.h>

namespace brindle {

namespace {

std::shared_ptr<const WordItems> sortItems(const TRFieldList::WordLook& look)
{
    auto items = std::make_shared<WordItems>();
    for (int i = 0; i < look.SortCaptions.size(); ++i) {
        items->Items.Add(look.SortCaptions[i]);
        items->Values.Add(QString::number(i));
    }
    items->IndexValues();
    return items;
}

} // namespace

struct TResultField::Words {
    TQueryWord Before{weNone};
    TQueryWord Field{wePopup};
    TQueryWord After{weNone};
    TQueryWord Sorting{wePopup};
    bool HasField = false;
};

// Made and freed where the words' layout is known.
TResultField::TResultField(TRFieldList* list) : FRFList(list)
{
    FDSFields.SetDbStruct(list ? list->DBStruct() : nullptr);
}

TResultField::~TResultField() = default;

TQueryWord* TResultField::Word(TWordRole role)
{
    if (!FWords)
        FWords = std::make_unique<Words>();
    updateWords();
    Words& words = *FWords;
    switch (role) {
    case wrText:
        return words.Before.Caption().isEmpty() ? nullptr : &words.Before;
    case wrField:
        return words.HasField ? &words.Field : nullptr;
    case wrTextAfter:
        return words.After.Caption().isEmpty() ? nullptr : &words.After;
    case wrSorting:
        return &words.Sorting;
    default:
        return nullptr;
    }
}

void TResultField::updateWords()
{
    static const TRFieldList::WordLook standard;
    static const std::shared_ptr<const WordItems> standardSorting = sortItems(standard);
    const TRFieldList::WordLook& look = FRFList ? FRFList->WordsLook() : standard;
    Words& words = *FWords;
    // The formula reads around its first field: "SUM(" field ")".
    TDSField* field = FDSFields.IsEmpty() ? nullptr : FDSFields[0];
    QString before = FFormula;
    QString after;
    if (field) {
        const qsizetype mark = FFormula.indexOf(QLatin1String("@1"));
        if (mark >= 0) {
            before = FFormula.left(mark);
            after = FFormula.mid(mark + 2);
        }
    }
    words.Before.SetCaption(before.toUpper());
    words.After.SetCaption(after.toUpper());
    words.HasField = field != nullptr;
    if (field) {
        TQueryWord& word = words.Field;
        word.SetEditor(look.PopupField ? wePopup : weListBox);
        if (FRFList) {
            const std::shared_ptr<const WordItems> items = FRFList->FieldItems();
            if (&word.Values() != &items->Values)
                word.LoadItems(items);
        }
        word.SetValue(field->IDText());
        word.SetCaption(look.GroupNames ? field->GetCompoundName(look.NameSeparator) : field->DisplayName());
    }
    const std::shared_ptr<const WordItems>& sorting =
        FRFList && FRFList->FSortItems ? FRFList->FSortItems : standardSorting;
    if (&words.Sorting.Values() != &sorting->Values)
        words.Sorting.LoadItems(sorting);
    if (words.Sorting.ItemIndex() != FSorting || words.Sorting.Caption().isEmpty())
        words.Sorting.SetItemIndex(FSorting);
}

void TRFieldList::SetWordsLook(const WordLook& look)
{
    FWordLook = look;
    FSortItems = sortItems(look);
}

std::shared_ptr<const WordItems> TRFieldList::FieldItems() const
{
    const TVxCustomDBStructure* model = FDBStruct.data();
    if (FFieldItems && FFieldItemsModel == model && (!model || FFieldItemsRevision == model->Revision()))
        return FFieldItems;
    auto words = std::make_shared<WordItems>();
    const auto addGroup = [&](const TDSFieldGroup* group) {
        QList<int> indexes;
        for (TDSField* field : *group) {
            if (!field->UseInResult())
                continue;
            indexes.append(words->Items.Count());
            words->Items.Add(field->DisplayName());
            words->Values.Add(field->IDText());
        }
        if (!indexes.isEmpty())
            words->Groups.append({group->GroupName(), indexes});
    };
    if (model) {
        if (model->RootFieldsFirst())
            addGroup(model->RootGroup());
        for (const auto& group : model->FieldGroups())
            addGroup(group.get());
        if (!model->RootFieldsFirst())
            addGroup(model->RootGroup());
        words->IndexValues();
        FFieldItemsRevision = model->Revision();
    }
    FFieldItemsModel = model;
    FFieldItems = std::move(words);
    return FFieldItems;
}

bool TRFieldList::AcceptWordValue(int index, TWordRole role, const QString& value)
{
    if (index < 0 || index >= Count())
        return false;
    TResultField* column = GetRField(index);
    switch (role) {
    case wrField: {
        bool ok = false;
        const int id = value.toInt(&ok);
        TDSField* chosen = ok && FDBStruct ? FDBStruct->FieldByID(id) : nullptr;
        if (!chosen || !chosen->UseInResult() || column->DSFields().IsEmpty())
            return false;
        TDSFieldList& fields = column->DSFields();
        if (fields[0] != chosen) {
            fields.Delete(0);
            fields.Insert(0, chosen);
        }
        if (column->Formula() == QLatin1String("@1"))
            column->SetCaption(chosen->DisplayName());
        RFieldChanged(column);
        return true;
    }
    case wrSorting: {
        bool ok = false;
        const int sorting = value.toInt(&ok);
        if (!ok || sorting < stNoSort || sorting > stDescending)
            return false;
        column->SetSorting(static_cast<TSortingType>(sorting));
        return true;
    }
    default:
        return false;
    }
}

} // namespace brindle
