#pragma once
// How `brindle run` prints result rows.
//
// csv: RFC 4180 fields: a header line of the column names, then one line
// per row, each ended by a line feed; a field holding a comma, a double
// quote, a carriage return or a line feed is written in double quotes with
// its quotes doubled; NULL is the empty field.
//
// table (the default): the column names, a line of dashes as wide as each
// column, then the rows. Columns are as wide as their widest text, counted
// in characters, and are separated by two blanks; every text is left
// aligned and padded with blanks, except that no line ends in blanks. NULL
// is shown empty; tabs and line breaks inside a value become blanks.
//
// Values: real numbers with up to 15 significant digits, dates as
// yyyy-MM-dd, times as HH:mm:ss, date-times as yyyy-MM-dd HH:mm:ss, any
// other value as QVariant gives its text.

#include <QStringList>
#include <QTextStream>
#include <QVariant>

#include <memory>

namespace brindle::cli {

enum class RowFormat { Table, Csv };

// "table" or "csv"; anything else is a usage error.
RowFormat ParseRowFormat(const QString& text);

QString CellText(const QVariant& value);

// The text with tabs and line breaks (CR LF, LF, CR) made blanks.
QString OneLine(QString text);

class RowWriter {
public:
    virtual ~RowWriter();
    virtual void Header(const QStringList& names) = 0;
    virtual void Row(const QStringList& cells) = 0;
    // Rows of values, each cell as CellText gives it.
    void Rows(const QList<QVariantList>& rows);
    // After the last row.
    virtual void Finish();
};

std::unique_ptr<RowWriter> MakeRowWriter(RowFormat format, QTextStream& out);

} // namespace brindle::cli
