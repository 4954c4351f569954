#include <brindle/query/result_fields.h>

#include <brindle/foundations/conversions.h>
#include <brindle/foundations/messages.h>
#include <brindle/query/query.h>
#include <brindle/foundations/sections.h>
#include <brindle/foundations/syntax_rules.h>
#include <brindle/foundations/text_utils.h>

#include <QHash>
#include <QScopeGuard>
#include <QSet>

#include <climits>

namespace brindle {

namespace {

const QString kBlockVersion = QStringLiteral("3.6");

QString placeholder(int number) { return u'@' + QString::number(number); }

// The field number of the placeholder that starts at pos, 0 when none does;
// length gets its length. "@k" names field k for 1 <= k <= fieldCount, and of
// the digits after "@" the longest run that names a field is taken. That is
// what replacing "@n" first and "@1" last would give, so "@1" never takes the
// start of "@10".
int placeholderAt(const QString& text, qsizetype pos, int fieldCount, qsizetype& length)
{
    length = 0;
    if (text.at(pos) != u'@' || pos + 1 >= text.size() || text.at(pos + 1) < u'1' || text.at(pos + 1) > u'9')
        return 0;
    int best = 0;
    qint64 value = 0;
    for (qsizetype i = pos + 1; i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9'; ++i) {
        value = value * 10 + (text.at(i).unicode() - u'0');
        if (value > fieldCount)
            break;
        best = static_cast<int>(value);
        length = i + 1 - pos;
    }
    return best;
}

// The formula with every placeholder replaced in one pass, so text put in a
// placeholder's place is never read as a placeholder again.
template <typename Replace>
QString rewritePlaceholders(const QString& formula, int fieldCount, Replace&& replace)
{
    QString out;
    out.reserve(formula.size());
    for (qsizetype i = 0; i < formula.size();) {
        qsizetype length = 0;
        if (const int number = placeholderAt(formula, i, fieldCount, length)) {
            out += replace(number);
            i += length;
        } else {
            out += formula.at(i);
            ++i;
        }
    }
    return out;
}

bool containsPlaceholder(const QString& formula, int fieldCount, int number)
{
    for (qsizetype i = 0; i < formula.size(); ++i) {
        qsizetype length = 0;
        if (placeholderAt(formula, i, fieldCount, length) == number)
            return true;
        if (length > 0)
            i += length - 1;
    }
    return false;
}

// A host may put a null entry into a field list; it reads as an empty field.
QString exprOf(const TDSField* field, bool normal, TSQLSyntax syntax)
{
    if (!field)
        return {};
    return normal ? field->NormalSQLExpr() : field->SQLExpr(syntax);
}

// The formula "LIST(...)" as the server's list aggregate; any other text
// comes back unchanged.
QString withListAggregate(TSQLSyntax syntax, const QString& expr)
{
    if (!IsServerSyntax(syntax) || !expr.startsWith(QLatin1String("list("), Qt::CaseInsensitive)
        || !expr.endsWith(u')'))
        return expr;
    int depth = 0;
    for (qsizetype i = 4; i < expr.size(); ++i) {
        if (expr[i] == u'(')
            ++depth;
        else if (expr[i] == u')' && --depth == 0 && i + 1 < expr.size())
            return expr; // LIST(a) || LIST(b): not one call
    }
    return ListAggregate(syntax, expr.mid(5, expr.size() - 6));
}

// The field's only model field is the column the alias names.
bool aliasNamesOwnColumn(const TDSFieldList& fields, const QString& alias, Qt::CaseSensitivity cs)
{
    return fields.Count() == 1 && fields[0] && fields[0]->FieldExpr().compare(alias, cs) == 0;
}

void notifyList(TResultField* field)
{
    if (TRFieldList* list = field->RFList())
        list->RFieldChanged(field);
}

// Holds a query's update flag for the guard's life, unless it already was.
class QueryUpdateGuard {
public:
    explicit QueryUpdateGuard(TVxQuery* query) : FQuery(query), FBegan(query && !query->Updating())
    {
        if (FBegan)
            FQuery->SetUpdatingFlag(true);
    }
    ~QueryUpdateGuard()
    {
        if (FBegan)
            FQuery->SetUpdatingFlag(false);
    }
    QueryUpdateGuard(const QueryUpdateGuard&) = delete;
    QueryUpdateGuard& operator=(const QueryUpdateGuard&) = delete;

private:
    TVxQuery* FQuery;
    bool FBegan;
};

// Runs the work with the list's update flag set; true when the flag was clear
// before, so the caller ends the update. A raised error restores the flag
// without a notification.
template <typename Work>
bool whileUpdating(bool& updating, Work&& work)
{
    const bool began = !updating;
    updating = true;
    try {
        work();
    } catch (...) {
        if (began)
            updating = false;
        throw;
    }
    return began;
}

// text, else text + "1", text + "2", ... : the first that no field holds.
template <typename Get>
QString firstFreeName(const TRFieldList& list, const QString& text, Get&& get, const TResultField* except = nullptr)
{
    TextSet taken;
    for (const auto& field : list)
        if (field.get() != except)
            taken.insert(FoldCase(get(*field)));
    if (!taken.contains(FoldCase(text)))
        return text;
    for (int n = 1;; ++n) {
        const QString candidate = text + QString::number(n);
        if (!taken.contains(FoldCase(candidate)))
            return candidate;
    }
}

TSortingType sortingFromText(const QString& text)
{
    const int value = StrToInt(text);
    if (value < stNoSort || value > stDescending)
        throw EConvertError(QStringLiteral("'%s' is not a valid sorting"), {text});
    return static_cast<TSortingType>(value);
}

// Runs the steps of one edit of a query's list as one change of the query:
// making a column reports its caption before it is inserted.
template <typename Body>
decltype(auto) oneChange(TVxQuery* query, Body&& body)
{
    if (!query)
        return body();
    const TVxQuery::ChangeScope change(*query);
    return body();
}

} // namespace

// --- TResultField

TVxQuery* TResultField::GetQueryPanel() const { return FRFList ? FRFList->QueryPanel() : nullptr; }

TVxCustomDBStructure* TResultField::GetDBStruct() const { return FRFList ? FRFList->DBStruct() : nullptr; }

void TResultField::Assign(const TResultField& source)
{
    if (&source == this)
        return;
    QueryUpdateGuard update(GetQueryPanel());
    FDSFields.Clear();
    for (TDSField* field : source.FDSFields)
        FDSFields.Add(field);
    SetFormula(source.FFormula);
    SetCaption(source.FCaption);
    SetAlias(source.FAlias);
    SetSorting(source.FSorting);
    FSortOrder = source.FSortOrder;
}

QString TResultField::replacePlaceholders(bool normal) const
{
    const TSQLSyntax syntax = normal ? ssSQL2 : SQLSyntax();
    // A formula's own names are written in the syntax's quotes as well.
    return withListAggregate(syntax, rewritePlaceholders(NamesInSyntax(syntax, FFormula), FDSFields.Count(),
                                                         [this, normal, syntax](int k) {
        return exprOf(FDSFields[k - 1], normal, syntax);
    }));
}

TSQLSyntax TResultField::SQLSyntax() const
{
    const TVxQuery* query = GetQueryPanel();
    return query ? query->SQLSyntax() : ssSQL2;
}

bool TResultField::UsesAnyOf(const QSet<const TDSField*>& fields) const
{
    return std::any_of(FDSFields.begin(), FDSFields.end(), [&](const TDSField* f) { return fields.contains(f); });
}

QString TResultField::GetSQLExpr() const { return replacePlaceholders(false); }

QString TResultField::GetNormalSQLExpr() const { return replacePlaceholders(true); }

QString TResultField::GetSelectExpr() const
{
    const QString expr = GetSQLExpr();
    if (FAlias.isEmpty() || aliasNamesOwnColumn(FDSFields, FAlias, Qt::CaseInsensitive))
        return expr;
    return expr + QStringLiteral(" as ") + GetSQLAlias();
}

QString TResultField::GetSQLAlias() const
{
    if (const TSQLSyntax syntax = SQLSyntax(); IsServerSyntax(syntax))
        return NameInSyntax(syntax, FAlias, FRFList && FRFList->QuoteAliases());
    if (!FRFList || !FRFList->QuoteAliases())
        return FAlias;
    // A model may have no quote symbol set; a missing one adds nothing.
    const auto symbol = [this](int index) {
        const QChar c = GetQuoteSymbol(index);
        return c.isNull() ? QString() : QString(c);
    };
    return symbol(1) + FAlias + symbol(2);
}

QString TResultField::GetOrderName() const
{
    if (FAlias.isEmpty())
        return QString::number(FNumber);
    if (aliasNamesOwnColumn(FDSFields, FAlias, Qt::CaseSensitive))
        return GetSQLExpr();
    return IsServerSyntax(SQLSyntax()) ? GetSQLAlias() : FAlias;
}

QString TResultField::GetExpression() const
{
    return rewritePlaceholders(FFormula, FDSFields.Count(), [this](int k) {
        const TDSField* field = FDSFields[k - 1];
        return u'{' + (field ? field->DisplayName() : QString()) + u'}';
    });
}

bool TResultField::GetAgregate() const
{
    if (!FDSFields.IsEmpty() && FDSFields[0] && FDSFields[0]->IsAggregate())
        return true;
    const QString lowered = FFormula.toLower();
    for (const char* function : {"sum(", "count(", "max(", "min(", "avg("})
        if (lowered.contains(QLatin1String(function)))
            return true;
    // Only the server syntaxes write LIST as an aggregate the server knows.
    return IsServerSyntax(SQLSyntax()) && lowered.contains(QLatin1String("list("));
}

QChar TResultField::GetQuoteSymbol(int index) const
{
    const TVxCustomDBStructure* model = GetDBStruct();
    if (!model)
        return u'"';
    return index == 2 ? model->SQLFormats()->QuoteSymbol2() : model->SQLFormats()->QuoteSymbol1();
}

void TResultField::SetCaption(const QString& caption)
{
    if (caption == FCaption)
        return;
    FCaption = caption;
    GenerateAlias();
    notifyList(this);
}

void TResultField::SetAlias(const QString& alias)
{
    if (alias == FAlias)
        return;
    if (alias.isEmpty())
        FAlias.clear();
    else
        FAlias = FRFList ? FRFList->GetUniqAlias(alias, this) : alias;
}

void TResultField::SetFormula(const QString& formula)
{
    if (formula == FFormula)
        return;
    FFormula = formula;
    for (int i = FDSFields.Count() - 1; i >= 0; --i)
        if (!containsPlaceholder(FFormula, FDSFields.Count(), i + 1))
            DelDSField(i);
    notifyList(this);
}

void TResultField::SetSorting(TSortingType sorting)
{
    if (sorting == FSorting)
        return;
    FSorting = sorting;
    if (sorting != stNoSort && FSortOrder == 0) {
        int highest = 0;
        if (FRFList)
            for (const auto& field : *FRFList)
                if (field->FSorting != stNoSort)
                    highest = qMax(highest, field->FSortOrder);
        // A loaded order may already be the largest integer.
        FSortOrder = highest < INT_MAX ? highest + 1 : highest;
    }
    notifyList(this);
}

void TResultField::GenerateAlias()
{
    if (FRFList && !FRFList->UseAliases()) {
        FAlias.clear();
        return;
    }
    QString candidate;
    if (FRFList && FRFList->QuoteAliases()) {
        candidate = FCaption;
    } else if (!FRFList || FRFList->AsciiAliases()) {
        for (qsizetype i = 0; i < FCaption.size(); ++i) {
            const char16_t c = FCaption.at(i).unicode();
            const bool letter = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_';
            const bool digit = c >= u'0' && c <= u'9';
            if (letter || (digit && i > 0))
                candidate += QChar(c);
        }
    } else {
        candidate = FCaption;
        candidate.replace(u' ', u'_');
    }
    SetAlias(candidate);
}

void TResultField::GenerateCaption()
{
    QString caption;
    for (const TDSField* field : FDSFields)
        if (field)
            caption += field->DisplayName();
    if (caption.isEmpty())
        caption = QString::number((FRFList ? FRFList->IndexOf(this) : -1) + 1);
    SetCaption(caption);
}

void TResultField::DelDSField(int index)
{
    FDSFields.Items(index); // an index outside the list raises EListError
    const int removed = index + 1;
    bool dropped = false;
    FFormula = rewritePlaceholders(FFormula, FDSFields.Count(), [removed, &dropped](int k) {
        if (k == removed && !dropped) {
            dropped = true;
            return QString();
        }
        return placeholder(k > removed ? k - 1 : k);
    });
    FDSFields.Delete(index);
}

void TResultField::ProcessExpression(const QString& text)
{
    FFormula = text;
    TVxCustomDBStructure* model = GetDBStruct();
    if (!model)
        return;
    // One pass: a name runs from a "{" to the next "}", and every occurrence
    // of the same name gets the placeholder of its first.
    TextHash<int> placed;
    QString out;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype open = text.indexOf(u'{', pos);
        const qsizetype close = open < 0 ? -1 : text.indexOf(u'}', open + 1);
        if (close < 0)
            break;
        const QString name = text.mid(open + 1, close - open - 1);
        int number = placed.value(name);
        if (number == 0) {
            TDSField* field = model->FieldByName(flByDisplayName, name);
            FDSFields.Add(field ? field : model->NullField());
            number = FDSFields.Count();
            placed.insert(name, number);
        }
        out += QStringView(text).mid(pos, open - pos);
        out += placeholder(number);
        pos = close + 1;
    }
    out += QStringView(text).mid(pos);
    FFormula = out;
}

