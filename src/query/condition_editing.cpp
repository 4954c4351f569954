// What changes inside a condition when its field, operator or values are
// set: the default operator and values, the word each value gets, values
// that become parameters and back, dependent value lists, sub-query values,
// and the texts and value properties a condition offers the builder.

#include <brindle/query/condition_tree.h>

#include <brindle/query/query.h>
#include <brindle/foundations/text_utils.h>

namespace brindle {

namespace {

bool isIntegerType(TFieldType t)
{
    return t == ftSmallint || t == ftInteger || t == ftWord || t == ftAutoInc || t == ftLargeint;
}

// The word an automatic editor gets for a value type.
std::unique_ptr<TQueryWord> autoWord(const TVxQuery& query, TFieldType type, int size)
{
    auto word = std::make_unique<TQueryWord>(weEdit);
    if (isIntegerType(type)) {
        word->ValueType = vtInteger;
    } else if (type == ftBoolean) {
        word->SetEditor(query.AppearanceOptions().Contains(aoPopupValue) ? wePopup : weListBox);
        word->MaxItemCount = query.MaxPopupItemCount();
        const TSQLFormats* formats = query.DbStruct() ? query.DbStruct()->SQLFormats() : nullptr;
        word->AddItem(QString(), formats ? formats->FalseValue() : QStringLiteral("false"),
                      query.GetTitle(QStringLiteral("ttlFalse")));
        word->AddItem(QString(), formats ? formats->TrueValue() : QStringLiteral("true"),
                      query.GetTitle(QStringLiteral("ttlTrue")));
    } else if (BrFloatTypes.Contains(type)) {
        word->ValueType = vtFloat;
    } else if (type == ftDate || type == ftDateTime || type == ftTimeStamp) {
        word->SetEditor(weDateTime);
        word->DateKind = ekDate;
    } else if (type == ftTime) {
        word->SetEditor(weDateTime);
        word->DateKind = ekTime;
    } else {
        word->ValueType = vtString;
        word->MaxLength = qMax(size, 0);
    }
    return word;
}

// An optional sign, digits, an optional fraction and exponent.
bool isPlainNumber(QStringView text)
{
    qsizetype i = 0;
    auto digits = [&] {
        const qsizetype from = i;
        while (i < text.size() && text[i] >= u'0' && text[i] <= u'9')
            ++i;
        return i > from;
    };
    auto sign = [&] {
        if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
            ++i;
    };
    sign();
    if (!digits())
        return false;
    if (i < text.size() && text[i] == u'.') {
        ++i;
        if (!digits())
            return false;
    }
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        sign();
        if (!digits())
            return false;
    }
    return i == text.size();
}

// A sub-query's SQL as a condition value holds it: every line break made
// two blanks, so that it stays one line of the query text.
QString oneLine(QString sql)
{
    sql.replace(QStringLiteral("\r\n"), QStringLiteral("  "));
    sql.replace(u'\n', QStringLiteral("  "));
    sql.replace(u'\r', QStringLiteral("  "));
    return sql;
}

} // namespace

// --- TFilterCond

TFilterCond::TFilterCond(TVxQuery* queryPanel, TFilterBracket* parentBracket, TFilterRowType rowType)
    : TFilterRow(queryPanel, parentBracket, rowType), FSubQueryOptions(queryPanel->SQLOptions())
{
}

TFilterCond::~TFilterCond()
{
    FRowState = rsDestroying;
    if (!FQueryPanel->Destroying() && FQueryPanel->QResult())
        FQueryPanel->QResult()->DeleteParameters(this);
}

void TFilterCond::setValueWord(int index, std::unique_ptr<TQueryWord> word)
{
    putWord(index == 1 ? FLabel3 : FLabel4, std::move(word));
    FQueryPanel->notifyWordsReplaced(this);
}

