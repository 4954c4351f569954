#pragma once
// What the server syntaxes (ssPostgreSQL, ssSQLite, ssMySQL, ssMSSQL) write
// differently from the standard ones: delimited names, date and time
// literals, escaped LIKE patterns, the list aggregate and row limits. The
// older syntaxes write names and literals as the model's formats say, so
// every rule here leaves them alone. The SQL import reads the same forms
// back through the inverses below.

#include <brindle/brindle_core_export.h>
#include <brindle/foundations/enums.h>

#include <QString>

namespace brindle {

// One of the four server syntaxes, whose names and literals follow the server.
BRINDLE_CORE_EXPORT bool IsServerSyntax(TSQLSyntax syntax);

// The characters that open and close a delimited name.
BRINDLE_CORE_EXPORT QChar NameOpenQuote(TSQLSyntax syntax);
BRINDLE_CORE_EXPORT QChar NameCloseQuote(TSQLSyntax syntax);

// Whether a name can only be written delimited: not a plain ASCII
// identifier, or a reserved word of one of the servers.
BRINDLE_CORE_EXPORT bool NameNeedsQuotes(QStringView name);
// The name delimited, an inner closing quote doubled.
BRINDLE_CORE_EXPORT QString DelimitedName(TSQLSyntax syntax, const QString& name);
// The name as a server syntax writes it: delimited when forced or needed,
// otherwise unchanged. Other syntaxes get the name back unchanged.
BRINDLE_CORE_EXPORT QString NameInSyntax(TSQLSyntax syntax, const QString& name, bool forced = false);

// An SQL expression of the model (a virtual field's) with its double-quoted
// names in the syntax's own quotes; literals stay as they are.
BRINDLE_CORE_EXPORT QString NamesInSyntax(TSQLSyntax syntax, const QString& expr);

// A string value's text inside single quotes: quotes doubled, and in ssMySQL
// backslashes doubled too (a backslash starts an escape there).
BRINDLE_CORE_EXPORT QString LiteralText(TSQLSyntax syntax, const QString& value);

// The LIKE escape character of a server syntax ("\" or, in ssMySQL, "!"),
// null for the others.
BRINDLE_CORE_EXPORT QChar LikeEscapeChar(TSQLSyntax syntax);
// The text inside a LIKE pattern's literal with every character the server
// reads as a pattern character preceded by the escape character. Returns
// false (and leaves the text) when nothing needs escaping.
BRINDLE_CORE_EXPORT bool EscapeLikeText(TSQLSyntax syntax, QString& literalText);
// A parameter's value as a LIKE pattern of a server syntax takes it: every
// pattern character preceded by the escape character. The value is bound,
// so no literal's quoting is in it.
BRINDLE_CORE_EXPORT QString EscapeLikeParam(TSQLSyntax syntax, const QString& value);
// " ESCAPE '\'" for the syntax.
BRINDLE_CORE_EXPORT QString LikeEscapeClause(TSQLSyntax syntax);

// The condition text with every LIKE outside literals and names written
// ILIKE, for ssPostgreSQL over a model that compares without letter case.
BRINDLE_CORE_EXPORT QString WithILike(const QString& sql);

// The list aggregate over an SQL expression, for the formula "LIST(@1)".
BRINDLE_CORE_EXPORT QString ListAggregate(TSQLSyntax syntax, const QString& expr);

// A date (ftDate), time (ftTime) or date-time value as a whole literal,
// quotes included; the pieces are ISO texts ("2024-01-31", "14:07:00").
BRINDLE_CORE_EXPORT QString DateLiteral(TSQLSyntax syntax, const QString& date);
BRINDLE_CORE_EXPORT QString TimeLiteral(TSQLSyntax syntax, const QString& time);
BRINDLE_CORE_EXPORT QString DateTimeLiteral(TSQLSyntax syntax, const QString& date, const QString& time);

// The inverse for the SQL import: an expression written in a server syntax
// in the standard spelling the model's look-ups know. Delimited names
// become double-quoted names, typed date literals plain literals, the
// server's date forms ISO texts, ILIKE plain LIKE, escaped LIKE patterns their plain text
// with the ESCAPE clause gone, and the list aggregate LIST(...). With
// markEscapes, a pattern's escaped "%" and "_" become the stand-ins below,
// so that a template's own wildcards can be told from the value's.
BRINDLE_CORE_EXPORT QString StandardSpelling(TSQLSyntax syntax, const QString& expr, bool markEscapes = false);
inline constexpr char16_t kEscapedPercent = u'\uE000';
inline constexpr char16_t kEscapedUnderscore = u'\uE001';

} // namespace brindle
