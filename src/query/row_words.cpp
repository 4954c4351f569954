// A row's words as a view lists them, and what choosing a value in one of
// them does: the one call behind every accepted drop-down of a panel.

#include <brindle/query/query.h>

namespace brindle {

QList<TRowWord> TVxQuery::RowWords(const TFilterRow* row) const
{
    QList<TRowWord> words;
    auto add = [&](TQueryWord* word, TWordRole role) {
        if (word)
            words.append({word, role});
    };
    switch (row->RowType()) {
    case frtBracket:
        add(row->Label1(), wrText);
        add(row->Label2(), wrLinkType);
        add(row->Label3(), wrText);
        break;
    case frtSimpleCondition:
        add(row->Label1(), wrField);
        add(row->Label2(), wrOperator);
        break;
    case frtCustomCondition:
        add(row->Label1(), wrText);
        break;
    }
    if (!row->IsBracket()) {
        add(row->Label3(), wrValue1);
        add(row->Label5(), wrValueSeparator);
        add(row->Label4(), wrValue2);
    }
    // The link word is made when first shown; one never made is not listed.
    if (row->HasLinkWord())
        add(row->Label9(), wrLogicalOperator);
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
    if (!row || !word)
        return false;
    TWordRole role = wrText;
    bool found = false;
    for (const TRowWord& w : RowWords(row))
        if (w.Word == word) {
            role = w.Role;
            found = true;
        }
    if (!found)
        return false;
    switch (role) {
    case wrText:
    case wrValueSeparator:
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

} // namespace brindle