void TFilterCond::SetValue(int index, const QString& value)
{
    QString& stored = index == 1 ? FValue1 : FValue2;
    if (value == stored || GetValueIsParam(index))
        return;
    stored = value;
    if (index == 1)
        UpdateSQLParams();
    if (TQueryWord* word = ValueWord(index)) {
        word->SetValue(value);
        QString caption = GetValueCaption(index);
        if (FQueryPanel->OnSetValue)
            FQueryPanel->CallHost([&] { FQueryPanel->OnSetValue(this, index == 1 ? 1 : 2, value, caption); });
        // The handler may have remade the word.
        if (TQueryWord* shown = ValueWord(index))
            shown->SetCaption(caption);
    }
    FQueryPanel->QueryChanged();
    DoConditionChange(index == 1 ? ccValue1 : ccValue2);
}

QString TFilterCond::GetCaption(int index) const
{
    const TQueryWord* word = ValueWord(index);
    return word ? word->Caption() : QString();
}

void TFilterCond::SetCaption(int index, const QString& text)
{
    if (TQueryWord* word = ValueWord(index))
        word->SetCaption(text);
}

void TFilterCond::SetParam(int index, TSQLParam* param)
{
    TSQLParam*& slot = index == 1 ? FParam1 : FParam2;
    if (param == slot)
        return;
    TQueryWord* word = ValueWord(index);
    if (param) {
        slot = param;
        if (word) {
            word->SetFixed(true);
            word->SetCaption(param->DisplayName());
        }
        return;
    }
    // The value the parameter held comes back as the constant.
    TSQLParam* old = slot;
    const QString current = old->Value();
    slot = nullptr;
    FQueryPanel->QResult()->DeleteParameter(old);
    (index == 1 ? FValue1 : FValue2) = current;
    if (index == 1)
        UpdateSQLParams();
    if (word) {
        word->SetFixed(false);
        word->SetValue(current);
        word->SetCaption(GetValueKind(index) == vkSubQuery
                             ? FQueryPanel->GetTitle(QStringLiteral("ttlSubQueryCaption"))
                             : current);
    }
    FQueryPanel->QueryChanged();
}

void TFilterCond::SetValueIsParam(int index, bool isParam)
{
    if (isParam == GetValueIsParam(index))
        return;
    TSQLParam* param = nullptr;
    if (isParam) {
        const int valueIndex = index == 1 ? 1 : 2;
        const quint64 removals = FQueryPanel->ModelRemovals();
        TQueryResult* result = FQueryPanel->QResult();
        param = result->AddParameter(this, valueIndex);
        // The host heard of the new parameter; if it changed the model, this
        // condition may have left the tree and its parameters gone with it.
        if (FQueryPanel->ModelRemovals() != removals && !(param = result->FindParameterByCondition(this, valueIndex)))
            return;
    }
    SetParam(index, param);
    DoConditionChange(index == 1 ? ccValue1 : ccValue2);
}

void TFilterCond::DoConditionChange(ConditionChange whatChanged)
{
    if (FQueryPanel->OnConditionChange)
        FQueryPanel->CallHandler([&] { FQueryPanel->OnConditionChange(this, whatChanged); });
}

void TFilterCond::EnabledChanged()
{
    TFilterRow::EnabledChanged();
    DoConditionChange(ccEnabled);
    if (FParentBracket)
        FParentBracket->CheckIfAllDisabled();
}

void TFilterCond::UpdateLogOpLabel()
{
    if (FLabel9)
        FLabel9->SetVisible(false);
    if (!FParentBracket)
        return;
    auto wordFor = [&](const TFilterBracket* bracket) {
        const bool isOr = bracket->LinkType() == fltAny || bracket->LinkType() == fltNone;
        Label9()->SetItemIndex(isOr ? 1 : 0);
        FLabel9->SetVisible(true);
    };
    switch (FQueryPanel->LogOpStyle()) {
    case losBeforeCond:
        if (GetIndex() > 0)
            wordFor(FParentBracket);
        break;
    case losAfterCond:
        if (FQueryPanel->GetLastRow() == this)
            break;
        if (GetIndex() < FParentBracket->GetRowCount() - 1)
            wordFor(FParentBracket);
        else if (FParentBracket->ParentBracket())
            wordFor(FParentBracket->ParentBracket());
        break;
    case losHidden:
        break;
    }
}

QString TFilterCond::GetValueName(int) const { return {}; }

void TFilterCond::UpdateSQLParams() {}

