// Condition values as SQL: literals by field type and syntax, lists,
// sub-queries and parameter references put in place of "@1", "@2", ... in a
// condition's text. A value is never SQL: a value of a type written without
// quotes must read as a number (or as one of the model's Boolean texts), and
// a value written inside quotes has its quotes doubled.

#include <brindle/query/query.h>
#include <brindle/query/statement_builder_p.h>

#include <brindle/foundations/conversions.h>
#include <brindle/foundations/date_time.h>
#include <brindle/foundations/syntax_rules.h>
#include <brindle/foundations/text_utils.h>

#include <QVarLengthArray>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>

namespace brindle {
namespace {

const TFieldTypes kIntegerTypes = {ftSmallint, ftInteger,  ftWord, ftAutoInc,
                                   ftLargeint, ftShortint, ftByte, ftLongWord};
const TFieldTypes kDecimalTypes = {ftBCD, ftFMTBcd};
// Read by the locale's float reader and written without the locale.
const TFieldTypes kFloatTypes = {ftFloat, ftCurrency, ftExtended, ftSingle};

constexpr QChar kQuote = u'\'';

const TSQLFormats& formatsOf(const TVxQuery& query)
{
    if (const TVxCustomDBStructure* model = query.DbStruct())
        return *model->SQLFormats();
    static const TSQLFormats defaults;
    return defaults;
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Optional sign, then digits; with allowPoint one "." may stand among or
// around them. At least one digit.
bool isPlainNumber(const QString& text, bool allowPoint)
{
    qsizetype i = 0;
    if (i < text.size() && (text.at(i) == u'+' || text.at(i) == u'-'))
        ++i;
    bool digits = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (isAsciiDigit(c))
            digits = true;
        else if (c == u'.' && allowPoint && !point)
            point = true;
        else
            return false;
    }
    return digits;
}

QString checkedInteger(const QString& value)
{
    const QString text = TrimBlanks(value);
    if (!isPlainNumber(text, false))
        throw EConvertError(QStringLiteral("'%s' is not a valid integer value"), {value});
    return text;
}

QString checkedDecimal(const QString& value)
{
    const QString text = TrimBlanks(value);
    if (!isPlainNumber(text, true))
        throw EConvertError(QStringLiteral("'%s' is not a valid floating point value"), {value});
    return text;
}

QString checkedBoolean(const QString& value, const TSQLFormats& formats)
{
    const QString text = TrimBlanks(value);
    if (text.compare(formats.TrueValue(), Qt::CaseInsensitive) == 0)
        return formats.TrueValue();
    if (text.compare(formats.FalseValue(), Qt::CaseInsensitive) == 0)
        return formats.FalseValue();
    throw EConvertError(QStringLiteral("'%s' is not a valid Boolean value"), {value});
}

QString doubledQuotes(const QString& value)
{
    if (!value.contains(kQuote))
        return value;
    return ReplaceStr(value, QString(kQuote), QStringLiteral("''"));
}

// The locale's short date, and its long time when the value has one.
QString localeDateTimeText(TDateTime value)
{
    const FormatSettings formats = GetCurrentFormats();
    QString text = FormatDateTime(formats.ShortDateFormat, value);
    double day = 0;
    if (std::modf(value, &day) != 0)
        text += u' ' + FormatDateTime(formats.LongTimeFormat, value);
    return text;
}

// A condition text while its placeholders are replaced. Every inserted
// value stands in it as one marker character tagged with the value's slot,
// so that a later placeholder is never looked for inside an earlier value
// and a value's quotes never move a token's ends; the values are put in
// only at the end.
class MarkedText {
public:
    MarkedText() = default;
    explicit MarkedText(const QString& plain) : FText(plain) {}
    static MarkedText valueSlot(int slot)
    {
        MarkedText text;
        text.FText += kMark;
        text.FMarks.push_back({0, slot});
        return text;
    }

    const QString& text() const { return FText; }
    qsizetype size() const { return FText.size(); }

    void append(const QString& plain) { FText += plain; }
    void append(const MarkedText& other)
    {
        for (const Mark& m : other.FMarks)
            FMarks.push_back({m.pos + FText.size(), m.slot});
        FText += other.FText;
    }

