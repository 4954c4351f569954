#pragma once
// TVxSQLParser: reads a SELECT statement of the shape the statement builder
// writes (and hand-written statements of the same shape) into a parser
// result: the select list, the tables of the FROM clause with their joins,
// and the WHERE clause as a tree of brackets and comparisons. It knows
// nothing of the data model; the import maps the result onto a query.
//
// The parser descends recursively only into brackets; conditions joined by
// AND or OR are read in a loop, so a long flat chain costs no stack. Nesting
// beyond fixed bounds ends the parse with an error.
//
// Ownership: the parser owns its lines, its scanner and one result, which
// every Parse empties and refills; callers read the result in place. Each
// bracket owns its nodes; a node knows the bracket that holds it.

#include <brindle/brindle_core_export.h>
#include <brindle/foundations/errors.h>
#include <brindle/foundations/object_list.h>
#include <brindle/foundations/scanner.h>
#include <brindle/foundations/string_list.h>

#include <memory>

namespace brindle {

// The parser's messages.
BRINDLE_CORE_EXPORT extern const char* const SWrongSQL;
BRINDLE_CORE_EXPORT extern const char* const SLostBracket;
BRINDLE_CORE_EXPORT extern const char* const SDeepBrackets;
BRINDLE_CORE_EXPORT extern const char* const SDeepSubQueries;

// One item of the select list.
class BRINDLE_CORE_EXPORT TSQLResultField {
public:
    const QString& Alias() const { return FAlias; }
    void SetAlias(const QString& alias) { FAlias = alias; }
    const QString& Caption() const { return FCaption; }
    const QString& SQLExpr() const { return FSQLExpr; }
    // The caption is the whole expression when it has a "(" at or before its
    // first ".", else the text after the first ".".
    void SetSQLExpr(const QString& expr);
    // 0 not sorted, 1 ascending, 2 descending.
    int Sorting() const { return FSorting; }
    void SetSorting(int sorting) { FSorting = sorting; }
    // 1-based place in the ORDER BY list; 0 when not sorted.
    int SortOrder() const { return FSortOrder; }
    void SetSortOrder(int order) { FSortOrder = order; }

private:
    QString FAlias;
    QString FCaption;
    QString FSQLExpr;
    int FSorting = 0;
    int FSortOrder = 0;
};

class BRINDLE_CORE_EXPORT TSQLResultFieldList : public TVxObjectList<TSQLResultField> {
public:
    // Set for "SELECT *": ORDER BY then adds sort-only items.
    bool JustSorting() const { return FJustSorting; }
    void SetJustSorting(bool just) { FJustSorting = just; }
    // First item whose alias, or expression, equals the text ignoring case; -1 when none.
    int IndexByAlias(const QString& alias) const;
    int IndexByExpr(const QString& expr) const;

private:
    bool FJustSorting = false;
};

class BRINDLE_CORE_EXPORT TSQLTable {
public:
    const QString& AliasName() const { return FAliasName; }
    void SetAliasName(const QString& alias) { FAliasName = alias; }
    const QString& TableName() const { return FTableName; }
    // The alias follows the name while none is given.
    void SetTableName(const QString& name);

private:
    QString FAliasName;
    QString FTableName;
};

using TSQLTableList = TVxObjectList<TSQLTable>;

class TSQLBracket;

// A node of the WHERE tree: a bracket or a comparison.
class BRINDLE_CORE_EXPORT TSQLNode {
public:
    TSQLNode() = default;
    TSQLNode(const TSQLNode&) = delete;
    TSQLNode& operator=(const TSQLNode&) = delete;
    virtual ~TSQLNode();
    virtual bool IsBracket() const = 0;
    // The bracket whose list holds the node; none for the root.
    TSQLBracket* Parent() const { return FParent; }
    bool Negative() const { return FNegative; }
    void SetNegative(bool negative) { FNegative = negative; }

private:
    friend class TSQLConditionNodeList;
    TSQLBracket* FParent = nullptr;
    bool FNegative = false;
};

// The nodes of a bracket. A node added or stored here gets the bracket as
// its parent.
class BRINDLE_CORE_EXPORT TSQLConditionNodeList {
public:
    explicit TSQLConditionNodeList(TSQLBracket* parentBracket) : FParentBracket(parentBracket) {}
    int Count() const { return FNodes.Count(); }
    TSQLNode* GetItem(int index) const { return FNodes.GetItem(index); }
    int Add(std::unique_ptr<TSQLNode> node);
    // Stores the node at the index, freeing the one there.
    void SetItem(int index, std::unique_ptr<TSQLNode> node);
    // Hands the node at the index back without freeing it.
    std::unique_ptr<TSQLNode> Extract(int index);
    auto begin() const { return FNodes.begin(); }
    auto end() const { return FNodes.end(); }

private:
    TSQLBracket* FParentBracket;
    TVxObjectList<TSQLNode> FNodes;
};

// Nodes joined by one logical operator: "and", "or", or empty for a root the
// parser made around a single node.
class BRINDLE_CORE_EXPORT TSQLBracket : public TSQLNode {
public:
    explicit TSQLBracket(const QString& boolOperator = QString()) : FBoolOperator(boolOperator) {}
    ~TSQLBracket() override;
    bool IsBracket() const override { return true; }
    const QString& BoolOperator() const { return FBoolOperator; }
    void SetBoolOperator(const QString& op) { FBoolOperator = op; }
    TSQLConditionNodeList& Nodes() { return FNodes; }
    const TSQLConditionNodeList& Nodes() const { return FNodes; }
    // Replaces every child bracket holding a single node by that node, at
    // every depth below this bracket.
    void DeleteEmptyBrackets();

private:
    QString FBoolOperator;
    TSQLConditionNodeList FNodes{this};
};

// One comparison: left operand, operator, right operand as written.
class BRINDLE_CORE_EXPORT TSQLCondition : public TSQLNode {
public:
    bool IsBracket() const override { return false; }
    const QString& LeftExpr() const { return FLeftExpr; }
    void SetLeftExpr(const QString& expr) { FLeftExpr = expr; }
    const QString& RightExpr() const { return FRightExpr; }
    void SetRightExpr(const QString& expr) { FRightExpr = expr; }
    // Lower case: "=", "<>", "like", "in", "is", "between", ...
    const QString& Operator() const { return FOperator; }
    void SetOperator(const QString& op) { FOperator = op; }
    bool ContainsSubQuery() const { return FContainsSubQuery; }
    void SetContainsSubQuery(bool contains) { FContainsSubQuery = contains; }
    // "left op right", as "not(...)" when negated.
    QString GetSQLExpr() const;
    // The same written into text, reusing its room.
    void GetSQLExpr(QString& text) const;

private:
    QString FLeftExpr;
    QString FRightExpr;
    QString FOperator;
    bool FContainsSubQuery = false;
};

class BRINDLE_CORE_EXPORT TVxParserResult {
public:
    TVxParserResult() = default;
    TVxParserResult(const TVxParserResult&) = delete;
    TVxParserResult& operator=(const TVxParserResult&) = delete;