bool TFilterCond::RunSubQueryEditor(QString& value)
{
    QString readable;
    QString edited = value;
    if (!FQueryPanel->EditSubQuery(FSubQuery, edited, FSubQueryOptions, readable))
        return false;
    // The host may have taken the row's model entities while the editor was open.
    if (FOrphaned)
        return false;
    value = oneLine(edited);
    SetValue(1, value);
    showSubQuery(value, readable);
    return true;
}

void TFilterCond::showSubQuery(const QString& value, const QString& readable)
{
    SetCaption(1, FQueryPanel->GetTitle(QStringLiteral("ttlSubQueryCaption")));
    if (TQueryWord* word = ValueWord(1))
        word->SetHint(FQueryPanel->SubQueryHint() == sqhText  ? readable
                      : FQueryPanel->SubQueryHint() == sqhSQL ? value
                                                               : QString());
}

std::unique_ptr<TQueryWord> TFilterCond::CreateValueLabel(std::unique_ptr<TQueryWord>, int, bool) { return nullptr; }

QString TFilterCond::GetValueCaption(int index) const { return GetCaption(index); }

TFieldType TFilterCond::GetValueType(int) const { return ftUnknown; }

TValueKind TFilterCond::GetValueKind(int) const { return vkScalar; }

int TFilterCond::GetValueSize(int) const { return 0; }

const TSimpleDSTableList* TFilterCond::GetTables() const { return nullptr; }

QString TFilterCond::GetSQLExpr() const { return {}; }

int TFilterCond::GetValueCount() const { return 0; }

bool TFilterCond::CustomDropDownHandler(int index, QString& value)
{
    if (!FQueryPanel->OnCustomValue)
        return false;
    QString edited = value;
    FQueryPanel->CallHandler([&] { FQueryPanel->OnCustomValue(this, index == 1 ? 1 : 2, edited); });
    if (edited == value)
        return false;
    value = edited;
    return true;
}

// --- TSimpleCond

TSimpleCond::TSimpleCond(TVxQuery* queryPanel, TFilterBracket* parentBracket, TDSField* field)
    : TFilterCond(queryPanel, parentBracket, frtSimpleCondition)
{
    putWord(FLabel1,
            std::make_unique<TQueryWord>(queryPanel->AppearanceOptions().Contains(aoPopupField) ? wePopup : weListBox));
    FLabel1->MaxItemCount = queryPanel->MaxPopupItemCount();
    putWord(FLabel2, std::make_unique<TQueryWord>(wePopup));
    queryPanel->FillFieldsList(*FLabel1, parentBracket);
    if (field) {
        SetField(field);
        return;
    }
    TDSField* first = nullptr;
    if (const QList<TDSField*> fields = queryPanel->FieldsForBracket(parentBracket); !fields.isEmpty())
        first = fields.first();
    else if (queryPanel->DbStruct())
        first = queryPanel->DbStruct()->NullField();
    SetField(first);
}

void TSimpleCond::SetField(TDSField* field)
{
    if (field == FField)
        return;
    FField = field;
    if (field) {
        showField(*field);
        FQueryPanel->FillOperatorsList(*FLabel2, field);
        const QString defaultValue = field->EditType() == etEdit
                                         ? static_cast<const TDSTextEditor*>(field->ValueEditor())->DefaultValue
                                         : QString();
        FOperator = nullptr;
        TDSOperator* op = field->OperatCount() > 0 ? field->Operators(0)
                          : FQueryPanel->DbStruct()         ? FQueryPanel->DbStruct()->NullOperator()
                                                            : nullptr;
        const quint64 removals = FQueryPanel->ModelRemovals();
        SetOperator(op);
        // The host may have changed the model meanwhile: the field may be gone.
        if (FQueryPanel->ModelRemovals() != removals)
            return;
        for (int index : {1, 2}) {
            if (TSQLParam* param = GetParam(index)) {
                FQueryPanel->QResult()->GenerateParamDisplayName(param, index);
                param->SetParamType(field->FieldType());
            } else {
                SetValue(index, defaultValue);
            }
        }
    } else {
        SetOperator(nullptr);
        SetValue(1, QString());
        SetValue(2, QString());
    }
    FQueryPanel->QueryChanged();
    DoConditionChange(ccField);
}

