#include "row_export.h"

#include "result_output.h"

#include <brindle/foundations/errors.h>

#include <QAbstractItemModel>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <xlsxwriter.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace brindle::studio {
namespace {

void fetchAll(QAbstractItemModel& model)
{
    while (model.canFetchMore({}))
        model.fetchMore({});
}

QStringList header(const QAbstractItemModel& model)
{
    QStringList names;
    for (int column = 0; column < model.columnCount(); ++column)
        names << model.headerData(column, Qt::Horizontal).toString();
    return names;
}

[[noreturn]] void cannotWrite(const QString& path, const QString& why)
{
    throw Exception(QStringLiteral("Cannot write %s: %s"), {QDir::toNativeSeparators(path), why});
}

// Days since 1899-12-30, the spreadsheet's day numbers, with the time as a fraction.
double serialDay(const QDateTime& at)
{
    const QDate epoch(1899, 12, 30);
    return static_cast<double>(epoch.daysTo(at.date())) + at.time().msecsSinceStartOfDay() / 86400000.0;
}

} // namespace

void ExportCsv(QAbstractItemModel& model, const QString& path)
{
    fetchAll(model);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        cannotWrite(path, file.errorString());
    QTextStream out(&file);
    const std::unique_ptr<cli::RowWriter> writer = cli::MakeRowWriter(cli::RowFormat::Csv, out);
    writer->Header(header(model));
    for (int row = 0; row < model.rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < model.columnCount(); ++column)
            cells << cli::CellText(model.data(model.index(row, column), Qt::EditRole));
        writer->Row(cells);
    }
    writer->Finish();
    out.flush();
    if (out.status() != QTextStream::Ok || !file.commit())
        cannotWrite(path, file.errorString());
}

void ExportXlsx(QAbstractItemModel& model, const QString& path)
{
    fetchAll(model);
    // The workbook is written beside the target and moved over it when whole.
    QTemporaryDir scratch(QFileInfo(path).absolutePath() + QStringLiteral("/.brindle-XXXXXX"));
    if (!scratch.isValid())
        cannotWrite(path, scratch.errorString());
    const QByteArray written = QFile::encodeName(scratch.filePath(QStringLiteral("rows.xlsx")));
    lxw_workbook* book = workbook_new(written.constData());
    if (!book)
        cannotWrite(path, QStringLiteral("the workbook could not be made"));
    lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
    lxw_format* bold = workbook_add_format(book);
    format_set_bold(bold);
    lxw_format* day = workbook_add_format(book);
    format_set_num_format(day, "yyyy-mm-dd");
    lxw_format* moment = workbook_add_format(book);
    format_set_num_format(moment, "yyyy-mm-dd hh:mm:ss");
    const QStringList names = header(model);
    for (int column = 0; column < names.size(); ++column)
        worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(column), names[column].toUtf8().constData(), bold);
    for (int row = 0; row < model.rowCount(); ++row) {
        const auto at = static_cast<lxw_row_t>(row + 1);
        for (int column = 0; column < model.columnCount(); ++column) {
            const QVariant value = model.data(model.index(row, column), Qt::EditRole);
            const auto col = static_cast<lxw_col_t>(column);
            switch (value.isNull() ? QMetaType::UnknownType : value.metaType().id()) {
            case QMetaType::UnknownType:
                break;
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::LongLong:
            case QMetaType::ULongLong:
            case QMetaType::Double:
            case QMetaType::Float:
                worksheet_write_number(sheet, at, col, value.toDouble(), nullptr);
                break;
            case QMetaType::Bool:
                worksheet_write_boolean(sheet, at, col, value.toBool(), nullptr);
                break;
            case QMetaType::QDate:
                worksheet_write_number(sheet, at, col, serialDay(value.toDate().startOfDay()), day);
                break;
            case QMetaType::QDateTime:
                worksheet_write_number(sheet, at, col, serialDay(value.toDateTime()), moment);
                break;
            default:
                worksheet_write_string(sheet, at, col, cli::CellText(value).toUtf8().constData(), nullptr);
            }
        }
    }
    const lxw_error closed = workbook_close(book);
    if (closed != LXW_NO_ERROR)
        cannotWrite(path, QString::fromUtf8(lxw_strerror(closed)));
    // One rename replaces the old file whole, or leaves it.
    if (std::rename(written.constData(), QFile::encodeName(path).constData()) != 0)
        cannotWrite(path, QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace brindle::studio
