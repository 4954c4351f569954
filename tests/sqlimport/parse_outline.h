#pragma once
// Parser results as text, so that tests compare them in one line each.

#include <brindle/sqlimport/sql_parser.h>

#include <QRegularExpression>
#include <QStringList>

namespace brindle::testing {

// The WHERE tree in one line: brackets as OP[...], conditions as {left|op|right},
// "!" before a negated node, "$" after a condition holding a sub-query.
inline QString outline(const TSQLNode* node)
{
    QString text = node->Negative() ? QStringLiteral("!") : QString();
    if (!node->IsBracket()) {
        const auto* c = static_cast<const TSQLCondition*>(node);
        return text + QStringLiteral("{%1|%2|%3}").arg(c->LeftExpr(), c->Operator(), c->RightExpr())
               + (c->ContainsSubQuery() ? QStringLiteral("$") : QString());
    }
    const auto* b = static_cast<const TSQLBracket*>(node);
    QStringList parts;
    for (const auto& child : b->Nodes())
        parts << outline(child.get());
    return text + b->BoolOperator() + u'[' + parts.join(u',') + u']';
}

// Control characters as \u{HEX}, so that an outline stays one line.
inline QString escapeControls(const QString& text)
{
    QString escaped;
    for (const QChar c : text)
        escaped += c.unicode() < 0x20 ? QStringLiteral("\\u{%1}").arg(c.unicode(), 0, 16) : QString(c);
    return escaped;
}

// The inverse of escapeControls, for any code point.
inline QString unescapeControls(const QString& text)
{
    static const QRegularExpression escape(QStringLiteral("\\\\u\\{([0-9A-Fa-f]{1,6})\\}"));
    QString plain;
    qsizetype from = 0;
    for (auto it = escape.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        plain += text.mid(from, m.capturedStart() - from);
        const char32_t code = m.captured(1).toUInt(nullptr, 16);
        plain += QString::fromUcs4(&code, 1);
        from = m.capturedEnd();
    }
    return plain + text.mid(from);
}

// The whole result, a line per part:
//   flags: [distinct] [*]        ("-" for neither)
//   field: EXPR | CAPTION | ALIAS | SORT    (alias "-" when none; SORT "-", "asc N" or "desc N")
//   table: NAME | ALIAS
//   where: TREE                  ("-" without a WHERE clause)
inline QStringList resultOutline(const TVxParserResult& result)
{
    QStringList flags;
    if (result.Distinct())
        flags << QStringLiteral("distinct");
    if (result.AllRFields())
        flags << QStringLiteral("*");
    QStringList lines{QStringLiteral("flags: ") + (flags.isEmpty() ? QStringLiteral("-") : flags.join(u' '))};
    for (const auto& f : result.ResultFields()) {
        static const char* const sortings[] = {"none", "asc", "desc"};
        const int sorting = f->Sorting();
        const QString sort = sorting == 0 && f->SortOrder() == 0
                                 ? QStringLiteral("-")
                                 : QStringLiteral("%1 %2")
                                       .arg(sorting >= 0 && sorting <= 2 ? QLatin1String(sortings[sorting])
                                                                         : QString::number(sorting))
                                       .arg(f->SortOrder());
        lines << QStringLiteral("field: %1 | %2 | %3 | %4")
                     .arg(f->SQLExpr(), f->Caption(), f->Alias().isEmpty() ? QStringLiteral("-") : f->Alias(), sort);
    }
    for (const auto& t : result.Tables())
        lines << QStringLiteral("table: %1 | %2").arg(t->TableName(), t->AliasName());
    lines << QStringLiteral("where: ")
                 + (result.WhereClause() ? outline(result.WhereClause()) : QStringLiteral("-"));
    for (QString& line : lines)
        line = escapeControls(line);
    return lines;
}

} // namespace brindle::testing