void TSimpleCond::showField(const TDSField& field)
{
    const QString& id = field.IDText();
    const QString caption = FQueryPanel->AppearanceOptions().Contains(aoShowGroupName)
                                ? field.GetCompoundName(FQueryPanel->NameSeparator())
                                : field.DisplayName();
    if (FLabel1->IsList()) {
        FLabel1->ChooseValue(field.GroupName(), id, field.DisplayName(), caption);
    } else {
        FLabel1->SetValue(id);
        FLabel1->SetCaption(caption);
    }
}

void TSimpleCond::refreshModelWords()
{
    if (!FField)
        return;
    FQueryPanel->FillFieldsList(*FLabel1, ParentBracket());
    showField(*FField);
    FQueryPanel->FillOperatorsList(*FLabel2, FField);
    if (FOperator) {
        FLabel2->SetValue(FOperator->Name());
        FLabel2->SetCaption(FOperator->DisplayName());
        showValueFormat();
    }
    // Words of another shape are made anew after the walk, since making
    // them runs host code.
    if (!valueWordsOutdated())
        RefreshValueEditor();
}

TSimpleCond::ValueShape TSimpleCond::valueShape() const
{
    ValueShape shape;
    shape.Count = GetValueCount();
    shape.Kind = GetValueKind(1);
    shape.Type = GetValueType(1);
    shape.Size = GetValueSize(1);
    shape.EditType = FField ? FField->EditType() : etAuto;
    if (shape.EditType == etEdit) {
        const auto* text = static_cast<const TDSTextEditor*>(FField->ValueEditor());
        shape.TextKind = text->Kind;
        shape.TextType = text->ValueType;
        shape.Options = text->Options();
        shape.Mask = text->EditMask;
        shape.Formatted = text->UseFormattedValue;
    }
    return shape;
}

void TSimpleCond::remakeValueWords()
{
    const TValueKind before = FValueShape.Kind;
    if (before == vkSubQuery && GetValueKind(1) != vkSubQuery) {
        SetParam(1, nullptr);
        SetValue(1, QString());
    }
    RecreateValueEditor();
    if (GetValueKind(1) != vkList)
        reformatFrom(before);
}

void TSimpleCond::showValueFormat()
{
    if (FOperator->ValFormat().isEmpty()) {
        if (FLabel5) {
            FLabel5.reset();
            FQueryPanel->notifyWordsReplaced(this);
        }
        return;
    }
    if (!FLabel5) {
        putWord(FLabel5, std::make_unique<TQueryWord>(weNone));
        FQueryPanel->notifyWordsReplaced(this);
    }
    FLabel5->SetCaption(FOperator->ValFormat());
    FLabel5->SetValue(FOperator->ValFormat());
}

void TSimpleCond::SetOperator(TDSOperator* op)
{
    if (op == FOperator)
        return;
    TDSOperator* old = FOperator;
    const quint64 removals = FQueryPanel->ModelRemovals();
    // Host code runs from here on and may change the model: an operator
    // that went is not taken.
    auto modelChanged = [&] { return FQueryPanel->ModelRemovals() != removals; };
    if (old && old->ValueKind() == vkSubQuery) {
        SetParam(1, nullptr);
        SetValue(1, QString());
        if (modelChanged())
            return;
    }
    FOperator = op;
    if (op) {
        if (FLabel2->Value() != op->Name()) {
            FLabel2->SetValue(op->Name());
            FLabel2->SetCaption(op->DisplayName());
        }
        RecreateValueEditor();
        if (modelChanged())
            return;
        ReformatValue(old);
        showValueFormat();
    } else {
        FLabel2->SetValue(QString());
    }
    FQueryPanel->QueryChanged();
    DoConditionChange(ccOperator);
}

TFieldType TSimpleCond::GetExprType() const
{
    if (!FField || !FOperator)
        return ftUnknown;
    return FOperator->ExprType() != ftUnknown ? FOperator->ExprType() : FField->FieldType();
}