    // Appends a stretch of another text, its marks with it.
    void appendSlice(const MarkedText& from, qsizetype pos, qsizetype len)
    {
        for (const Mark& m : from.FMarks)
            if (m.pos >= pos && m.pos < pos + len)
                FMarks.push_back({m.pos - pos + FText.size(), m.slot});
        FText += QStringView(from.FText).mid(pos, len);
    }

    MarkedText mid(qsizetype pos, qsizetype len) const
    {
        MarkedText part;
        part.FText = FText.mid(pos, len);
        for (const Mark& m : FMarks)
            if (m.pos >= pos && m.pos < pos + len)
                part.FMarks.push_back({m.pos - pos, m.slot});
        return part;
    }

    // First occurrence from the position with the same characters and the
    // same values; -1 when none.
    qsizetype indexOf(const MarkedText& part, qsizetype from) const
    {
        if (part.FText.isEmpty())
            return -1;
        for (qsizetype pos = FText.indexOf(part.FText, from); pos >= 0; pos = FText.indexOf(part.FText, pos + 1))
            if (marksMatch(part, pos))
                return pos;
        return -1;
    }

    // Every occurrence replaced, left to right, without looking into the
    // replacements.
    MarkedText replaced(const MarkedText& oldPart, const MarkedText& newPart) const
    {
        qsizetype pos = indexOf(oldPart, 0);
        if (pos < 0)
            return *this;
        MarkedText out;
        out.FText.reserve(FText.size() + newPart.size());
        qsizetype done = 0;
        for (; pos >= 0; pos = indexOf(oldPart, done)) {
            out.appendSlice(*this, done, pos - done);
            out.append(newPart);
            done = pos + oldPart.size();
        }
        out.appendSlice(*this, done, size() - done);
        return out;
    }

    QString resolved(const QStringList& values) const
    {
        if (FMarks.empty())
            return FText;
        QString out;
        out.reserve(FText.size() + 32);
        qsizetype done = 0;
        for (const Mark& m : sortedMarks()) {
            out += QStringView(FText).mid(done, m.pos - done);
            out += values.at(m.slot);
            done = m.pos + 1;
        }
        out += QStringView(FText).mid(done);
        return out;
    }

private:
    static constexpr QChar kMark = u'\uFFFC';
    struct Mark {
        qsizetype pos;
        int slot;
    };

    // The part's marks, and only they, stand at the same places from pos on;
    // a marker character of the text that is no value never matches one.
    bool marksMatch(const MarkedText& part, qsizetype pos) const
    {
        std::size_t inRange = 0;
        for (const Mark& m : FMarks) {
            if (m.pos < pos || m.pos >= pos + part.size())
                continue;
            ++inRange;
            const auto same = std::find_if(part.FMarks.cbegin(), part.FMarks.cend(), [&](const Mark& p) {
                return p.pos + pos == m.pos && p.slot == m.slot;
            });
            if (same == part.FMarks.cend())
                return false;
        }
        return inRange == part.FMarks.size();
    }

    std::vector<Mark> sortedMarks() const
    {
        std::vector<Mark> marks = FMarks;
        std::sort(marks.begin(), marks.end(), [](const Mark& a, const Mark& b) { return a.pos < b.pos; });
        return marks;
    }

