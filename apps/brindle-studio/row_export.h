#pragma once
// Files that rows are exported to: CSV as `brindle run --format csv` prints
// them, or an XLSX workbook with numbers, dates and texts in cells of their
// kind. Rows are written as they come, so an export of many rows needs no
// more memory than one batch; Finish puts the file in place whole, and a
// file that cannot be written raises the library's Exception, keeping what
// was there before.

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

namespace brindle::studio {

class RowFile {
public:
    virtual ~RowFile();
    virtual void Header(const QStringList& names) = 0;
    virtual void Rows(const QList<QVariantList>& rows) = 0;
    virtual void Finish() = 0;
};

// By the path's suffix: ".xlsx" is a workbook, anything else CSV.
std::unique_ptr<RowFile> CreateRowFile(const QString& path);

} // namespace brindle::studio
