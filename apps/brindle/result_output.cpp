#include "result_output.h"

#include "options.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <algorithm>

namespace brindle::cli {
namespace {

QString csvField(const QString& text)
{
    const bool quote = std::any_of(text.begin(), text.end(), [](QChar c) {
        return c == u',' || c == u'"' || c == u'\r' || c == u'\n';
    });
    if (!quote)
        return text;
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

class CsvWriter : public RowWriter {
public:
    explicit CsvWriter(QTextStream& out) : FOut(out) {}
    void Header(const QStringList& names) override { Row(names); }
    void Row(const QStringList& cells) override
    {
        for (qsizetype i = 0; i < cells.size(); ++i)
            FOut << (i ? "," : "") << csvField(cells.at(i));
        FOut << '\n';
    }

private:
    QTextStream& FOut;
};

// Characters as a reader counts them: a surrogate pair is one.
qsizetype width(const QString& text)
{
    return text.size() - std::count_if(text.begin(), text.end(), [](QChar c) { return c.isLowSurrogate(); });
}

// The table is written once every row is known: widths depend on all rows.
class TableWriter : public RowWriter {
public:
    explicit TableWriter(QTextStream& out) : FOut(out) {}
    void Header(const QStringList& names) override { FRows.append(flattened(names)); }
    void Row(const QStringList& cells) override { FRows.append(flattened(cells)); }
    void Finish() override
    {
        if (FRows.isEmpty())
            return;
        QList<qsizetype> widths(FRows.first().size(), 1);
        for (const QStringList& row : FRows)
            for (qsizetype i = 0; i < row.size() && i < widths.size(); ++i)
                widths[i] = std::max(widths[i], width(row.at(i)));
        QStringList dashes;
        for (qsizetype w : widths)
            dashes.append(QString(w, u'-'));
        FRows.insert(1, dashes);
        for (const QStringList& row : FRows) {
            QString line;
            for (qsizetype i = 0; i < row.size(); ++i) {
                if (i)
                    line += QStringLiteral("  ");
                line += row.at(i);
                if (i < widths.size())
                    line += QString(widths[i] - width(row.at(i)), u' ');
            }
            while (line.endsWith(u' '))
                line.chop(1);
            FOut << line << '\n';
        }
    }

private:
    static QStringList flattened(QStringList cells)
    {
        for (QString& cell : cells)
            cell = OneLine(cell);
        return cells;
    }

    QTextStream& FOut;
    QList<QStringList> FRows;
};

} // namespace

RowFormat ParseRowFormat(const QString& text)
{
    if (text == QStringLiteral("table"))
        return RowFormat::Table;
    if (text == QStringLiteral("csv"))
        return RowFormat::Csv;
    throw UsageError{QStringLiteral("unknown format \"%1\" (table or csv)").arg(text)};
}

QString CellText(const QVariant& value)
{
    if (value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::number(value.toDouble(), 'g', 15);
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::QTime:
        return value.toTime().toString(QStringLiteral("HH:mm:ss"));
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    default:
        return value.toString();
    }
}

QString OneLine(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    for (QChar& c : text)
        if (c == u'\r' || c == u'\n' || c == u'\t')
            c = u' ';
    return text;
}

RowWriter::~RowWriter() = default;

void RowWriter::Rows(const QList<QVariantList>& rows)
{
    for (const QVariantList& row : rows) {
        QStringList cells;
        for (const QVariant& value : row)
            cells.append(CellText(value));
        Row(cells);
    }
}

void RowWriter::Finish() {}

std::unique_ptr<RowWriter> MakeRowWriter(RowFormat format, QTextStream& out)
{
    if (format == RowFormat::Csv)
        return std::make_unique<CsvWriter>(out);
    return std::make_unique<TableWriter>(out);
}

} // namespace brindle::cli
