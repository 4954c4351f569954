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
    const auto* parse = dynamic_cast<const ESQLParserError*>(&e);
    if (!parse || parse->Line() < 1)
        return QStringLiteral("brindle: %1: %2\n").arg(cls, message);

    QString report = QStringLiteral("brindle: %1: %2:%3: %4\n")
                         .arg(cls, QString::number(parse->Line()), QString::number(parse->Column()), message);
    const auto* statement = dynamic_cast<const StatementError*>(&e);
    if (statement && parse->Line() <= statement->Lines().Count()) {
        const QString& line = statement->Lines()[parse->Line() - 1];
        report += line + u'\n' + caretUnder(line, parse->Column()) + u'\n';
    }
    return report;
}

} // namespace brindle::cli