void TResultField::ProcessSQLExpr(const QString& text)
{
    TVxCustomDBStructure* model = GetDBStruct();
    if (!model) {
        FFormula = text;
        return;
    }
    if (TDSField* field = model->FieldByName(flBySQLExpr, text)) {
        FDSFields.Add(field);
        FFormula = placeholder(FDSFields.Count());
        return;
    }
    QString formula = text.toLower();
    const int before = FDSFields.Count();
    const auto matchFields = [&](auto&& exprOfField) {
        for (int i = 0; i < model->FieldCount(); ++i) {
            TDSField* field = model->Fields(i);
            const QString expr = exprOfField(field).toLower();
            if (ContainsAsWholeWord(formula, expr)) {
                FDSFields.Add(field);
                formula = XReplaceStr(formula, expr, placeholder(FDSFields.Count()), rmWholeWord | rmIgnoreCase);
            }
        }
        return FDSFields.Count() > before;
    };
    // The plain SQL form too: an aggregate over a column the model does not
    // quote ("LIST(c.Name)") names its field so.
    if (matchFields([](const TDSField* f) { return f->NormalSQLExpr(); })
        || matchFields([](const TDSField* f) { return f->FullName(); })
        || matchFields([](const TDSField* f) { return f->SQLExpr(); }))
        FFormula = formula;
    else
        FFormula = text;
}