void TSimpleCond::RecreateValueEditor()
{
    const QString caption1 = GetCaption(1);
    const QString caption2 = GetCaption(2);
    const int count = GetValueCount();
    bool replaced = false;
    for (int index : {1, 2}) {
        std::unique_ptr<TQueryWord>& slot = index == 1 ? FLabel3 : FLabel4;
        if (count < index) {
            if (GetValueIsParam(index))
                SetParam(index, nullptr);
            replaced = replaced || slot;
            slot.reset();
            (index == 1 ? FValue1 : FValue2).clear();
            continue;
        }
        if (GetValueIsParam(index))
            continue;
        putWord(slot, CreateValueLabel(std::move(slot), index, true));
        replaced = true;
        const QString& value = GetValue(index);
        if (index == 1 && GetValueKind(1) == vkList && !value.isEmpty() && FQueryPanel->DbStruct()) {
            const TSQLFormats* f = FQueryPanel->DbStruct()->SQLFormats();
            slot->SetValue(f->QuoteSymbol1() + value + f->QuoteSymbol2());
        } else if (index == 1 && GetValueKind(1) == vkList && !value.isEmpty()) {
            slot->SetValue(u'"' + value + u'"');
        } else {
            slot->SetValue(value);
        }
    }
    if (FLabel3 && !caption1.isEmpty())
        FLabel3->SetCaption(caption1);
    if (FLabel4 && !caption2.isEmpty())
        FLabel4->SetCaption(caption2);
    FValueShape = valueShape();
    if (replaced)
        FQueryPanel->notifyWordsReplaced(this);
}

void TSimpleCond::ReformatValue(const TDSOperator* oldOperator)
{
    if (oldOperator)
        reformatFrom(oldOperator->ValueKind());
}

void TSimpleCond::reformatFrom(TValueKind oldKind)
{
    if (oldKind != vkList)
        return;
    TStringList items;
    items.SetCommaText(FValue1);
    if (!items.IsEmpty())
        SetValue(1, items[0]);
}

void TSimpleCond::loadListItems(TQueryWord& word) const
{
    auto* editor = static_cast<TDSListEditor*>(FField->ValueEditor());
    if (!editor)
        return;
    if (FField->EditType() == etSQL) {
        auto* sql = static_cast<TDSSQLEditor*>(editor);
        sql->SetSQLParams(FQueryPanel->SQLParams());
        // Without a database info there is nothing to ask: the list keeps
        // what it holds rather than failing the condition.
        if (FQueryPanel->DbStruct() && FQueryPanel->DbStruct()->DatabaseInfo())
            sql->Refresh();
    } else {
        editor->Refresh();
    }
    word.ClearAll();
    word.AddItems(QString(), editor->Values, editor->Items);
}

void TSimpleCond::RefreshValueEditor()
{
    if (!FField || (FField->EditType() != etList && FField->EditType() != etSQL))
        return;
    for (int index : {1, 2})
        if (TQueryWord* word = ValueWord(index); word && word->IsList()) {
            loadListItems(*word);
            const QString value = GetValue(index);
            word->SetValue(QString());
            word->SetValue(value);
        }
}

void TSimpleCond::SetValue(int index, const QString& value)
{
    const QString before = GetValue(index);
    TFilterCond::SetValue(index, value);
    if (GetValue(index) == before || !FField || !FQueryPanel->DbStruct())
        return;
    // Only lists fed by a query with that parameter follow; most models have
    // none, and then the tree need not be walked.
    const TVxCustomDBStructure* model = FQueryPanel->DbStruct();
    if (!model->HasSQLEditorFields())
        return;
    const QString name = FField->DisplayName();
    for (int i = 0; i < model->FieldCount(); ++i) {
        const TDSField* f = model->Fields(i);
        if (f->EditType() == etSQL && static_cast<const TDSSQLEditor*>(f->ValueEditor())->HasParameter(name)) {
            FQueryPanel->Filter()->RefreshParamValueEditors(this, name);
            return;
        }
    }
}

bool TSimpleCond::GetIsHavingRow() const { return FField && FField->IsAggregate(); }

