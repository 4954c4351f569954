#pragma once
// Matching a condition's SQL text against an operator's template such as
// "@f between '@1' and '@2'". Letters compare without regard to case, white
// space after a matched character is skipped on both sides, and quotes
// around a placeholder in the template are optional in the text. A
// placeholder's value runs up to the template character that follows it,
// outside quotes and brackets.

#include "brindle_core_export.h"
#include "string_list.h"

#include <QStringView>

namespace brindle {

// True when the text fits the template. The values of the placeholders
// ("@f", "@1", "@2", ...) are stored in variables as name=value lines,
// replacing earlier values of the same names; lines of other names stay.
BRINDLE_CORE_EXPORT bool MatchSQLTemplate(QStringView templ, QStringView text, TStringList& variables);

} // namespace brindle