// --- TRFieldList

TRFieldListObserver::~TRFieldListObserver() = default;

void ObserveRFields(TRFieldList& list, TRFieldListObserver& observer, QObject& context)
{
    TRFieldListObserver* to = &observer;
    QObject::connect(&list, &TRFieldList::fieldInserted, &context, [to](int index) { to->RFieldInserted(index); });
    QObject::connect(&list, &TRFieldList::fieldAboutToBeRemoved, &context,
                     [to](int index) { to->RFieldAboutToBeRemoved(index); });
    QObject::connect(&list, &TRFieldList::fieldMoved, &context, [to](int from, int dest) { to->RFieldMoved(from, dest); });
    QObject::connect(&list, &TRFieldList::fieldChanged, &context, [to](int index) { to->RFieldChanged(index); });
    QObject::connect(&list, &TRFieldList::aboutToBeReset, &context, [to] { to->RFieldsAboutToBeReset(); });
    QObject::connect(&list, &TRFieldList::reset, &context, [to] { to->RFieldsReset(); });
}

TRFieldList::TRFieldList(TVxCustomDBStructure* dbStruct, TVxQuery* queryPanel)
    : FDBStruct(dbStruct), FQueryPanel(queryPanel)
{
    listen(true);
}

TRFieldList::~TRFieldList() { listen(false); }

