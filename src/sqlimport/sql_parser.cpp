#include <brindle/sqlimport/sql_parser.h>

#include <algorithm>
#include <vector>

namespace brindle {

const char* const SWrongSQL = "Wrong SQL statement";
const char* const SLostBracket = "Lost bracket";
const char* const SDeepBrackets = "Brackets are nested too deeply";
const char* const SDeepSubQueries = "Sub-queries are nested too deeply";

namespace {

// The words that end an operand at bracket depth 0 (with the keywords).
bool isOperatorWord(const TVxScanner& scanner)
{
    // Every token of an operand is tested: the length sorts out most.
    // LIMIT, OFFSET and FETCH end the WHERE clause of the server syntaxes.
    static constexpr QStringView words[] = {u"=",  u"<>", u"!=",      u">",  u"<",   u">=",  u"<=",
                                            u"like", u"ilike", u"in", u"is", u"between", u"or", u"and", u"not",
                                            u"limit", u"offset", u"fetch"};
    const QStringView token = scanner.TokenView();
    if (token.size() > 7)
        return false;
    for (const QStringView word : words)
        if (token.size() == word.size() && scanner.TokenIs(word))
            return true;
    return false;
}

// An operand written in double quotes is a text literal: it gets single quotes.
QString quotedAsLiteral(QString operand)
{
    if (operand.size() >= 2 && operand.front() == u'"' && operand.back() == u'"') {
        operand.front() = u'\'';
        operand.back() = u'\'';
    }
    return operand;
}

// The 1-based column, in characters, of a UTF-16 index into the line: a
// surrogate pair is one character.
int characterColumn(QStringView line, int index)
{
    const qsizetype end = std::clamp<qsizetype>(index, 0, line.size());
    int column = 1;
    for (qsizetype i = 0; i < end; ++i)
        if (!line[i].isLowSurrogate() || i == 0 || !line[i - 1].isHighSurrogate())
            ++column;
    return column;
}

} // namespace

// --- result parts

void TSQLResultField::SetSQLExpr(const QString& expr)
{
    FSQLExpr = expr;
    const qsizetype dot = expr.indexOf(u'.');
    const qsizetype bracket = expr.indexOf(u'(');
    if (dot < 0 || (bracket >= 0 && bracket <= dot))
        FCaption = expr;
    else
        FCaption = expr.mid(dot + 1);
}

int TSQLResultFieldList::IndexByAlias(const QString& alias) const
{
    for (int i = 0; i < Count(); ++i)
        if (GetItem(i)->Alias().compare(alias, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int TSQLResultFieldList::IndexByExpr(const QString& expr) const
{
    for (int i = 0; i < Count(); ++i)
        if (GetItem(i)->SQLExpr().compare(expr, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void TSQLTable::SetTableName(const QString& name)
{
    FTableName = name;
    if (FAliasName.isEmpty())
        FAliasName = name;
}

TSQLNode::~TSQLNode() = default;

int TSQLConditionNodeList::Add(std::unique_ptr<TSQLNode> node)
{
    node->FParent = FParentBracket;
    return FNodes.Add(std::move(node));
}

void TSQLConditionNodeList::SetItem(int index, std::unique_ptr<TSQLNode> node)
{
    TSQLNode* stored = node.get();
    FNodes.SetItem(index, std::move(node));
    stored->FParent = FParentBracket;
}

std::unique_ptr<TSQLNode> TSQLConditionNodeList::Extract(int index)
{
    std::unique_ptr<TSQLNode> node = FNodes.Extract(index);
    node->FParent = nullptr;
    return node;
}

TSQLBracket::~TSQLBracket() = default;

void TSQLBracket::DeleteEmptyBrackets()
{
    for (int i = 0, count = FNodes.Count(); i < count; ++i) {
        for (TSQLNode* child = FNodes.GetItem(i);
             child->IsBracket() && static_cast<TSQLBracket*>(child)->FNodes.Count() == 1;
             child = FNodes.GetItem(i))
            FNodes.SetItem(i, static_cast<TSQLBracket*>(child)->FNodes.Extract(0));
        if (TSQLNode* child = FNodes.GetItem(i); child->IsBracket())
            static_cast<TSQLBracket*>(child)->DeleteEmptyBrackets();
    }
}

QString TSQLCondition::GetSQLExpr() const
{
    QString text;
    GetSQLExpr(text);
    return text;
}

void TSQLCondition::GetSQLExpr(QString& text) const
{
    // Written in place: the import asks for every condition's text.
    const bool negative = Negative();
    text.resize(FLeftExpr.size() + FOperator.size() + FRightExpr.size() + 2 + (negative ? 5 : 0));
    QChar* to = text.data();
    const auto put = [&to](QStringView piece) {
        std::copy(piece.begin(), piece.end(), to);
        to += piece.size();
    };
    if (negative)
        put(u"not(");
    put(FLeftExpr);
    *to++ = u' ';
    put(FOperator);
    *to++ = u' ';
    put(FRightExpr);
    if (negative)
        *to = u')';
}

void TVxParserResult::Clear()
{
    FDistinct = false;
    FAllRFields = false;
    FTopClause.clear();
    FLimitClause.clear();
    FResultFields.Clear();
    FResultFields.SetJustSorting(false);
    FWhereClause.reset();
    FTables.Clear();
}

// --- the parser

TVxSQLParser::TVxSQLParser()
{
    FScanner.SetSourceStyle(scsSQL);
    for (const char* keyword : {"select", "from", "join", "where", "order", "group", "by"})
        FScanner.AddKeyword(QString::fromLatin1(keyword));
}

TVxSQLParser::~TVxSQLParser() = default;

void TVxSQLParser::SetSQL(const TStringList& lines)
{
    FSQL = lines;
}

void TVxSQLParser::loadToken()
{
    FTokenKind = FScanner.GetTokType();
    FTokenValid = false;
}

const QString& TVxSQLParser::Token() const
{
    if (!FTokenValid) {
        // The comparison words come in every condition: they share one text.
        static const QString common[] = {QStringLiteral("="),  QStringLiteral("<>"), QStringLiteral("like"),
                                         QStringLiteral("in"), QStringLiteral("is"), QStringLiteral(">"),
                                         QStringLiteral("<"),  QStringLiteral(">="), QStringLiteral("<=")};
        const auto shared = std::find_if(std::begin(common), std::end(common),
                                         [this](const QString& word) { return FScanner.TokenIs(word); });
        FToken = shared != std::end(common) ? *shared : FScanner.GetTokStr();
        FTokenValid = true;
    }
    return FToken;
}

void TVxSQLParser::Advance()
{
    if (!AtEnd())
        FPrevEnd = FScanner.GetTokEnd();
    FScanner.NextToken();
    loadToken();
}

void TVxSQLParser::Error(const char* message) const
{
    if (AtEnd())
        errorAt(message, FPrevEnd, QString());
    errorAt(message, FScanner.GetBookmark(), FScanner.GetRealStr());
}

void TVxSQLParser::errorAt(const char* message, const TVxScannerBookmark& at, const QString& text) const
{
    const QString line = at.Line < FSQL.Count() ? FSQL[at.Line] : QString();
    throw ESQLParserError(QString::fromLatin1(message) + QStringLiteral("\r\nLine:")
                              + QString::number(FScanner.GetTokLine()),
                          at.Line + 1, characterColumn(line, at.Column), text);
}

void TVxSQLParser::Parse()
{
    FParserResult.Clear();
    FDepth = 0;
    FPrevEnd = {};
    FScanner.SetSource(FSQL);
    loadToken();
    ProcessSelect();
    ProcessFrom();
    if (!AtEnd() && Is(u"where"))
        ProcessWhere();
    if (!AtEnd() && Is(u"group"))
        ProcessGroupBy();
    if (!AtEnd() && Is(u"order"))
        ProcessOrderBy();
    if (!AtEnd() && (Is(u"limit") || Is(u"offset")))
        processRowLimit();
}

void TVxSQLParser::processRowLimit()
{
    // Text after the last clause was never an error: a limit of another
    // form is left unread, as before.
    const auto number = [this] {
        if (AtEnd() || FTokenKind != tkInteger)
            return QString();
        QString text = Token();
        Advance();
        return text;
    };
    if (Is(u"limit")) {
        Advance();
        const QString count = number();
        if (!count.isEmpty() && !AtEnd() && Is(u"offset")) {
            Advance();
            if (const QString offset = number(); !offset.isEmpty())
                FParserResult.FLimitClause = count + QStringLiteral(" OFFSET ") + offset;
            return;
        }
        FParserResult.FLimitClause = count;
        return;
    }
    Advance();
    const QString offset = number();
    SkipTokens(u"rows");
    if (offset.isEmpty() || AtEnd() || !Is(u"fetch"))
        return;
    Advance();
    Advance(); // NEXT or FIRST
    if (const QString count = number(); !count.isEmpty())
        FParserResult.FLimitClause = count + QStringLiteral(" OFFSET ") + offset;
}

void TVxSQLParser::ProcessSelect()
{
    if (!Is(u"select"))
        Error(SWrongSQL);
    Advance();
    if (Is(u"distinct")) {
        FParserResult.FDistinct = true;
        Advance();
    }
    // The builder's TOP clause: a count, perhaps in percent.
    if (Is(u"top")) {
        Advance();
        FParserResult.FTopClause = Token();
        Advance();
        if (Is(u"percent")) {
            FParserResult.FTopClause += QStringLiteral(" PERCENT");
            Advance();
        }
    }
    if (Is(u"*")) {
        FParserResult.FAllRFields = true;
        FParserResult.FResultFields.SetJustSorting(true);
        Advance();
        return;
    }
    ProcessResultField();
    while (Is(u",")) {
        Advance();
        ProcessResultField();
    }
}

void TVxSQLParser::ProcessResultField()
{
    const QString expr = ProcessSQLExpr();
    QString alias;
    if (Is(u"as")) {
        Advance();
        alias = ProcessAlias();
    }
    AddResultField(expr, alias);
}

TSQLResultField* TVxSQLParser::AddResultField(const QString& expr, const QString& alias)
{
    auto field = std::make_unique<TSQLResultField>();
    field->SetSQLExpr(expr);
    field->SetAlias(alias);
    TSQLResultField* added = field.get();
    FParserResult.FResultFields.Add(std::move(field));
    return added;
}

QString TVxSQLParser::ProcessSQLExpr(bool rowLimitEnds)
{
    const TVxScannerBookmark start = FScanner.GetBookmark();
    int depth = 0;
    for (;;) {
        if (depth == 0 && (AtEnd() || FTokenKind == tkKeyword || Is(u",") || Is(u"as")))
            break;
        if (depth == 0 && rowLimitEnds && (Is(u"limit") || Is(u"offset")))
            break;
        // A bracket left open (or a ")" without its "(") to the end of the
        // text: the expression has no end.
        if (AtEnd())
            Error(SWrongSQL);
        if (!nameCloser().isNull())
            skipQuotedName();
        else if (Is(u"("))
            ++depth;
        else if (Is(u")"))
            --depth;
        Advance();
    }
    // Nothing read: a comma too many, or no item before a clause.
    if (FScanner.GetBookmark().Index == start.Index)
        Error(SWrongSQL);
    return FScanner.ExtractPiece(start, FScanner.GetBookmark(), false);
}

QChar TVxSQLParser::nameCloser() const
{
    if (FTokenKind != tkSymbol)
        return {};
    if (Is(u"\""))
        return u'"';
    if (Is(u"`"))
        return u'`';
    return Is(u"[") ? QChar(u']') : QChar();
}

void TVxSQLParser::skipQuotedName()
{
    skipQuotedName(nameCloser());
}

void TVxSQLParser::skipQuotedName(QChar closer)
{
    // A quoted name may hold any word, keywords included ("Order Date"):
    // nothing inside it ends an expression. A closing quote right after
    // another is a doubled one, inside the name.
    const auto isCloser = [&] { return FTokenKind == tkSymbol && FScanner.TokenView() == QStringView(&closer, 1); };
    for (;;) {
        Advance();
        while (!AtEnd() && !isCloser())
            Advance();
        if (AtEnd())
            Error(SWrongSQL);
        const TVxScannerBookmark end = FScanner.GetBookmark();
        Advance();
        const TVxScannerBookmark next = FScanner.GetBookmark();
        if (AtEnd() || !isCloser() || next.Line != end.Line || next.Column != end.Column + 1) {
            FScanner.GotoBookmark(end);
            loadToken();
            return;
        }
    }
}

QString TVxSQLParser::ProcessAlias()
{
    return ProcessIdentifier(true);
}

QString TVxSQLParser::ProcessIdentifier(bool stripQuotes)
{
    if (const QChar closer = nameCloser(); !closer.isNull()) {
        const TVxScannerBookmark start = FScanner.GetBookmark();
        skipQuotedName(closer);
        Advance();
        QString identifier = FScanner.ExtractPiece(start, FScanner.GetBookmark(), false).trimmed();
        if (stripQuotes)
            identifier = identifier.mid(1, identifier.size() - 2).replace(QString(2, closer), QString(closer));
        return identifier;
    }
    const QString identifier = FScanner.GetRealStr();
    Advance();
    return identifier;
}

QString TVxSQLParser::dottedName()
{
    QString name = ProcessIdentifier(true);
    while (Is(u".")) {
        Advance();
        name += u'.' + ProcessIdentifier(true);
    }
    return name;
}

void TVxSQLParser::SkipTokens(QStringView lower)
{
    while (!AtEnd() && FScanner.TokenIs(lower))
        Advance();
}

void TVxSQLParser::ProcessFrom()
{
    if (!Is(u"from"))
        Error(SWrongSQL);
    Advance();
    ProcessTable();
    while (Is(u",")) {
        Advance();
        ProcessTable();
    }
}

void TVxSQLParser::ProcessTable()
{
    auto table = std::make_unique<TSQLTable>();
    SkipTokens(u"(");
    if (AtEnd() || Is(u","))
        Error(SWrongSQL);
    table->SetTableName(dottedName());
    SkipTokens(u")");
    TSQLTable* added = table.get();
    FParserResult.FTables.Add(std::move(table));

    // LIMIT ends the table list too: the builder writes it after a FROM
    // without WHERE or ORDER BY.
    const auto endsItem = [this] {
        return AtEnd() || Is(u",") || Is(u"where") || Is(u"group") || Is(u"order") || Is(u"limit");
    };
    const auto startsJoin = [this] { return Is(u"join") || Is(u"inner") || Is(u"left") || Is(u"right") || Is(u"full"); };
    if (endsItem())
        return;
    if (startsJoin()) {
        ProcessTableJoins();
        return;
    }
    added->SetAliasName(ProcessIdentifier(true));
    if (!endsItem() && startsJoin())
        ProcessTableJoins();
}

void TVxSQLParser::ProcessTableJoins()
{
    const auto startsJoin = [this] { return Is(u"join") || Is(u"inner") || Is(u"left") || Is(u"right") || Is(u"full"); };
    const auto dropCondition = [&] {
        Advance();
        // Join conditions and kinds are not kept.
        ProcessBoolExpr();
        SkipTokens(u")");
    };
    // A joined table may open a bracket of joins of its own, as the builder
    // writes them with bracketed joins; the ON of the bracket then follows
    // the bracket's own joins.
    while (startsJoin() || Is(u"on")) {
        if (Is(u"on")) {
            dropCondition();
            continue;
        }
        if (Is(u"left") || Is(u"right") || Is(u"full")) {
            Advance();
            if (Is(u"outer"))
                Advance();
            if (!Is(u"join"))
                Error(SWrongSQL);
        } else if (Is(u"inner")) {
            Advance();
            if (!Is(u"join"))
                Error(SWrongSQL);
        }
        Advance();
        SkipTokens(u"(");
        if (AtEnd() || Is(u","))
            Error(SWrongSQL);
        auto table = std::make_unique<TSQLTable>();
        table->SetTableName(dottedName());
        if (!Is(u"on") && !startsJoin())
            table->SetAliasName(ProcessIdentifier(true));
        FParserResult.FTables.Add(std::move(table));
        if (Is(u"on"))
            dropCondition();
        else if (!startsJoin())
            Error(SWrongSQL);
    }
}

void TVxSQLParser::ProcessWhere()
{
    if (!Is(u"where"))
        Error(SWrongSQL);
    Advance();
    std::unique_ptr<TSQLNode> node = ProcessBoolExpr();
    if (node->IsBracket()) {
        FParserResult.FWhereClause.reset(static_cast<TSQLBracket*>(node.release()));
        return;
    }
    auto root = std::make_unique<TSQLBracket>();
    root->Nodes().Add(std::move(node));
    FParserResult.FWhereClause = std::move(root);
}

std::unique_ptr<TSQLNode> TVxSQLParser::ProcessBoolExpr()
{
    return readChain(u"or", &TVxSQLParser::ProcessBoolTerm);
}

std::unique_ptr<TSQLNode> TVxSQLParser::ProcessBoolTerm()
{
    return readChain(u"and", &TVxSQLParser::ProcessBoolFactor);
}

std::unique_ptr<TSQLNode> TVxSQLParser::readChain(QStringView link, std::unique_ptr<TSQLNode> (TVxSQLParser::*readPart)())
{
    std::unique_ptr<TSQLBracket> bracket;
    for (;;) {
        std::unique_ptr<TSQLNode> part = (this->*readPart)();
        if (!FScanner.TokenIs(link)) {
            if (!bracket)
                return part;
            bracket->Nodes().Add(std::move(part));
            return bracket;
        }
        if (!bracket)
            bracket = std::make_unique<TSQLBracket>(link.toString());
        bracket->Nodes().Add(std::move(part));
        // A link word at the end leaves its operand missing: the next part
        // raises the error there.
        Advance();
    }
}

std::unique_ptr<TSQLNode> TVxSQLParser::ProcessBoolFactor()
{
    bool negated = false;
    if (Is(u"not")) {
        negated = true;
        Advance();
    }
    std::unique_ptr<TSQLNode> node;
    if (Is(u"(")) {
        if (++FDepth > kMaxBracketDepth)
            Error(SDeepBrackets);
        Advance();
        node = ProcessBoolExpr();
        if (!Is(u")"))
            Error(SLostBracket);
        Advance();
        --FDepth;
    } else {
        node = ProcessCondition();
    }
    if (negated)
        node->SetNegative(true);
    return node;
}

std::unique_ptr<TSQLCondition> TVxSQLParser::ProcessCondition()
{
    auto condition = std::make_unique<TSQLCondition>();
    bool subQuery = false;
    condition->SetLeftExpr(ProcessConditionValue(subQuery));
    if (AtEnd())
        Error(SWrongSQL);
    bool negated = false;
    if (Is(u"not")) {
        negated = true;
        Advance();
    }
    const QString op = Token();
    condition->SetOperator(op);
    Advance();
    if (AtEnd())
        Error(SWrongSQL);
    if (op == QLatin1String("is") && Is(u"not")) {
        negated = true;
        Advance();
    }
    condition->SetNegative(negated);
    QString right = quotedAsLiteral(ProcessConditionValue(subQuery));
    if (op == QLatin1String("is"))
        right = right.toLower();
    if (op == QLatin1String("between")) {
        if (!Is(u"and"))
            Error(SWrongSQL);
        Advance();
        right += QStringLiteral(" and ") + quotedAsLiteral(ProcessConditionValue(subQuery));
    }
    condition->SetRightExpr(right);
    condition->SetContainsSubQuery(subQuery);
    return condition;
}

QString TVxSQLParser::ProcessConditionValue(bool& containsSubQuery)
{
    const TVxScannerBookmark start = FScanner.GetBookmark();
    int depth = 0;
    // The bracket depths at which the sub-queries around the current token
    // began: the import reads each level into a query of its own.
    std::vector<int> subQueries;
    const auto enter = [&] {
        if (FDepth + depth > kMaxBracketDepth)
            Error(SDeepBrackets);
    };
    const auto noteSubQuery = [&] {
        while (!subQueries.empty() && subQueries.back() >= depth)
            subQueries.pop_back();
        subQueries.push_back(depth);
        if (static_cast<int>(subQueries.size()) > kMaxSubQueryDepth)
            Error(SDeepSubQueries);
    };
    while (!AtEnd() && Is(u"(")) {
        ++depth;
        enter();
        Advance();
    }
    if (!AtEnd() && Is(u"select"))
        containsSubQuery = true;
    while (!AtEnd()) {
        if (!nameCloser().isNull()) {
            skipQuotedName();
            Advance();
            continue;
        }
        if (Is(u"select")) {
            noteSubQuery();
        } else if (Is(u"(")) {
            ++depth;
            enter();
        } else if (Is(u")")) {
            if (depth <= 0)
                break;
            --depth;
        }
        if (depth == 0
            && (FTokenKind == tkKeyword
                || ((FTokenKind == tkWord || FTokenKind == tkSymbol) && isOperatorWord(FScanner))))
            break;
        Advance();
    }
    if (AtEnd() && depth > 0)
        Error(SWrongSQL);
    // A missing operand, as in "x = = 1" or "= 1", is raised at the token
    // standing in its place.
    if (FScanner.GetBookmark().Index == start.Index)
        Error(SWrongSQL);
    return FScanner.ExtractPiece(start, FScanner.GetBookmark(), false);
}

void TVxSQLParser::ProcessGroupBy()
{
    if (!Is(u"group"))
        Error(SWrongSQL);
    Advance();
    if (!Is(u"by"))
        Error(SWrongSQL);
    // A row limit of the server syntaxes may follow the grouping (and the
    // HAVING text it swallows) directly.
    do {
        Advance();
        ProcessSQLExpr(true);
    } while (!AtEnd() && Is(u","));
}

void TVxSQLParser::ProcessOrderBy()
{
    if (!Is(u"order"))
        Error(SWrongSQL);
    Advance();
    if (!Is(u"by"))
        Error(SWrongSQL);
    Advance();
    // SQL Server's ORDER BY (SELECT NULL) before OFFSET sorts by no column.
    if (Is(u"(")) {
        SkipTokens(u"(");
        while (!AtEnd() && !Is(u")"))
            Advance();
        SkipTokens(u")");
        return;
    }
    TSQLResultFieldList& fields = FParserResult.FResultFields;
    const bool numbers = FTokenKind == tkInteger;
    for (int position = 1;; ++position) {
        if (AtEnd() || Is(u","))
            Error(SWrongSQL);
        TSQLResultField* item = nullptr;
        if (numbers) {
            bool ok = false;
            const int column = FScanner.TokenView().toInt(&ok);
            if (!ok || column < 1 || column > fields.Count())
                Error(SWrongSQL);
            item = fields.GetItem(column - 1);
            Advance();
        } else {
            const TVxScannerBookmark nameStart = FScanner.GetBookmark();
            QString name = ProcessIdentifier(false);
            if (Is(u".")) {
                Advance();
                if (AtEnd())
                    Error(SWrongSQL);
                name += u'.' + ProcessIdentifier(false);
            }
            if (fields.JustSorting()) {
                item = AddResultField(name, QString());
            } else {
                int index = fields.IndexByAlias(name);
                if (index < 0)
                    index = fields.IndexByExpr(name);
                // Raised at the name, not at the token after it.
                if (index < 0)
                    errorAt(SWrongSQL, nameStart, FScanner.ExtractPiece(nameStart, FScanner.GetBookmark(), false));
                item = fields.GetItem(index);
            }
        }
        item->SetSorting(1);
        item->SetSortOrder(position);
        // The word after an item is its direction, unless a row limit starts.
        if (!AtEnd() && !Is(u",") && !Is(u"limit") && !Is(u"offset")) {
            if (Is(u"desc"))
                item->SetSorting(2);
            Advance();
        }
        if (AtEnd() || !Is(u","))
            return;
        Advance();
        if (numbers && FTokenKind != tkInteger)
            Error(SWrongSQL);
    }
}

} // namespace brindle
