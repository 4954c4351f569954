#pragma once
// Matching a condition's SQL text against an operator's template such as
// "@f between '@1' and '@2'". Letters compare without regard to case, white
// space after a matched character is skipped on both sides, and quotes
// around a placeholder in the template are optional in the text. A
// placeholder's value runs up to the template character that follows it,
// outside quotes and brackets.

#include <brindle/brindle_core_export.h>
#include <brindle/foundations/string_list.h>
#include <brindle/foundations/text_utils.h>

#include <QStringView>
#include <QVarLengthArray>

namespace brindle {

// The values of placeholders ("@f", "@1", "@2", ...) found by matches:
// names without regard to case, an empty value is no value, a new value
// replaces the old. A value read inside a quoted literal of the template
// ('@1', '%@1%') keeps the literal's doubled quotes; Literal tells so. The names and values are views into the template and
// the text matched, so they are valid while those live; matching copies
// nothing, which counts when many templates are tried on one text.
class BRINDLE_CORE_EXPORT TemplateVariables {
public:
    void Set(QStringView name, QStringView value, bool literal = false);
    // Empty when the name has no value.
    QStringView Value(QStringView name) const;
    bool Literal(QStringView name) const;
    // The value, with a literal's doubled quotes made single.
    QString Text(QStringView name) const;

private:
    struct Entry {
        QStringView Name;
        QStringView Value;
        bool Literal = false;
    };
    QVarLengthArray<Entry, 4> FEntries;
};

// One text that many templates are tried on. A value at the start of the
// text ends where its stop character puts it, whatever the template; nearly
// every template starts with "@f", so those ends are found once. A view:
// the text must outlive it.
class BRINDLE_CORE_EXPORT TemplateText {
public:
    explicit TemplateText(QStringView text) : FText(text) {}
    QStringView Text() const { return FText; }
    qsizetype LeadingValueEnd(bool hasStop, QChar stop);

private:
    struct Known {
        QChar Stop;
        bool HasStop;
        qsizetype End;
    };
    QStringView FText;
    QVarLengthArray<Known, 4> FEnds;
};

// The characters a text must hold for the template to fit it: the ASCII
// characters of the template's fixed parts, without blanks, quotes around
// placeholders and the placeholders themselves.
BRINDLE_CORE_EXPORT AsciiSet TemplateCharacters(QStringView templ);
// The characters a text offers a template, as matching compares them; a
// template whose TemplateCharacters are not within them cannot fit, which
// spares the match for most templates tried on one condition.
BRINDLE_CORE_EXPORT AsciiSet TextCharacters(QStringView text);

// True when the text fits the template. The placeholders' values are stored
// in variables as they are read, also by a match that fails later.
BRINDLE_CORE_EXPORT bool MatchSQLTemplate(QStringView templ, QStringView text, TemplateVariables& variables);

// The same for a text that many templates are tried on.
BRINDLE_CORE_EXPORT bool MatchSQLTemplate(QStringView templ, TemplateText& text, TemplateVariables& variables);

// The same with the values stored as name=value lines, replacing earlier
// values of the same names; lines of other names stay.
BRINDLE_CORE_EXPORT bool MatchSQLTemplate(QStringView templ, QStringView text, TStringList& variables);

} // namespace brindle