void TRFieldList::listen(bool on)
{
    if (FQueryPanel || !FDBStruct)
        return;
    if (on)
        FDBStruct->AddModelListener(this);
    else
        FDBStruct->RemoveModelListener(this);
}

void TRFieldList::SetDBStruct(TVxCustomDBStructure* dbStruct)
{
    if (dbStruct == FDBStruct.data())
        return;
    // Columns name fields of the model they were made on, and another
    // model never frees those: they go with it.
    if (FDBStruct)
        Clear();
    listen(false);
    FDBStruct = dbStruct;
    listen(true);
}

void TRFieldList::ModelEntitiesRemoving(TVxCustomDBStructure*, const TModelRemoval& removal)
{
    RemoveFieldsUsing(removal.Fields);
}

void TRFieldList::ModelDestroying(TVxCustomDBStructure*)
{
    FDBStruct = nullptr;
    Clear();
}

bool TRFieldList::RemoveFieldsUsing(const QSet<const TDSField*>& fields)
{
    bool removed = false;
    for (int i = Count() - 1; i >= 0; --i)
        if (GetItem(i)->UsesAnyOf(fields)) {
            Delete(i);
            removed = true;
        }
    return removed;
}

void TRFieldList::beginReset()
{
    if (FResetDepth++ == 0)
        emit aboutToBeReset();
}

