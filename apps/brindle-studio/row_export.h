#pragma once
// Writing the rows of a grid model to a file: CSV as `brindle run --format
// csv` prints them, or an XLSX workbook with numbers, dates and texts in
// cells of their kind. Every row the model can fetch is written. A file
// that cannot be written raises the library's Exception, and what was
// there before is kept.

#include <QString>

class QAbstractItemModel;

namespace brindle::studio {

void ExportCsv(QAbstractItemModel& model, const QString& path);
void ExportXlsx(QAbstractItemModel& model, const QString& path);

} // namespace brindle::studio
