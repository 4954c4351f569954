#pragma once

// Writes the query's text in parts: what comes before the rows (the titles,
// the settings and the result fields), and the section of each row. The
// whole text is the head, then for each row in ForEachRow's order the line
// "[Row<id>]" and the row's lines. One writer makes the lines that repeat
// from row to row once, so a writer kept for a while must not outlive the
// model entities it wrote. Not installed.

#include <brindle/query/query.h>

#include <brindle/foundations/line_builder.h>

#include <QHash>

#include <array>
#include <functional>

namespace brindle {

class TVxQuery::TextWriter {
public:
    explicit TextWriter(TVxQuery& query);
    void Write(TStringList& lines);
    void WriteHead(TStringList& lines);
    // The lines of the row's section below its header.
    void WriteRow(TFilterRow* row, TStringList& lines);
    // Visits every row, the root first, depth-first; id names the row's
    // section and lasts until the next visit.
    void ForEachRow(const std::function<void(TFilterRow* row, QStringView id)>& visit);

private:
    const QString& shared(QStringView name, QStringView text);
    const QString& sharedNumber(QStringView name, long long number);
    std::array<QString, 2> byFlag(QStringView name);
    QString valueLine(QStringView start, const QString& value);

    TVxQuery& q;
    LineBuilder b;
    std::array<QString, 2> FEnabledLine;
    std::array<QString, 2> FParam1Line;
    std::array<QString, 2> FParam2Line;
    QString FNoSubQuery;
    QHash<const TDSField*, QString> FFieldLines;
    QHash<const TDSCondition*, QString> FConditionLines;
    QHash<const TDSOperator*, QString> FOperatorLines;
    QString FValue1;
    QString FValue2;
};

} // namespace brindle