void TRFieldList::endReset()
{
    if (FResetDepth > 0 && --FResetDepth == 0)
        emit reset();
}

void TRFieldList::inserted(int index)
{
    if (!quiet())
        emit fieldInserted(index);
}

void TRFieldList::Delete(int index)
{
    GetItem(index);
    if (!quiet())
        emit fieldAboutToBeRemoved(index);
    TVxObjectList::Delete(index);
}

std::unique_ptr<TResultField> TRFieldList::Extract(int index)
{
    GetItem(index);
    if (!quiet())
        emit fieldAboutToBeRemoved(index);
    return TVxObjectList::Extract(index);
}

void TRFieldList::NumberSortOrders()
{
    int order = 0;
    for (const auto& field : *this)
        if (field->Sorting() != stNoSort)
            field->SetSortOrder(++order);
}

void TRFieldList::MoveRow(int from, int to)
{
    Move(from, to);
    NumberSortOrders();
}

void TRFieldList::Move(int from, int to)
{
    TVxObjectList::Move(from, to);
    if (from != to && !quiet())
        emit fieldMoved(from, to);
}

void TRFieldList::Clear()
{
    beginReset();
    TVxObjectList::Clear();
    endReset();
}

void TRFieldList::Assign(const TRFieldList& source)
{
    if (&source == this)
        return;
    beginReset();
    const auto end = qScopeGuard([this] { endReset(); });
    const bool began = whileUpdating(FUpdating, [&] {
        FJustSorting = source.FJustSorting;
        Clear();
        for (const auto& field : source)
            New(Count())->Assign(*field);
    });
    if (began)
        EndUpdate();
}

TResultField* TRFieldList::New(int index)
{
    auto field = std::make_unique<TResultField>(this);
    TResultField* raw = field.get();
    TVxObjectList<TResultField>::Insert(index, std::move(field));
    inserted(index);
    return raw;
}

std::unique_ptr<TResultField> TRFieldList::CreateRField(const QString& formula, const QList<TDSField*>& fields,
                                                        const QString& caption)
{
    auto field = std::make_unique<TResultField>(this);
    // The query's host hears of the new formula and caption and may remove
    // model fields meanwhile. A field not yet in the list is not repaired
    // with it, so it puts the model's placeholder where a field went.
    const quint64 removals = FQueryPanel ? FQueryPanel->ModelRemovals() : 0;
    auto dropGone = [&](TDSFieldList& list) {
        if (!FQueryPanel || FQueryPanel->ModelRemovals() == removals)
            return;
        const TVxCustomDBStructure* model = DBStruct();
        TDSField* placeholder = model ? model->NullField() : nullptr;
        TDSFieldList kept;
        for (TDSField* f : list)
            kept.Add(f && model && (f == placeholder || model->IndexOfField(f) >= 0) ? f : placeholder);
        list.Clear();
        for (TDSField* f : kept)
            list.Add(f);
    };
    field->SetFormula(formula);
    TDSField* nullField = DBStruct() ? DBStruct()->NullField() : nullptr;
    for (TDSField* dsField : fields)
        field->DSFields().Add(dsField ? dsField : nullField);
    dropGone(field->DSFields());
    field->SetCaption(caption);
    dropGone(field->DSFields());
    return field;
}

int TRFieldList::Add(const QString& formula, const QList<TDSField*>& fields, const QString& caption)
{
    return Insert(Count(), formula, fields, caption);
}

int TRFieldList::Insert(int index, const QString& formula, const QList<TDSField*>& fields, const QString& caption)
{
    return oneChange(FQueryPanel, [&] {
        TVxObjectList<TResultField>::Insert(index, CreateRField(formula, fields, caption));
        FJustSorting = false;
        inserted(index);
        return index;
    });
}

TResultField* TRFieldList::AddByExpression(const QString& caption, const QString& expression,
                                           TSortingType sorting, int sortOrder)
{
    return InsertByExpression(Count(), caption, expression, sorting, sortOrder);
}