    QString FText;
    std::vector<Mark> FMarks; // value markers in FText, by position
};

// The token of a placeholder whose first occurrence starts at the 0-based
// position first: the stretch around it up to the nearest single quote on
// each side, or the placeholder alone when neither side meets one before the
// text's ends. Positions below are 1-based, as the rule counts them.
// Where the token lies in a text: its 0-based start and length, or none
// when the token is the placeholder alone.
std::optional<std::pair<qsizetype, qsizetype>> tokenBounds(QStringView t, QStringView placeholder,
                                                            qsizetype first)
{
    const qsizetype n = t.size();
    const auto at = [&t](qsizetype pos) { return t.at(pos - 1); };
    const qsizetype p = first + 1;
    qsizetype l = p - 1;
    while (l > 1 && at(l) != kQuote)
        --l;
    qsizetype r = p + placeholder.size();
    while (r < n && at(r) != kQuote)
        ++r;
    if (l < 2 && r >= n)
        return std::nullopt;
    l = std::max<qsizetype>(l, 1);
    r = std::min(r, n);
    return std::make_pair(l - 1, r - l + 1);
}

// Value markers are no quotes, so the plain text gives the bounds.
MarkedText placeholderToken(const MarkedText& text, const QString& placeholder, qsizetype first)
{
    const auto bounds = tokenBounds(text.text(), placeholder, first);
    return bounds ? text.mid(bounds->first, bounds->second) : MarkedText(placeholder);
}

} // namespace

QString TSQLParam::GetFullValue() const
{
    return ReplaceStr(FValueFormat, QStringLiteral("@v"), FEscapedLike ? EscapeLikeParam(*FEscapedLike, FValue) : FValue);
}

namespace {

// Stand-ins for inserted values while a condition text is filled in: one
// private-use character per value. They make the plain text behave exactly
// as the marked text does, as long as neither the template nor any value
// holds one of them; then the marked text does the work.
constexpr char16_t kFirstStandIn = 0xE000;
constexpr char16_t kLastStandIn = 0xE0FF;

bool isStandIn(char16_t c)
{
    return c >= kFirstStandIn && c <= kLastStandIn;
}

bool holdsStandIn(QStringView text)
{
    const char16_t* data = text.utf16();
    bool found = false;
    // No early exit: the plain loop over short texts vectorises.
    for (qsizetype i = 0; i < text.size(); ++i)
        found |= static_cast<char16_t>(data[i] - kFirstStandIn) <= kLastStandIn - kFirstStandIn;
    return found;
}

// The first occurrence of the pattern from the position. Condition texts
// are short: a plain scan beats building search tables for each.
qsizetype findPlain(QStringView text, QStringView pattern, qsizetype from)
{
    // No pointer may be formed before the text or past its end (an empty
    // text has no data at all).
    if (pattern.isEmpty() || from < 0 || pattern.size() > text.size() - from)
        return -1;
    const char16_t* data = text.utf16();
    const char16_t* const end = data + text.size() - pattern.size() + 1;
    const char16_t lead = pattern.front().unicode();
    for (const char16_t* p = data + from; p < end; ++p)
        if (*p == lead && std::equal(pattern.utf16() + 1, pattern.utf16() + pattern.size(), p + 1))
            return p - data;
    return -1;
}

// Copies characters. The pieces of a condition text are a few characters
// each: fixed-size moves stay inline, where a library call per piece costs
// more than the copying itself.
char16_t* copyChars(const char16_t* from, qsizetype count, char16_t* to)
{
    if (count > 64)
        return std::copy_n(from, count, to);
    for (; count >= 4; count -= 4, from += 4, to += 4)
        std::memcpy(to, from, 4 * sizeof(char16_t));
    if (count >= 2) {
        std::memcpy(to, from, 2 * sizeof(char16_t));
        count -= 2;
        from += 2;
        to += 2;
    }
    if (count == 1)
        *to++ = *from;
    return to;
}

// A text being written: on the stack while it is short, as condition
// texts are, and on the heap beyond that.
class TextBuffer {
public:
    TextBuffer() = default;
    TextBuffer(const TextBuffer&) = delete;
    TextBuffer& operator=(const TextBuffer&) = delete;

    void clear() { FSize = 0; }
    void append(char16_t c)
    {
        reserve(FSize + 1);
        FData[FSize++] = c;
    }
    void append(QStringView text)
    {
        reserve(FSize + text.size());
        copyChars(text.utf16(), text.size(), FData + FSize);
        FSize += text.size();
    }
    QStringView view() const { return QStringView(FData, FSize); }

private:
    void reserve(qsizetype size)
    {
        if (size <= FCapacity)
            return;
        const qsizetype capacity = std::max(size, 2 * FCapacity);
        auto grown = std::make_unique<char16_t[]>(static_cast<std::size_t>(capacity));
        std::copy_n(FData, FSize, grown.get());
        FHeap = std::move(grown);
        FData = FHeap.get();
        FCapacity = capacity;
    }

