#include "error_report.h"

namespace brindle::cli {

StatementError::StatementError(const ESQLParserError& error, TStringList lines)
    : ESQLParserError(error), FLines(std::move(lines))
{
}

namespace {

QString caretUnder(const QString& line, int column)
{
    QString caret;
    const QList<uint> characters = line.toUcs4();
    for (qsizetype i = 0; i < column - 1 && i < characters.size(); ++i)
        caret += characters[i] == U'\t' ? u'\t' : u' ';
    return caret + u'^';
}

} // namespace

QString ErrorReport(const Exception& e)
{
    QString cls = e.ClassName();
    if (const auto* coded = dynamic_cast<const EVxBrindleError*>(&e))
        cls += QStringLiteral("(%1)").arg(coded->ErrorCode());
    QString message = e.Message();
    message.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    message.replace(u'\n', u' ');
    message.replace(u'\r', u' ');
    // The first line is the one every error gives, so that a script reading
    // it needs nothing new; where the statement is known, the place follows.
    QString report = QStringLiteral("brindle: %1: %2\n").arg(cls, message);
    const auto* parse = dynamic_cast<const ESQLParserError*>(&e);
    if (!parse || parse->Line() < 1)
        return report;
    const QString place = QStringLiteral("%1:%2: ").arg(parse->Line()).arg(parse->Column());
    const auto* statement = dynamic_cast<const StatementError*>(&e);
    if (!statement || parse->Line() > statement->Lines().Count())
        return report + place.trimmed() + u'\n';
    const QString& line = statement->Lines()[parse->Line() - 1];
    return report + place + line + u'\n' + QString(place.size(), u' ') + caretUnder(line, parse->Column()) + u'\n';
}

} // namespace brindle::cli