TResultField* TRFieldList::InsertByExpression(int index, const QString& caption, const QString& expression,
                                              TSortingType sorting, int sortOrder)
{
    return oneChange(FQueryPanel, [&] {
        TResultField* field = New(index);
        field->SetCaption(caption);
        field->ProcessExpression(expression);
        if (field->DSFields().IsEmpty() && DBStruct())
            field->DSFields().Add(DBStruct()->NullField());
        field->SetSorting(sorting);
        field->SetSortOrder(sortOrder);
        FJustSorting = false;
        return field;
    });
}

TResultField* TRFieldList::AddBySQLExpr(const QString& caption, const QString& sqlExpr, TSortingType sorting,
                                        int sortOrder)
{
    return InsertBySQLExpr(Count(), caption, sqlExpr, sorting, sortOrder);
}

TResultField* TRFieldList::InsertBySQLExpr(int index, const QString& caption, const QString& sqlExpr,
                                           TSortingType sorting, int sortOrder)
{
    return oneChange(FQueryPanel, [&] {
        TResultField* field = New(index);
        field->ProcessSQLExpr(sqlExpr);
        if (caption.isEmpty())
            field->GenerateCaption();
        else
            field->SetCaption(caption);
        field->SetSorting(sorting);
        field->SetSortOrder(sortOrder);
        FJustSorting = false;
        return field;
    });
}

bool TRFieldList::CheckUniqAlias(const QString& text) const
{
    const QString key = FoldCase(text);
    for (const auto& field : *this)
        if (FoldCase(field->Alias()) == key)
            return false;
    return true;
}

bool TRFieldList::CheckUniqCaption(const QString& text) const
{
    const QString key = FoldCase(text);
    for (const auto& field : *this)
        if (FoldCase(field->Caption()) == key)
            return false;
    return true;
}

QString TRFieldList::GetUniqAlias(const QString& text, const TResultField* except) const
{
    return firstFreeName(*this, text, [](const TResultField& f) { return f.Alias(); }, except);
}

QString TRFieldList::GetUniqCaption(const QString& text) const
{
    return firstFreeName(*this, text, [](const TResultField& f) { return f.Caption(); });
}

void TRFieldList::RegenerateAliases()
{
    for (const auto& field : *this)
        field->GenerateAlias();
}

void TRFieldList::GenerateNumbers()
{
    for (int i = 0; i < Count(); ++i)
        GetItem(i)->SetNumber(i + 1);
}

QString TRFieldList::GetCaption() const
{
    QStringList captions;
    for (const auto& field : *this)
        captions.append(field->Caption());
    const QString caption = captions.join(QStringLiteral(", "));
    return caption.isEmpty() ? QStringLiteral("*") : caption;
}

int TRFieldList::GetSortCount() const
{
    int count = 0;
    for (const auto& field : *this)
        if (field->Sorting() != stNoSort)
            ++count;
    return count;
}

void TRFieldList::BeginUpdate()
{
    if (!FUpdateReset) {
        FUpdateReset = true;
        beginReset();
    }
    FUpdating = true;
}

void TRFieldList::EndUpdate()
{
    FUpdating = false;
    if (FUpdateReset) {
        FUpdateReset = false;
        endReset();
    }
    RFieldChanged(nullptr);
}

// The query only needs to know that something changed, not which field.
void TRFieldList::RFieldChanged(TResultField* field)
{
    if (field && !quiet())
        if (const int index = IndexOf(field); index >= 0)
            emit fieldChanged(index);
    if (FQueryPanel && !FUpdating)
        FQueryPanel->QueryChanged();
}

void TRFieldList::SaveToStrings(TStringList& lines) const
{
    lines.Add(QStringLiteral("[RFields]"));
    lines.Add(QStringLiteral("Count=") + QString::number(Count()));
    lines.Add(QStringLiteral("Version=") + kBlockVersion);
    lines.Add(QStringLiteral("JustSorting=") + BoolToStr(FJustSorting));
    lines.Add(QString());
    for (int i = 0; i < Count(); ++i) {
        const TResultField* field = GetItem(i);
        QStringList ids;
        for (const TDSField* dsField : field->DSFields())
            ids.append(QString::number(dsField ? dsField->ID() : 0));
        lines.Add(QStringLiteral("[RField%1]").arg(i + 1));
        lines.Add(QStringLiteral("Formula=") + field->Formula());
        lines.Add(QStringLiteral("Fields=") + ids.join(u','));
        lines.Add(QStringLiteral("Alias=") + field->Alias());
        lines.Add(QStringLiteral("Caption=") + field->Caption());
        lines.Add(QStringLiteral("Sorting=") + QString::number(static_cast<int>(field->Sorting())));
        lines.Add(QStringLiteral("SortOrder=") + QString::number(field->SortOrder()));
        lines.Add(QString());
    }
}

