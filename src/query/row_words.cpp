// A row's words as a view lists them, and what choosing a value in one of
// them does: the one call behind every accepted drop-down of a panel.

#include <brindle/query/query.h>

namespace brindle {

const std::unique_ptr<TQueryWord>* TFilterRow::slotOf(TWordRole role) const
{
    const bool simple = FRowType == frtSimpleCondition;
    switch (role) {
    case wrText:
        return simple ? nullptr : &FLabel1;
    case wrLinkType:
        return IsBracket() ? &FLabel2 : nullptr;
    case wrTextAfter:
        return IsBracket() ? &FLabel3 : nullptr;
    case wrField:
        return simple ? &FLabel1 : nullptr;
    case wrOperator:
        return simple ? &FLabel2 : nullptr;
    case wrValue1:
        return IsBracket() ? nullptr : &FLabel3;
    case wrValueSeparator:
        return IsBracket() ? nullptr : &FLabel5;
    case wrValue2:
        return IsBracket() ? nullptr : &FLabel4;
    case wrLogicalOperator:
        return &FLabel9;
    case wrSorting:
        return nullptr;
    }
    return nullptr;
}

TQueryWord* TFilterRow::Word(TWordRole role) const
{
    const std::unique_ptr<TQueryWord>* slot = slotOf(role);
    return slot ? slot->get() : nullptr;
}

std::optional<TWordRole> TFilterRow::RoleOf(const TQueryWord* word) const
{
    if (word)
        for (TWordRole role : SentenceOrder)
            if (Word(role) == word)
                return role;
    return std::nullopt;
}

std::optional<TWordRole> TFilterRow::RoleOfIndex(int index) const
{
    for (TWordRole role : SentenceOrder)
        if (IndexOfRole(role) == index && slotOf(role))
            return role;
    return std::nullopt;
}

int TFilterRow::IndexOfRole(TWordRole role)
{
    switch (role) {
    case wrText:
    case wrField:
        return 1;
    case wrLinkType:
    case wrOperator:
        return 2;
    case wrTextAfter:
    case wrValue1:
        return 3;
    case wrValueSeparator:
        return 4;
    case wrValue2:
        return 5;
    case wrLogicalOperator:
        return 9;
    case wrSorting:
        return 0;
    }
    return 0;
}

QList<TRowWord> TVxQuery::RowWords(const TFilterRow* row) const
{
    QList<TRowWord> words;
    for (TWordRole role : SentenceOrder)
        if (TQueryWord* word = row->Word(role))
            words.append({word, role});
    return words;
}

namespace {

// The bracket whose link type a row's logical operator word shows.
TFilterBracket* logicalOperatorBracket(const TVxQuery& query, const TFilterRow* row)
{
    TFilterBracket* parent = row->ParentBracket();
    if (!parent || query.LogOpStyle() != losAfterCond || row->IsBracket())
        return parent;
    if (row->GetIndex() < parent->GetRowCount() - 1 || !parent->ParentBracket())
        return parent;
    return parent->ParentBracket();
}

} // namespace

bool TVxQuery::AcceptWordValue(TFilterRow* row, TQueryWord* word, const QString& value)
{
    const std::optional<TWordRole> role = row ? row->RoleOf(word) : std::nullopt;
    return role && AcceptWordValue(row, *role, value);
}

bool TVxQuery::AcceptWordValue(TFilterRow* row, TWordRole role, const QString& value)
{
    TQueryWord* word = row ? row->Word(role) : nullptr;
    if (!word)
        return false;
    // Setting the value reports the change itself; the scope makes the
    // whole choice one change.
    const ChangeScope change(*this);
    switch (role) {
    case wrText:
    case wrTextAfter:
    case wrValueSeparator:
    case wrSorting:
        return false;
    case wrLinkType: {
        auto* bracket = static_cast<TFilterBracket*>(row);
        int type = fltAll;
        while (type <= fltNotAll && LinkTypeWord(static_cast<TFilterLinkType>(type)) != value)
            ++type;
        if (type > fltNotAll)
            return false;
        bracket->SetLinkType(static_cast<TFilterLinkType>(type));
        break;
    }
    case wrField: {
        bool ok = false;
        const int id = value.toInt(&ok);
        TDSField* field = ok && FDbStruct ? FDbStruct->FieldByID(id) : nullptr;
        if (!field)
            return false;
        static_cast<TSimpleCond*>(row)->SetField(field);
        break;
    }
    case wrOperator: {
        auto* cond = static_cast<TSimpleCond*>(row);
        const int position = word->IndexOfValue(value);
        const TDSField* field = cond->Field();
        if (!field || position < 0 || position >= field->OperatCount())
            return false;
        cond->SetOperator(field->Operators(position));
        break;
    }
    case wrValue1:
    case wrValue2: {
        auto* cond = static_cast<TFilterCond*>(row);
        const int index = role == wrValue1 ? 1 : 2;
        cond->SetValueIsParam(index, false);
        cond->SetValue(index, value);
        break;
    }
    case wrLogicalOperator: {
        TFilterBracket* bracket = logicalOperatorBracket(*this, row);
        if (!bracket || (value != QLatin1String("0") && value != QLatin1String("1")))
            return false;
        bracket->SetLinkType(value == QLatin1String("0") ? fltAll : fltAny);
        break;
    }
    }
    QueryChanged();
    return true;
}

bool TVxQuery::EditCustomValue(TFilterRow* row, TWordRole role, QString& value)
{
    if (!row || row->IsBracket() || (role != wrValue1 && role != wrValue2))
        return false;
    auto* cond = static_cast<TFilterCond*>(row);
    const int index = role == wrValue1 ? 1 : 2;
    if (cond->GetValueKind(index) == vkSubQuery)
        return cond->RunSubQueryEditor(value);
    return cond->CustomDropDownHandler(index, value);
}

} // namespace brindle