    bool Distinct() const { return FDistinct; }
    // The select list was "*".
    bool AllRFields() const { return FAllRFields; }
    TSQLResultFieldList& ResultFields() { return FResultFields; }
    const TSQLResultFieldList& ResultFields() const { return FResultFields; }
    // The WHERE tree; none when the statement has no WHERE clause.
    TSQLBracket* WhereClause() const { return FWhereClause.get(); }
    // FROM tables and joined tables, in the order they occur.
    TSQLTableList& Tables() { return FTables; }
    const TSQLTableList& Tables() const { return FTables; }
    // The row limit as the query keeps it: the count after TOP, and "n" or
    // "n OFFSET m" from LIMIT or OFFSET ... FETCH; empty when none.
    const QString& TopClause() const { return FTopClause; }
    const QString& LimitClause() const { return FLimitClause; }
    void Clear();

private:
    friend class TVxSQLParser;
    QString FTopClause;
    QString FLimitClause;
    bool FDistinct = false;
    bool FAllRFields = false;
    TSQLResultFieldList FResultFields;
    std::unique_ptr<TSQLBracket> FWhereClause;
    TSQLTableList FTables;
};

class BRINDLE_CORE_EXPORT TVxSQLParser {
public:
    // Brackets nested deeper than this, counted through conditions, operands
    // and the sub-queries in them, end the parse; so do sub-queries nested
    // deeper than kMaxSubQueryDepth, each of which the import reads into a
    // query of its own.
    static constexpr int kMaxBracketDepth = 1000;
    static constexpr int kMaxSubQueryDepth = 100;