bool TSimpleCond::UsesAnyOf(const TModelRemoval& removal) const
{
    return removal.Fields.contains(FField) || removal.Operators.contains(FOperator);
}

void TSimpleCond::dropModelReferences()
{
    TFilterCond::dropModelReferences();
    FField = nullptr;
    FOperator = nullptr;
}

QString TSimpleCond::GetValueName(int) const { return FField ? FField->DisplayName() : QString(); }

void TSimpleCond::UpdateSQLParams()
{
    if (!FField || !FOperator)
        return;
    if (FOperator->Name() == QStringLiteral("Equal")) {
        // The value is pasted into lookup queries: a value of an unquoted
        // type that is not a plain number is quoted, so that it cannot
        // escape its place in the query.
        QString value = FField->ValueAsString(FValue1);
        if (value == FValue1 && !isPlainNumber(value))
            value = QuotedString(value, u'\'');
        FQueryPanel->SQLParams().SetValue(FField->DisplayName(), value);
    }
    else
        FQueryPanel->SQLParams().SetValue(FField->DisplayName(), QString());
}

bool TSimpleCond::RunSubQueryEditor(QString& value)
{
    if (!FField || FField->EditType() != etCustom || !FQueryPanel->OnCustomValue)
        return TFilterCond::RunSubQueryEditor(value);
    QString sql = value;
    FQueryPanel->CallHandler([&] { FQueryPanel->OnCustomValue(this, 1, sql); });
    sql = oneLine(sql);
    if (sql == value)
        return false;
    value = sql;
    SetValue(1, value);
    // The host's SQL becomes the value even when it cannot be imported;
    // the sub-query's lines are then left empty.
    QString readable;
    FSubQuery.Clear();
    try {
        readable = FQueryPanel->ProcessSubQuery(value, FSubQuery);
    } catch (const Exception&) {
        FSubQuery.Clear();
    }
    showSubQuery(value, readable);
    return true;
}

std::unique_ptr<TQueryWord> TSimpleCond::CreateValueLabel(std::unique_ptr<TQueryWord> old, int index, bool init)
{
    old.reset();
    std::unique_ptr<TQueryWord> word;
    const TDSEditType editType = FField ? FField->EditType() : etAuto;
    if (GetValueKind(index) == vkSubQuery) {
        word = std::make_unique<TQueryWord>(weCustom);
        word->SetCaption(FQueryPanel->GetTitle(QStringLiteral("ttlSubQueryCaption")));
    } else if (editType == etEdit) {
        const auto* text = static_cast<const TDSTextEditor*>(FField->ValueEditor());
        switch (text->Kind) {
        case tekSimple:
            word = std::make_unique<TQueryWord>(weEdit);
            word->ValueType = text->ValueType == 1 ? vtInteger : text->ValueType == 2 ? vtFloat : vtString;
            word->SetOptions(text->Options());
            break;
        case tekMask:
            word = std::make_unique<TQueryWord>(weMaskEdit);
            word->EditMask = text->EditMask;
            word->UseFormattedValue = text->UseFormattedValue;
            word->SetOptions(text->Options());
            break;
        case tekDate:
        case tekTime:
            word = std::make_unique<TQueryWord>(weDateTime);
            word->DateKind = text->Kind == tekDate ? ekDate : ekTime;
            break;
        }
    } else if (editType == etCustom) {
        word = std::make_unique<TQueryWord>(weCustom);
    } else if (editType == etList || editType == etSQL) {
        const TQPAppearanceOptions options = FQueryPanel->AppearanceOptions();
        word = std::make_unique<TQueryWord>(GetValueKind(index) == vkList ? weCheckList
                                            : options.Contains(aoPopupValue) ? wePopup
                                                                             : weListBox);
        word->MaxItemCount = FQueryPanel->MaxPopupItemCount();
        word->SortList = options.Contains(aoSortListData);
        loadListItems(*word);
    } else {
        word = autoWord(*FQueryPanel, GetValueType(index), GetValueSize(index));
    }
    if (init)
        word->SetEnabled(GetEnabled());
    FQueryPanel->ElementCreate(this, index == 1 ? 1 : 2, word);
    return word;
}