    static constexpr qsizetype kInline = 160;
    char16_t FInline[kInline];
    std::unique_ptr<char16_t[]> FHeap;
    char16_t* FData = FInline;
    qsizetype FSize = 0;
    qsizetype FCapacity = kInline;
};

// A condition text while it is filled in. It lives on the stack in two
// buffers used in turn: a replacement writes into the other one, so nothing
// is allocated or copied back for the short texts conditions have.
class WorkText {
public:
    explicit WorkText(QStringView start) { FBuffers[0].append(start); }
    QStringView view() const { return FBuffers[FCurrent].view(); }

    // Every occurrence replaced, left to right, without looking into what
    // was put in. The pattern may lie in the text itself.
    void replace(QStringView pattern, QStringView with) { replaceFrom(findPlain(view(), pattern, 0), pattern, with); }

    // The same, given where the pattern first stands (-1 for nowhere).
    void replaceFrom(qsizetype pos, QStringView pattern, QStringView with)
    {
        const QStringView text = view();
        if (pos < 0)
            return;
        TextBuffer& out = FBuffers[1 - FCurrent];
        out.clear();
        qsizetype done = 0;
        for (; pos >= 0; pos = findPlain(text, pattern, done)) {
            out.append(text.mid(done, pos - done));
            out.append(with);
            done = pos + pattern.size();
        }
        out.append(text.mid(done));
        FCurrent = 1 - FCurrent;
    }

private:
    TextBuffer FBuffers[2];
    int FCurrent = 0;
};

// "@1", "@2", ... written into the buffer.
QStringView placeholderOf(int index, char16_t (&buffer)[16])
{
    char16_t digits[12];
    int count = 0;
    for (unsigned n = static_cast<unsigned>(index); count == 0 || n > 0; n /= 10)
        digits[count++] = static_cast<char16_t>(u'0' + n % 10);
    qsizetype size = 0;
    buffer[size++] = u'@';
    while (count > 0)
        buffer[size++] = digits[--count];
    return QStringView(buffer, size);
}

// Whether the condition's values are compared in lower case.
bool lowersValues(const TFilterCond* condition)
{
    if (condition->RowType() != frtSimpleCondition)
        return false;
    const auto* simple = static_cast<const TSimpleCond*>(condition);
    return simple->Operator() && simple->Operator()->CaseInsensative() && BrStringTypes.Contains(simple->GetExprType());
}

// Whether a value of this type replaces its whole token: Oracle's date
// function and the server syntaxes' date literals bring their own quotes.
bool writesWholeLiteral(TSQLSyntax syntax, TFieldType type)
{
    if (syntax == ssOracle)
        return type == ftDate || type == ftDateTime;
    return IsServerSyntax(syntax) && BrDateTimeTypes.Contains(type);
}

// Whether the token starting at tokenStart is the pattern of a LIKE.
bool followsLike(QStringView text, qsizetype tokenStart)
{
    qsizetype end = tokenStart;
    while (end > 0 && text[end - 1].isSpace())
        --end;
    if (end < 4 || text.mid(end - 4, 4).compare(u"like", Qt::CaseInsensitive) != 0)
        return false;
    const qsizetype before = end - 5;
    return before < 0 || !(text[before].isLetterOrNumber() || text[before] == u'_');
}

// Whether the value at the token is a LIKE pattern a server syntax escapes.
bool escapesLike(const TVxQuery& query, const TFilterCond* condition, int index, QStringView text,
                 qsizetype tokenStart)
{
    return IsServerSyntax(query.SQLSyntax()) && condition->GetValueKind(index) == vkScalar
           && !BrDateTimeTypes.Contains(condition->GetValueType(index)) && followsLike(text, tokenStart);
}

// Escapes the pattern characters of a value a server syntax writes into a
// LIKE pattern; true when the condition then needs the ESCAPE clause.
bool escapeLikeValue(const TVxQuery& query, const TFilterCond* condition, int index, QStringView text,
                     qsizetype tokenStart, QString& value)
{
    return escapesLike(query, condition, index, text, tokenStart) && EscapeLikeText(query.SQLSyntax(), value);
}

// A parameter in a LIKE pattern is escaped when bound, whatever its value
// then is, so its statement always names the escape character.
bool markLikeParam(const TVxQuery& query, const TFilterCond* condition, int index, QStringView text,
                   qsizetype tokenStart, TSQLParam& param)
{
    const bool like = escapesLike(query, condition, index, text, tokenStart);
    param.SetEscapedLike(like ? std::optional(query.SQLSyntax()) : std::nullopt);
    return like;
}

// The common way of filling in the values: stand-ins in the plain text.
// False when the text or a value holds a stand-in character; the marked
// text then does the work. The stand-ins keep their place because they are
// what makes building fast: with marks alone a statement of 100 conditions
// takes a tenth longer to build and one of 10,000 twice as long.
bool fillWithStandIns(TVxQuery& query, TFilterCond* condition, WorkText& sql, bool lowerValues, QString& result)
{
    const int count = condition->GetValueCount();
    if (count > kLastStandIn - kFirstStandIn || holdsStandIn(sql.view()))
        return false;
    const TSQLFormats& formats = formatsOf(query);
    QVarLengthArray<QString, 2> values;
    TextBuffer replacement;
    TextBuffer spare;
    char16_t placeholderBuffer[16];
    for (int index = 1; index <= count; ++index) {
        const QStringView placeholder = placeholderOf(index, placeholderBuffer);
        const QStringView text = sql.view();
        const qsizetype first = findPlain(text, placeholder, 0);
        if (first < 0)
            continue; // a custom condition may leave a value out of its text
        const auto bounds = tokenBounds(text, placeholder, first);
        const QStringView token = bounds ? text.mid(bounds->first, bounds->second) : placeholder;
        replacement.clear();
        bool escaped = false;
        if (TSQLParam* param = condition->GetParam(index)) {
            replacement.append(u':');
            replacement.append(param->ParamName());
            param->SetValueFormat(TVxQuery::ParamValueFormat(condition, index));
            escaped = markLikeParam(query, condition, index, text, bounds ? bounds->first : first, *param);
        } else {
            const TFieldType type = condition->GetValueType(index);
            const bool quoted = formats.QuotedTypes().Contains(type);
            const bool whole = writesWholeLiteral(query.SQLSyntax(), type);
            QString value = query.ExtractValue(condition, index);
            if (holdsStandIn(value))
                return false;
            escaped = escapeLikeValue(query, condition, index, text, bounds ? bounds->first : first, value);
            const char16_t standIn = static_cast<char16_t>(kFirstStandIn + values.size());
            values.append(std::move(value));
            if ((!quoted && condition->GetValueKind(index) == vkScalar) || whole) {
                replacement.append(standIn);
            } else {
                // The token with every placeholder in it standing for the value.
                for (qsizetype done = 0, pos = findPlain(token, placeholder, 0);;
                     pos = findPlain(token, placeholder, done)) {
                    replacement.append(token.mid(done, (pos < 0 ? token.size() : pos) - done));
                    if (pos < 0)
                        break;
                    replacement.append(standIn);
                    done = pos + placeholder.size();
                }
            }
        }
        if (lowerValues) {
            spare.clear();
            spare.append(formats.LowerFunc());
            spare.append(u'(');
            spare.append(replacement.view());
            spare.append(u')');
            replacement.clear();
            replacement.append(spare.view());
        }
        if (escaped)
            replacement.append(LikeEscapeClause(query.SQLSyntax()));
        // The token's first occurrence is the one around the placeholder's
        // first: an earlier one would hold an earlier placeholder.
        sql.replaceFrom(bounds ? bounds->first : first, token, replacement.view());
    }

    // The line is made once, with room for the link the statement appends.
    const QStringView text = sql.view();
    qsizetype size = text.size();
    for (const QString& value : values)
        size += value.size() - 1;
    result = QString(size + 8, Qt::Uninitialized);
    result.resize(size);
    char16_t* out = reinterpret_cast<char16_t*>(result.data());
    for (const QChar c : text) {
        if (!isStandIn(c.unicode())) {
            *out++ = c.unicode();
            continue;
        }
        const QString& value = values[c.unicode() - kFirstStandIn];
        out = copyChars(reinterpret_cast<const char16_t*>(value.constData()), value.size(), out);
    }
    return true;
}

// The general way: the values stand in the text as marks.
QString fillWithMarks(TVxQuery& query, TFilterCond* condition, const QString& text, bool lowerValues)
{
    const TSQLFormats& formats = formatsOf(query);
    MarkedText sql(text);
    QStringList values;
    const int count = condition->GetValueCount();
    for (int index = 1; index <= count; ++index) {
        const QString placeholder = QLatin1Char('@') + QString::number(index);
        const qsizetype first = sql.text().indexOf(placeholder);
        if (first < 0)
            continue;
        const MarkedText token = placeholderToken(sql, placeholder, first);

        MarkedText replacement;
        bool escaped = false;
        if (TSQLParam* param = condition->GetParam(index)) {
            replacement.append(QLatin1Char(':') + param->ParamName());
            param->SetValueFormat(TVxQuery::ParamValueFormat(condition, index));
            const auto bounds = tokenBounds(sql.text(), placeholder, first);
            escaped = markLikeParam(query, condition, index, sql.text(), bounds ? bounds->first : first, *param);
        } else {
            const TFieldType type = condition->GetValueType(index);
            const bool quoted = formats.QuotedTypes().Contains(type);
            const bool whole = writesWholeLiteral(query.SQLSyntax(), type);
            QString extracted = query.ExtractValue(condition, index);
            const auto bounds = tokenBounds(sql.text(), placeholder, first);
            escaped = escapeLikeValue(query, condition, index, sql.text(), bounds ? bounds->first : first, extracted);
            values.append(std::move(extracted));
            const MarkedText value = MarkedText::valueSlot(static_cast<int>(values.size() - 1));
            if ((!quoted && condition->GetValueKind(index) == vkScalar) || whole)
                replacement = value;
            else
                replacement = token.replaced(MarkedText(placeholder), value);
        }
        if (lowerValues) {
            MarkedText lowered(formats.LowerFunc() + QLatin1Char('('));
            lowered.append(replacement);
            lowered.append(QStringLiteral(")"));
            replacement = lowered;
        }
        if (escaped)
            replacement.append(LikeEscapeClause(query.SQLSyntax()));
        sql = sql.replaced(token, replacement);
    }
    return sql.resolved(values);
}

QString fillValues(TVxQuery& query, TFilterCond* condition, WorkText& sql)
{
    const bool lowerValues = lowersValues(condition);
    QString result;
    if (fillWithStandIns(query, condition, sql, lowerValues, result))
        return result;
    return fillWithMarks(query, condition, sql.view().toString(), lowerValues);
}

} // namespace

QString ConditionSQLText(TVxQuery& query, TFilterCond* condition, const TRTableList& statementTables,
                         FieldExprCache* fieldExprs)
{
    WorkText text(condition->GetSQLExpr());
    if (const qsizetype at = findPlain(text.view(), u"@f", 0); at >= 0 && condition->RowType() == frtSimpleCondition) {
        const auto* cond = static_cast<TSimpleCond*>(condition);
        QString fieldExpr;
        if (const TDSField* field = cond->Field()) {
            const bool filterForm = query.TableFiltersMode()
                                    || (statementTables.Count() < 2 && query.SQLOptions().Contains(soFilter));
            if (fieldExprs) {
                QString& known = fieldExprs->Forms[filterForm][field];
                if (known.isNull())
                    known = filterForm ? field->FilterSQLExpr(query.SQLSyntax()) : field->SQLExpr(query.SQLSyntax());
                fieldExpr = known;
            } else {
                fieldExpr = filterForm ? field->FilterSQLExpr(query.SQLSyntax()) : field->SQLExpr(query.SQLSyntax());
            }
            if (lowersValues(cond) && query.DbStruct())
                fieldExpr = query.DbStruct()->SQLFormats()->LowerFunc() + u'(' + fieldExpr + u')';
        }
        text.replaceFrom(at, u"@f", fieldExpr);
    }
    // One look for either name; "@m" is looked for again only when "@t" was
    // replaced before it.
    qsizetype tableAt = -1;
    qsizetype mainAt = -1;
    const QStringView expanded = text.view();
    for (qsizetype i = 0; i + 1 < expanded.size() && (tableAt < 0 || mainAt < 0); ++i) {
        if (expanded[i] != u'@')
            continue;
        if (expanded[i + 1] == u't' && tableAt < 0)
            tableAt = i;
        else if (expanded[i + 1] == u'm' && mainAt < 0)
            mainAt = i;
    }
    if (const TSimpleDSTableList* tables = condition->GetTables(); tables && !tables->IsEmpty() && tableAt >= 0) {
        text.replaceFrom(tableAt, u"@t", tables->First()->TableName());
        mainAt = findPlain(text.view(), u"@m", 0);
    }
    if (statementTables.Count() > 0 && mainAt >= 0)
        text.replaceFrom(mainAt, u"@m", statementTables[0]->Table->TableName());
    if (query.SQLSyntax() == ssPostgreSQL && query.DbStruct() && query.DbStruct()->CaseInsensitiveLike())
        return WithILike(fillValues(query, condition, text));
    return fillValues(query, condition, text);
}

QString TVxQuery::ConditionSQL(TFilterCond* condition)
{
    if (FBuilder)
        return FBuilder->ConditionSQL(condition);
    return ConditionSQLText(*this, condition, FQResult->ResultTables(), nullptr);
}

QString TVxQuery::ParamValueFormat(const TFilterCond* condition, int index)
{
    char16_t buffer[16];
    const QStringView placeholder = placeholderOf(index, buffer);
    const QString text = condition->GetSQLExpr();
    const qsizetype first = findPlain(text, placeholder, 0);
    if (first < 0)
        return QStringLiteral("@v");
    const auto bounds = tokenBounds(text, placeholder, first);
    const QString token = bounds ? text.mid(bounds->first, bounds->second) : placeholder.toString();
    return ReplaceStr(UnquotedString(token, kQuote), placeholder.toString(), QStringLiteral("@v"));
}

QString TVxQuery::ReplaceValuePlaceholders(TFilterCond* condition, const QString& text)
{
    WorkText sql(text);
    return fillValues(*this, condition, sql);
}

QString TVxQuery::ExtractValue(TFilterCond* condition, int index)
{
    QString value = condition->GetValue(index);
    if (condition->GetValueCount() < index)
        return value;

    const TSQLFormats& formats = formatsOf(*this);
    const TFieldType type = condition->GetValueType(index);
    const bool quoted = formats.QuotedTypes().Contains(type);
    if (value.isEmpty()) {
        if (kIntegerTypes.Contains(type) || kFloatTypes.Contains(type) || kDecimalTypes.Contains(type))
            value = QStringLiteral("0");
        else if (type == ftBoolean)
            value = quoted ? QStringLiteral("False") : formats.FalseValue();
        else if (BrDateTimeTypes.Contains(type))
            value = BrDateTimeToStr(0); // day 0, in the form the date reader takes back
    }

    if (condition->GetValueKind(index) != vkList)
        return ProcessScalarValue(condition, index, value);

    TStringList items;
    items.SetCommaText(value);
    const bool whole = writesWholeLiteral(SQLSyntax(), type) && SQLSyntax() != ssOracle;
    const QString quote = quoted && !whole ? QString(kQuote) : QString();
    QStringList parts;
    parts.reserve(items.Count());
    for (const QString& item : items)
        parts.append(quote + ProcessScalarValue(condition, index, item) + quote);
    return parts.join(QLatin1Char(','));
}

QString TVxQuery::ProcessScalarValue(TFilterCond* condition, int index, const QString& value)
{
    if (condition->GetValueKind(index) == vkSubQuery)
        return value;
    // Database clients read a statement as a zero-terminated text: a #0
    // inside a literal would end the statement there and leave the literal
    // open, so no value may hold one.
    if (value.contains(QChar(0)))
        throw EConvertError(QStringLiteral("A value holds the character #0 and cannot be written as a literal"));
    const TFieldType type = condition->GetValueType(index);
    if (BrDateTimeTypes.Contains(type))
        return ProcessDateValue(type, value, true);
    if (kFloatTypes.Contains(type))
        return ProcessFloatValue(type, value);

    const TSQLFormats& formats = formatsOf(*this);
    if (formats.QuotedTypes().Contains(type))
        return IsServerSyntax(SQLSyntax()) ? LiteralText(SQLSyntax(), value) : doubledQuotes(value);
    if (kIntegerTypes.Contains(type))
        return checkedInteger(value);
    if (kDecimalTypes.Contains(type))
        return checkedDecimal(value);
    if (type == ftBoolean)
        return checkedBoolean(value, formats);
    // A text type the model writes without quotes has no number form: it
    // becomes a literal of its own rather than SQL.
    if (IsServerSyntax(SQLSyntax()))
        return kQuote + LiteralText(SQLSyntax(), value) + kQuote;
    return QuotedString(value, kQuote);
}

QString TVxQuery::ProcessDateValue(TFieldType fieldType, const QString& value, bool forSQL)
{
    if (!FView)
        return StandardProcessDateValue(fieldType, value, forSQL);
    QString text;
    CallHost([&] { text = FView->ProcessDateValue(*this, fieldType, value, forSQL); });
    return text;
}

QString TVxQuery::StandardProcessDateValue(TFieldType fieldType, const QString& value, bool forSQL)
{
    const TDateTime date = BrStrToDateTime(value);
    if (!forSQL)
        return localeDateTimeText(date);

    switch (SQLSyntax()) {
    case ssNexusDB:
        if (fieldType == ftDate)
            return QStringLiteral("DATE ") + QuotedString(FormatDateTime(QStringLiteral("yyyy-mm-dd"), date), kQuote);
        if (fieldType == ftTime)
            return QStringLiteral("TIME ") + QuotedString(FormatDateTime(QStringLiteral("hh:mm:ss"), date), kQuote);
        return QStringLiteral("TIMESTAMP ") +
               QuotedString(FormatDateTime(QStringLiteral("yyyy-mm-dd hh:mm:ss"), date), kQuote);
    case ssOracle:
        return QStringLiteral("TO_DATE('") + FormatDateTime(QStringLiteral("dd-mm-yyyy hh:mm:ss"), date) +
               QStringLiteral("', 'dd-mm-yyyy hh24:mi:ss')");
    case ssPostgreSQL:
    case ssSQLite:
    case ssMySQL:
    case ssMSSQL: {
        const QString day = FormatDateTime(QStringLiteral("yyyy-mm-dd"), date);
        const QString time = FormatDateTime(QStringLiteral("hh:mm:ss"), date);
        if (fieldType == ftDate)
            return DateLiteral(SQLSyntax(), day);
        if (fieldType == ftTime)
            return TimeLiteral(SQLSyntax(), time);
        return DateTimeLiteral(SQLSyntax(), day, time);
    }
    case ssSQL1:
    case ssSQL2:
    case ssAccess:
        break;
    }
    const TSQLFormats& formats = formatsOf(*this);
    const QString& format = fieldType == ftDate ? formats.Date()
                            : fieldType == ftTime ? formats.Time()
                                                  : formats.DateTime();
    // A model without a format writes the locale's date and time, as an
    // empty date-time pattern does.
    return format.isEmpty() ? localeDateTimeText(date) : FormatDateTime(format, date);
}

QString TVxQuery::ProcessFloatValue(TFieldType fieldType, const QString& value)
{
    if (fieldType == ftCurrency)
        return XCurrToStr(StrToFloat(value));
    if (kFloatTypes.Contains(fieldType))
        return XFloatToStr(StrToFloat(value));
    return value;
}

void TVxQuery::LoadValues(const QString& value1, const QString& value2, TFilterCond* condition)
{
    for (int index = 1; index <= 2; ++index) {
        const QString& value = index == 1 ? value1 : value2;
        if (TSQLParam* param = condition->GetParam(index))
            param->SetValue(value);
        else
            condition->SetValue(index, value);
    }
}

void TVxQuery::SaveValues(TFilterCond* condition, QString& value1, QString& value2)
{
    for (int index = 1; index <= 2; ++index) {
        QString& value = index == 1 ? value1 : value2;
        const TSQLParam* param = condition->GetParam(index);
        value = param ? param->Value() : condition->GetValue(index);
    }
}

} // namespace brindle