    TVxSQLParser();
    TVxSQLParser(const TVxSQLParser&) = delete;
    TVxSQLParser& operator=(const TVxSQLParser&) = delete;
    virtual ~TVxSQLParser();

    void SetSQL(const TStringList& lines);
    const TStringList& SQL() const { return FSQL; }
    // Raises ESQLParserError, with the line, column and text of the token at
    // fault, on a statement it cannot read; the result keeps what was read
    // before.
    void Parse();
    TVxParserResult& ParserResult() { return FParserResult; }
    const TVxParserResult& ParserResult() const { return FParserResult; }

protected:
    // The clause handlers; a descendant may replace the handling of one.
    virtual void ProcessSelect();
    virtual void ProcessFrom();
    virtual void ProcessWhere();
    virtual void ProcessOrderBy();
    virtual void ProcessGroupBy();

    // The building blocks the handlers share.
    void ProcessResultField();
    // With rowLimitEnds, LIMIT and OFFSET end the expression as well.
    QString ProcessSQLExpr(bool rowLimitEnds = false);
    QString ProcessAlias();
    QString ProcessIdentifier(bool stripQuotes);
    void ProcessTable();
    void ProcessTableJoins();
    std::unique_ptr<TSQLNode> ProcessBoolExpr();
    std::unique_ptr<TSQLNode> ProcessBoolTerm();
    std::unique_ptr<TSQLNode> ProcessBoolFactor();
    std::unique_ptr<TSQLCondition> ProcessCondition();
    QString ProcessConditionValue(bool& containsSubQuery);
    void SkipTokens(QStringView lower);
    TSQLResultField* AddResultField(const QString& expr, const QString& alias);
    // Raises the message at the current token.
    [[noreturn]] void Error(const char* message) const;

    // The current token, lower-cased, and its kind.
    const QString& Token() const;
    int TokenKind() const { return FTokenKind; }
    bool AtEnd() const { return FTokenKind == tkNone; }
    // Whether the current token is the lower-case text, letter case ignored;
    // the token is not copied, and most differ in length.
    template <std::size_t N>
    bool Is(const char16_t (&text)[N]) const
    {
        return FScanner.TokenIs(QStringView(text, N - 1));
    }
    void Advance();
    TVxScanner& Scanner() { return FScanner; }

private:
    QString dottedName();
    // Parts read by readPart and joined by the link word ("or", "and"): the
    // single part alone, or a bracket of them. A loop, so that a long chain
    // costs no stack.
    std::unique_ptr<TSQLNode> readChain(QStringView link, std::unique_ptr<TSQLNode> (TVxSQLParser::*readPart)());
    // From an opening double quote to the closing one, which is left current.
    // LIMIT n [OFFSET m] or OFFSET m ROWS FETCH NEXT n ROWS ONLY.
    void processRowLimit();
    void skipQuotedName();
    void skipQuotedName(QChar closer);
    // The quote that closes a name opened by the current token ("\"", "`"
    // or "["), null when the token opens none.
    QChar nameCloser() const;
    void loadToken();
    // Raises the message at the token (or name) marked, written as text.
    [[noreturn]] void errorAt(const char* message, const TVxScannerBookmark& at, const QString& text) const;

    TStringList FSQL;
    TVxScanner FScanner;
    TVxParserResult FParserResult;
    int FTokenKind = tkNone;
    mutable QString FToken;
    mutable bool FTokenValid = false;
    int FDepth = 0;
    // Just past the last token read: where an error at the end points.
    TVxScannerBookmark FPrevEnd;
};

} // namespace brindle
