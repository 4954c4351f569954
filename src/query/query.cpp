#include <brindle/query/query.h>
#include <brindle/query/query_caches_p.h>

#include <brindle/query/query_base.h>

#include <brindle/foundations/messages.h>
#include <brindle/foundations/text_utils.h>

#include <exception>
#include <utility>

namespace brindle {

IQueryListener::~IQueryListener() = default;

IQueryView::~IQueryView() = default;

void IQueryView::QueryChanged(TVxQuery&) {}

void IQueryView::ParametersListChanged(TVxQuery&) {}

void IQueryView::SQLOptionsChanged(TVxQuery&) {}

void IQueryView::ActiveChanged(TVxQuery&) {}

void IQueryView::ElementCreate(TVxQuery& query, TFilterCond* condition, int valueIndex,
                               std::unique_ptr<TQueryWord>& element)
{
    query.StandardElementCreate(condition, valueIndex, element);
}

bool IQueryView::EditSubQuery(TVxQuery& query, TStringList& subQuery, QString& value, TSQLOptions& options,
                              QString& readableText)
{
    return query.StandardEditSubQuery(subQuery, value, options, readableText);
}

QString IQueryView::ProcessDateValue(TVxQuery& query, TFieldType fieldType, const QString& value, bool forSQL)
{
    return query.StandardProcessDateValue(fieldType, value, forSQL);
}

TVxQuery::TVxQuery(QObject* parent)
    : QObject(parent), FTitles(DefaultTitles()), FDefTitles(DefaultTitles()), FFullTitles(DefaultTitles()),
      FCaches(std::make_unique<Caches>())
{
    FQResult = std::make_unique<TQueryResult>(this);
    ObserveRFields(FQResult->ResultFields(), *this, *this);
    FFilter = std::make_unique<TFilterBracket>(this, nullptr);
    FBaseLink = std::make_unique<TVxQPBaseLink>(this);
}

TVxQuery::~TVxQuery()
{
    for (AliveGuard* guard = FGuards; guard; guard = guard->FPrevious)
        guard->FQuery = nullptr;
    // Detach first, so the base never reaches a query being taken apart.
    FBaseLink.reset();
    if (FDbStruct)
        FDbStruct->RemoveModelListener(this);
    FDestroying = true;
    FCurrentRow = nullptr;
    FSetAside.clear();
    FSetAsideFields.clear();
    FFilter.reset();
    FQResult.reset();
}

// --- data model, activity, settings

void TVxQuery::SetDbStruct(TVxCustomDBStructure* model)
{
    if (model == FDbStruct.data())
        return;
    const ChangeScope change(*this);
    beginReset();
    const auto end = qScopeGuard([this] { endReset(); });
    listenTo(model);
    FMainTable = nullptr;
    RecreateRootBracket();
    FQResult->DbStructChanged();
}

void TVxQuery::SetActive(bool active)
{
    if (active == FActive)
        return;
    if (active) {
        if (!FDbStruct)
            throw EVxQueryPanelError(3, LoadResString(_SQPENoDBStruct));
        // The root row was made before the host set titles and link types.
        FFilter->showTitleWords();
        FActive = true;
        SetCurrentRow(FAppearanceOptions.Contains(aoHideRootRow) ? FFilter->GetFirstCondition()
                                                                 : static_cast<TFilterRow*>(FFilter.get()));
        RefreshMainTable();
    } else {
        FActive = false;
        FCurrentRow = nullptr;
    }
    if (OnActive)
        CallHost([&] { OnActive(this); });
    if (FView)
        CallHost([&] { FView->ActiveChanged(*this); });
}

void TVxQuery::SetSQLOptions(TSQLOptions options)
{
    FSQLOptions = options;
    SQLOptionsChanged();
}

void TVxQuery::SetSQLSyntax(TSQLSyntax syntax)
{
    FSQLSyntax = syntax;
    SQLOptionsChanged();
}

void TVxQuery::SetMainTableName(const QString& name)
{
    FMainTableName = name;
    RefreshMainTable();
}

void TVxQuery::RefreshMainTable()
{
    FMainTable = nullptr;
    if (!FDbStruct)
        return;
    // No name names no table, though a table without an alias has an
    // empty one.
    if (!FMainTableName.isEmpty())
        for (TableLookup mode : {tlByCompoundName, tlByAlias, tlByName})
            if ((FMainTable = FDbStruct->TableByName(mode, FMainTableName)))
                return;
    if (TDSTable* table = FDbStruct->DefaultMainTable()) {
        FMainTable = table;
        FMainTableName = table->CompoundName();
    }
}

// --- the tree

void TVxQuery::SetCurrentRow(TFilterRow* row)
{
    // A row that lost its model entities out of the tree never joins it.
    FCurrentRow = row && row->FOrphaned ? nullptr : row;
}

TFilterCond* TVxQuery::AddConditionNum(TFilterBracket* bracket, int num, TDSField* field)
{
    const ChangeScope change(*this);
    TFilterCond* cond = bracket->InsertSimpleCondByNum(num);
    if (field)
        static_cast<TSimpleCond*>(cond)->SetField(field);
    InitializeNewCondition(cond, num);
    return cond;
}

TFilterCond* TVxQuery::AddCondition(TFilterBracket* bracket, TDSField* field)
{
    // The line after the bracket's last row is always its end: appending
    // needs no line numbers.
    const ChangeScope change(*this);
    TFilterCond* cond = bracket->AddCond(field);
    SetCurrentRow(cond);
    return cond;
}

TFilterCond* TVxQuery::AddCustomCondition(TFilterBracket* bracket, TDSCondition* condition)
{
    const ChangeScope change(*this);
    TFilterCond* cond = bracket->AddCustomCond(condition);
    SetCurrentRow(cond);
    return cond;
}

TSimpleCond* TVxQuery::addSetCondition(TFilterBracket* bracket, TDSField* field, TDSOperator* op,
                                       const QString& value, quint64 removals)
{
    if (!FDbStruct)
        throw EVxQueryPanelError(3, LoadResString(_SQPENoDBStruct));
    // Host code runs at every step: the condition stands only while the
    // model keeps what it uses.
    constexpr const char* doing = "a condition was being added";
    const ChangeScope change(*this);
    auto* cond = static_cast<TSimpleCond*>(AddCondition(bracket, field));
    requireModelSince(removals, doing);
    cond->SetOperator(op);
    requireModelSince(removals, doing);
    cond->SetValue(1, value);
    requireModelSince(removals, doing);
    return cond;
}

void TVxQuery::ManualAddCond(TFilterBracket* bracket, TDSField* field, TDSOperator* op, const QString& value)
{
    addSetCondition(bracket, field, op, value, FModelRemovals);
}

TFilterCond* TVxQuery::AddSimpleCond(TFilterBracket* bracket, TDSField* field, TDSOperator* op, const QString& value1,
                                     const QString& value2)
{
    const quint64 removals = FModelRemovals;
    const ChangeScope change(*this);
    TSimpleCond* cond = addSetCondition(bracket, field, op, value1, removals);
    cond->SetValue(2, value2);
    requireModelSince(removals, "a condition was being added");
    return cond;
}

void TVxQuery::InitializeNewCondition(TFilterRow* row, int)
{
    EnumerateBracket(row->ParentBracket());
    SetCurrentRow(row);
}

TFilterBracket* TVxQuery::AddBracketNum(TFilterBracket* bracket, int num)
{
    const ChangeScope change(*this);
    TFilterBracket* added = bracket->InsertNewBracketByNum(num);
    SetCurrentRow(added);
    if (FAppearanceOptions.Contains(aoNonEmptyBrackets))
        SetCurrentRow(added->AddCond());
    EnumerateBracket(bracket);
    return added;
}

TFilterBracket* TVxQuery::AddBracket(TFilterBracket* bracket)
{
    const ChangeScope change(*this);
    TFilterBracket* added = bracket->AddNewBracket();
    SetCurrentRow(added);
    if (FAppearanceOptions.Contains(aoNonEmptyBrackets))
        SetCurrentRow(added->AddCond());
    return added;
}

void TVxQuery::EnumerateBracket(TFilterBracket* bracket)
{
    if (!bracket || !enumerate(bracket) || quietRows() || !inTree(bracket))
        return;
    // Views placed the rows before their numbers changed.
    CallHost([&] { emit rowsRenumbered(bracket); });
}

bool TVxQuery::enumerate(TFilterBracket* bracket)
{
    bool changed = false;
    for (int i = 0; i < bracket->GetRowCount(); ++i) {
        TFilterRow* row = bracket->GetRow(i);
        QString id = bracket->RowID() + QString::number(i + 1) + u'.';
        if (id != row->RowID()) {
            row->SetRowID(std::move(id));
            changed = true;
        }
        if (row->IsBracket())
            changed = enumerate(static_cast<TFilterBracket*>(row)) || changed;
    }
    return changed;
}

void TVxQuery::EnsureRowNums() const
{
    if (!FRowNumsValid)
        numberRows();
}

void TVxQuery::numberRows() const
{
    FRowNumsValid = true;
    int next = 0;
    std::vector<TFilterRow*> stack{FFilter.get()};
    while (!stack.empty()) {
        TFilterRow* row = stack.back();
        stack.pop_back();
        row->FRowNum = next++;
        if (row->IsBracket()) {
            auto* bracket = static_cast<TFilterBracket*>(row);
            for (int i = bracket->GetRowCount() - 1; i >= 0; --i)
                stack.push_back(bracket->GetRow(i));
        }
    }
}

TFilterRow* TVxQuery::GetRowByNum(int num) const
{
    const TFilterBracket* bracket = FFilter.get();
    while (bracket) {
        if (bracket->RowNum() == num)
            return const_cast<TFilterBracket*>(bracket);
        const TFilterBracket* next = nullptr;
        for (int i = 0; i < bracket->GetRowCount() && !next; ++i) {
            TFilterRow* row = bracket->GetRow(i);
            if (row->RowNum() == num)
                return row;
            const bool last = i == bracket->GetRowCount() - 1;
            if (row->IsBracket() && (last || bracket->GetRow(i + 1)->RowNum() > num))
                next = static_cast<TFilterBracket*>(row);
        }
        bracket = next;
    }
    return nullptr;
}

TFilterRow* TVxQuery::GetFirstRow() const { return FFilter->GetFirstRow(); }

TFilterRow* TVxQuery::GetLastRow() const
{
    TFilterBracket* bracket = FFilter.get();
    while (true) {
        TFilterRow* last = bracket->GetLastRow();
        if (!last)
            return bracket;
        if (!last->IsBracket())
            return last;
        bracket = static_cast<TFilterBracket*>(last);
    }
}

TFilterBracket* TVxQuery::GetCurrentBracket() const
{
    if (!FCurrentRow)
        return FFilter.get();
    if (FCurrentRow->IsBracket())
        return static_cast<TFilterBracket*>(FCurrentRow);
    return FCurrentRow->ParentBracket();
}

int TVxQuery::GetCurrentRowNum() const { return FCurrentRow ? FCurrentRow->RowNum() : -1; }

void TVxQuery::moveCurrentRow(void (TFilterRow::*move)(), TFilterBracket* enumerate)
{
    const ChangeScope change(*this);
    TFilterRow* row = FCurrentRow;
    FCurrentRow = nullptr;
    (row->*move)();
    SetCurrentRow(row);
    EnumerateBracket(enumerate ? enumerate : row->ParentBracket());
    QueryChanged();
}

void TVxQuery::MoveCurRowUp()
{
    if (FCurrentRow && FCurrentRow->ParentBracket() && FCurrentRow->GetIndex() > 0)
        moveCurrentRow(&TFilterRow::MoveUp, nullptr);
}

void TVxQuery::MoveCurRowDown()
{
    TFilterRow* row = FCurrentRow;
    if (row && row->ParentBracket() && row->GetIndex() < row->ParentBracket()->GetRowCount() - 1)
        moveCurrentRow(&TFilterRow::MoveDown, nullptr);
}

void TVxQuery::MoveCurRowLeft()
{
    if (FCurrentRow && FCurrentRow->ParentBracket() && FCurrentRow->GetRowLevel() > 1)
        moveCurrentRow(&TFilterRow::MoveLeft, nullptr);
}

void TVxQuery::MoveCurRowRight()
{
    if (FCurrentRow && FCurrentRow->ParentBracket())
        moveCurrentRow(&TFilterRow::MoveRight, FCurrentRow->ParentBracket());
}

void TVxQuery::RecreateRootBracket()
{
    // Made first: a root title without "@" refuses it, and the query keeps
    // the tree it has.
    auto fresh = std::make_unique<TFilterBracket>(this, nullptr);
    beginReset();
    const auto end = qScopeGuard([this] { endReset(); });
    freeSetAside();
    FCurrentRow = nullptr;
    FFilter.reset();
    FFilter = std::move(fresh);
    RowsChanged();
}

const TVxQuery::FieldListCache& TVxQuery::fieldList(BracketKind kind) const
{
    FieldListCache& cache = FCaches->FieldLists[kind];
    const TVxCustomDBStructure* model = FDbStruct.data();
    if (cache.Model == model && model && cache.Revision == model->Revision())
        return cache;
    cache = FieldListCache();
    cache.Model = model;
    cache.Words = std::make_shared<WordItems>();
    if (!model)
        return cache;
    cache.Revision = model->Revision();
    WordItems& words = *cache.Words;
    auto addGroup = [&](const TDSFieldGroup* group, const QString& name) {
        QList<int> indexes;
        for (TDSField* field : *group) {
            if (!field->UseInConditions() || field->OperatCount() == 0)
                continue;
            if ((kind == bkNoAggregates && field->IsAggregate()) || (kind == bkAggregatesOnly && !field->IsAggregate()))
                continue;
            indexes.append(words.Items.Count());
            cache.Fields.append(field);
            words.Items.Add(field->DisplayName());
            words.Values.Add(field->IDText());
        }
        if (!indexes.isEmpty())
            words.Groups.append({name, indexes});
    };
    if (model->RootFieldsFirst())
        addGroup(model->RootGroup(), model->RootGroup()->GroupName());
    for (const auto& group : model->FieldGroups())
        addGroup(group.get(), group->GroupName());
    if (!model->RootFieldsFirst())
        addGroup(model->RootGroup(), model->RootGroup()->GroupName());
    words.IndexValues();
    return cache;
}

QList<TDSField*> TVxQuery::FieldsForBracket(const TFilterBracket* bracket) const
{
    return fieldList(bracket ? bracket->GetBracketKind() : bkAnyField).Fields;
}

void TVxQuery::FillFieldsList(TQueryWord& word, const TFilterBracket* bracket) const
{
    word.LoadItems(fieldList(bracket ? bracket->GetBracketKind() : bkAnyField).Words);
}

const std::shared_ptr<WordItems>& TVxQuery::operatorList(const TDSField* field) const
{
    if (FCaches->OperatorListsRevision != OperatorListsRevision()) {
        FCaches->OperatorLists.clear();
        FCaches->OperatorListsRevision = OperatorListsRevision();
    }
    if (const auto found = FCaches->OperatorLists.constFind(field); found != FCaches->OperatorLists.cend())
        return *found;
    auto words = std::make_shared<WordItems>();
    QList<int> indexes;
    indexes.reserve(field->OperatCount());
    for (int i = 0; i < field->OperatCount(); ++i) {
        words->Values.Add(field->Operators(i)->Name());
        words->Items.Add(field->Operators(i)->DisplayName());
        indexes.append(i);
    }
    if (!indexes.isEmpty())
        words->Groups.append({QString(), indexes});
    words->IndexValues();
    return *FCaches->OperatorLists.insert(field, std::move(words));
}

void TVxQuery::FillOperatorsList(TQueryWord& word, const TDSField* field) const
{
    word.LoadItems(operatorList(field));
}

void TVxQuery::CurrentRowDestroyed(TFilterRow* row)
{
    // The row has left the tree: the line below it has moved up into its
    // line, so that line or the one above becomes current.
    const int num = row->FRowNum;
    const bool fromRoot = row->ParentBracket() == FFilter.get();
    FCurrentRow = nullptr;
    RowsChanged();
    if (num <= 0 || FFilter->GetRowCount() + (fromRoot ? 1 : 0) <= 1)
        return;
    TFilterRow* next = GetRowByNum(num);
    FCurrentRow = next ? next : GetRowByNum(num - 1);
}

// --- readable text

namespace {

// Appends " word" for each shown word of the row, in sentence order.
void appendRowText(QString& text, const TFilterRow* row)
{
    // A link word not made yet has never been shown.
    for (const TQueryWord* word : {row->Label1(), row->Label2(), row->Label3(), row->Label5(), row->Label4(),
                                     row->HasLinkWord() ? row->Label9() : nullptr}) {
        if (!word || !word->Visible() || word->Caption().isEmpty() || word->Caption() == QStringLiteral("_"))
            continue;
        text += u' ';
        text += word->Caption();
    }
}

} // namespace

QString TVxQuery::RowText(const TFilterRow* row) const
{
    QString text;
    appendRowText(text, row);
    return text;
}

void TVxQuery::writeTextRows(const TFilterBracket* bracket, const QString& indent)
{
    // Each line is made in one piece: the text of a large query is written
    // without a string per word.
    auto line = [&](const QString& lead, const TFilterRow* row) {
        QString text;
        text.reserve(lead.size() + 80);
        text += lead;
        appendRowText(text, row);
        FQueryText.Add(text);
    };
    line(indent, bracket);
    const QString inner = indent + QStringLiteral("  ");
    for (int i = 0; i < bracket->GetRowCount(); ++i) {
        const TFilterRow* row = bracket->GetRow(i);
        if (!row->GetEnabled())
            continue;
        if (row->IsBracket())
            writeTextRows(static_cast<const TFilterBracket*>(row), inner);
        else
            line(inner, row);
    }
}

const TStringList& TVxQuery::GetQueryText()
{
    FQueryText.Clear();
    writeTextRows(FFilter.get(), QString());
    // The whole text loses the blanks and line breaks at both of its ends:
    // leading and trailing empty lines, and the blanks that start the first
    // line and end the last.
    auto blankOnly = [](const QString& line) {
        return std::all_of(line.begin(), line.end(), [](QChar c) { return c == u' '; });
    };
    while (!FQueryText.IsEmpty() && blankOnly(FQueryText[0]))
        FQueryText.Delete(0);
    while (!FQueryText.IsEmpty() && blankOnly(FQueryText[FQueryText.Count() - 1]))
        FQueryText.Delete(FQueryText.Count() - 1);
    if (!FQueryText.IsEmpty()) {
        QString first = FQueryText[0];
        qsizetype start = 0;
        while (start < first.size() && first.at(start) == u' ')
            ++start;
        FQueryText.SetString(0, first.mid(start));
        QString last = FQueryText[FQueryText.Count() - 1];
        qsizetype end = last.size();
        while (end > 0 && last.at(end - 1) == u' ')
            --end;
        FQueryText.SetString(FQueryText.Count() - 1, last.left(end));
    }
    return FQueryText;
}

// --- listeners and hooks

void TVxQuery::AddListener(IQueryListener* listener)
{
    if (listener && std::find(FLinks.begin(), FLinks.end(), listener) == FLinks.end())
        FLinks.push_back(listener);
}

void TVxQuery::RemoveListener(IQueryListener* listener)
{
    FLinks.erase(std::remove(FLinks.begin(), FLinks.end(), listener), FLinks.end());
}

void TVxQuery::QueryChanged()
{
    if (FChangeDepth > 0) {
        // What the state silences now (a load, an update, a host's own
        // handler) stays silent.
        FScopedChange |= !changeSilenced();
        return;
    }
    const AliveGuard alive(*this);
    if (reportChange() && alive && FChangedListened)
        emit changed();
}

bool TVxQuery::reportChange()
{
    if (FRepairing) {
        FChangePending = true;
        return false;
    }
    if (changeSilenced())
        return false;
    FModified = true;
    // Most queries that change in bulk have nobody to tell.
    if (FLinks.empty() && !OnChange && !FView)
        return true;
    // Any of the host's handlers may free the query.
    const AliveGuard alive(*this);
    for (IQueryListener* link : std::vector<IQueryListener*>(FLinks)) {
        CallHost([&] { link->QueryChanged(this); });
        if (!alive)
            return false;
    }
    if (OnChange)
        CallHandler([&] { OnChange(this); });
    if (alive && FView)
        CallHost([&] { FView->QueryChanged(*this); });
    return static_cast<bool>(alive);
}

void TVxQuery::ParametersListChanged()
{
    if (FChangeDepth > 0)
        FScopedParams |= !paramsSilenced();
    else
        reportParams();
}

void TVxQuery::reportParams()
{
    if (FRepairing) {
        FParamsPending = true;
        return;
    }
    if (paramsSilenced())
        return;
    const AliveGuard alive(*this);
    if (OnParamListChange)
        CallHost([&] { OnParamListChange(this); });
    for (IQueryListener* link : std::vector<IQueryListener*>(FLinks)) {
        if (!alive)
            return;
        CallHost([&] { link->ParametersChanged(this); });
    }
    if (alive && FView)
        CallHost([&] { FView->ParametersListChanged(*this); });
}

TVxQuery::ChangeScope::ChangeScope(TVxQuery& query)
    : FAlive(query), FQuery(query), FExceptions(std::uncaught_exceptions())
{
    ++query.FChangeDepth;
}

TVxQuery::ChangeScope::~ChangeScope() noexcept(false)
{
    if (!FAlive || --FQuery.FChangeDepth > 0)
        return;
    const bool change = std::exchange(FQuery.FScopedChange, false);
    const bool params = std::exchange(FQuery.FScopedParams, false);
    if (!change && !params)
        return;
    auto report = [&] {
        const bool reported = change && FQuery.reportChange();
        if (params && FAlive)
            FQuery.reportParams();
        if (reported && FAlive && FQuery.FChangedListened)
            emit FQuery.changed();
    };
    if (std::uncaught_exceptions() == FExceptions) {
        report();
        return;
    }
    try {
        report();
    } catch (...) {
        // The error already leaving is the one the caller hears of.
    }
}

void TVxQuery::SQLOptionsChanged()
{
    FQResult->SetSQLOptions(FSQLOptions);
    FQResult->SetSQLSyntax(FSQLSyntax);
    FQResult->ResultFields().SetQuoteAliases(FSQLOptions.Contains(soQuoteAliases));
    if (FView)
        CallHost([&] { FView->SQLOptionsChanged(*this); });
}

void TVxQuery::ElementCreate(TFilterCond* condition, int valueIndex, std::unique_ptr<TQueryWord>& element)
{
    if (FView)
        CallHost([&] { FView->ElementCreate(*this, condition, valueIndex, element); });
    else
        StandardElementCreate(condition, valueIndex, element);
}

void TVxQuery::StandardElementCreate(TFilterCond* condition, int valueIndex, std::unique_ptr<TQueryWord>& element)
{
    if (OnElementCreate)
        CallHost([&] { OnElementCreate(condition, valueIndex, element); });
}

bool TVxQuery::EditSubQuery(TStringList& subQuery, QString& value, TSQLOptions& options, QString& readableText)
{
    bool accepted = false;
    if (FView)
        CallHost([&] { accepted = FView->EditSubQuery(*this, subQuery, value, options, readableText); });
    else
        accepted = StandardEditSubQuery(subQuery, value, options, readableText);
    return accepted;
}

bool TVxQuery::StandardEditSubQuery(TStringList& subQuery, QString& value, TSQLOptions& options,
                                    QString& readableText)
{
    bool accepted = false;
    if (OnEditSubQuery)
        CallHost([&] { accepted = OnEditSubQuery(this, subQuery, value, options, readableText); });
    return accepted;
}

} // namespace brindle
