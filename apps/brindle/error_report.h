#pragma once
// What the tool writes to standard error for an exception.

#include <brindle/foundations/errors.h>
#include <brindle/foundations/string_list.h>

namespace brindle::cli {

// A parse error of a statement a command read, kept with the statement's
// lines so that the report can show the line at fault.
class StatementError : public ESQLParserError {
public:
    StatementError(const ESQLParserError& error, TStringList lines);
    const TStringList& Lines() const { return FLines; }

private:
    TStringList FLines;
};

// One line, "brindle: CLASS: MESSAGE" ("CLASS(CODE)" for coded errors), the
// message's own line breaks made blanks. A parse error puts "LINE:COLUMN: "
// before the message; with its statement, two lines follow: the statement's
// line and a caret under the token's first character, indented by the
// line's own tabs and a blank for any other character.
QString ErrorReport(const Exception& e);

} // namespace brindle::cli