void TRFieldList::LoadFromStrings(const TStringList& lines)
{
    LoadFromSections(SectionIndex(lines));
}

void TRFieldList::LoadFromSections(const SectionIndex& sections)
{
    const TStringList& lines = sections.Source();
    beginReset();
    const auto end = qScopeGuard([this] { endReset(); });
    const bool began = whileUpdating(FUpdating, [&] {
        Clear();
        TStringList values;
        int next = sections.Read(0, QStringLiteral("RFields"), values);
        // Count is read leniently; a count above the number of lines cannot
        // be honoured and would only make empty fields, so it is cut there.
        const int count = qBound(0, XStrToInt(values.Values(QStringLiteral("Count"))), lines.Count());
        FJustSorting = XStrToBool(values.Values(QStringLiteral("JustSorting")));
        if (FQueryPanel && FQueryPanel->State() == stLoading)
            FVersion = FQueryPanel->Version();
        else
            FVersion = XStrToFloat(values.Values(QStringLiteral("Version")), 1.7);

        TVxCustomDBStructure* model = DBStruct();
        if (!model)
            return;
        for (int i = 0; i < count; ++i) {
            const int end = sections.Read(qMax(next, 0), QStringLiteral("RField%1").arg(i + 1), values);
            if (end >= 0)
                next = end;
            TResultField* field = New(i);
            field->SetFormula(values.Values(QStringLiteral("Formula")));
            field->SetCaption(values.Values(QStringLiteral("Caption")));
            field->SetAlias(values.Values(FVersion >= 1.4 ? QStringLiteral("Alias") : QStringLiteral("Name")));
            const QString sorting = values.Values(QStringLiteral("Sorting"));
            if (!sorting.isEmpty())
                field->SetSorting(sortingFromText(sorting));
            const QString sortOrder = values.Values(QStringLiteral("SortOrder"));
            if (!sortOrder.isEmpty())
                field->SetSortOrder(StrToInt(sortOrder));
            TStringList items;
            items.SetCommaText(values.Values(QStringLiteral("Fields")));
            for (const QString& item : items) {
                TDSField* dsField = nullptr;
                if (FVersion >= 2.0)
                    dsField = model->FieldByID(StrToInt(item));
                else
                    dsField = model->FieldByName(FVersion >= 1.4 ? flBySQLExpr : flByFullName, item);
                // The null field keeps the placeholder positions of the fields after it.
                field->DSFields().Add(dsField ? dsField : model->NullField());
            }
        }
    });
    if (began)
        EndUpdate();
}

// --- TRTableList

int TRTableList::Add(TDSTable* table, TDSLink* link)
{
    auto entry = std::make_unique<TResultTable>();
    entry->Table = table;
    entry->Link = link;
    if (!link)
        return TVxObjectList<TResultTable>::Add(std::move(entry));
    const TDSTable* other = link->Table1() != table ? link->Table1() : link->Table2();
    const int at = other ? IndexOf(other) : -1;
    if (at < 0)
        throw EVxQueryPanelError(2, LoadResString(_SQPEWrongLink));
    TVxObjectList<TResultTable>::Insert(at + 1, std::move(entry));
    return at + 1;
}

int TRTableList::IndexOf(const TDSTable* table) const
{
    // Asked for every condition of a statement: no index checks per entry.
    int index = 0;
    for (const auto& entry : *this) {
        if (entry->Table == table)
            return index;
        ++index;
    }
    return -1;
}

TResultTable* TRTableList::Find(const QString& alias) const
{
    for (const auto& entry : *this)
        if (entry->Table && entry->Table->TableAlias().compare(alias, Qt::CaseInsensitive) == 0)
            return entry.get();
    return nullptr;
}

void TRTableList::ResetAll()
{
    for (const auto& entry : *this)
        entry->Processed = false;
}

} // namespace brindle