QString TSimpleCond::GetValueCaption(int index) const
{
    if (GetValueKind(index) == vkSubQuery)
        return FQueryPanel->GetTitle(QStringLiteral("ttlSubQueryCaption"));
    return GetCaption(index);
}

TFieldType TSimpleCond::GetValueType(int) const { return GetExprType(); }

TValueKind TSimpleCond::GetValueKind(int) const { return FOperator ? FOperator->ValueKind() : vkScalar; }

int TSimpleCond::GetValueSize(int) const { return FField ? FField->FieldSize() : 0; }

const TSimpleDSTableList* TSimpleCond::GetTables() const { return FField ? &FField->Tables() : nullptr; }

QString TSimpleCond::GetSQLExpr() const
{
    if (!FOperator)
        return {};
    QString expr = FOperator->SQLExpr();
    static const QStringList patterned = {QStringLiteral("StartsWith"), QStringLiteral("Contains"),
                                          QStringLiteral("NotStartsWith"), QStringLiteral("NotContains")};
    if (expr.contains(u'%') && patterned.contains(FOperator->Name()) && FQueryPanel->DbStruct())
        expr.replace(u'%', FQueryPanel->DbStruct()->SQLFormats()->WildcardChar());
    return expr;
}

int TSimpleCond::GetValueCount() const { return FOperator ? FOperator->ParamCount() : 0; }

// --- TCustomCond

TCustomCond::TCustomCond(TVxQuery* queryPanel, TFilterBracket* parentBracket, TDSCondition* condition)
    : TFilterCond(queryPanel, parentBracket, frtCustomCondition), FDSCondition(condition)
{
    putWord(FLabel1, std::make_unique<TQueryWord>(weNone));
    if (condition) {
        FLabel1->SetCaption(condition->Values().IsEmpty() ? condition->Caption() : condition->Values()[0]->Text());
        const int count = qMin(GetValueCount(), 2);
        for (int index = 1; index <= count; ++index)
            setValueWord(index, CreateValueLabel(nullptr, index, true));
        // The text before the second slot stands between the two values.
        if (count > 1) {
            putWord(FLabel5, std::make_unique<TQueryWord>(weNone));
            FLabel5->SetCaption(condition->Values()[1]->Text());
        }
    }
}

std::unique_ptr<TQueryWord> TCustomCond::CreateValueLabel(std::unique_ptr<TQueryWord> old, int index, bool init)
{
    old.reset();
    auto word = autoWord(*FQueryPanel, GetValueType(index), 0);
    if (init)
        word->SetEnabled(GetEnabled());
    return word;
}

TFieldType TCustomCond::GetValueType(int index) const
{
    const int i = index == 1 ? 0 : 1;
    return FDSCondition && i < FDSCondition->Values().Count() ? FDSCondition->Values()[i]->DataType() : ftUnknown;
}

TValueKind TCustomCond::GetValueKind(int index) const
{
    const int i = index == 1 ? 0 : 1;
    return FDSCondition && i < FDSCondition->Values().Count() ? FDSCondition->Values()[i]->DataKind() : vkScalar;
}

void TCustomCond::refreshModelWords()
{
    if (!FDSCondition)
        return;
    const TDSValueList& values = FDSCondition->Values();
    FLabel1->SetCaption(values.IsEmpty() ? FDSCondition->Caption() : values[0]->Text());
    if (FLabel5 && values.Count() > 1)
        FLabel5->SetCaption(values[1]->Text());
}

bool TCustomCond::UsesAnyOf(const TModelRemoval& removal) const
{
    return removal.Conditions.contains(FDSCondition);
}

void TCustomCond::dropModelReferences()
{
    TFilterCond::dropModelReferences();
    FDSCondition = nullptr;
}

const TSimpleDSTableList* TCustomCond::GetTables() const { return FDSCondition ? &FDSCondition->Tables() : nullptr; }

QString TCustomCond::GetSQLExpr() const { return FDSCondition ? FDSCondition->SQLExpr() : QString(); }

int TCustomCond::GetValueCount() const { return FDSCondition ? FDSCondition->Values().Count() : 0; }

} // namespace brindle
