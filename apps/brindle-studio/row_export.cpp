#include "row_export.h"

#include "result_output.h"

#include <brindle/foundations/errors.h>

#include <QCoreApplication>
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

[[noreturn]] void cannotWrite(const QString& path, const QString& why)
{
    throw Exception(QCoreApplication::translate("brindle::studio::RowExport", "Cannot write %s: %s"),
                    {QDir::toNativeSeparators(path), why});
}

class CsvFile : public RowFile {
public:
    explicit CsvFile(const QString& path) : FFile(path)
    {
        if (!FFile.open(QIODevice::WriteOnly))
            cannotWrite(path, FFile.errorString());
        FOut.setDevice(&FFile);
        FWriter = cli::MakeRowWriter(cli::RowFormat::Csv, FOut);
    }
    void Header(const QStringList& names) override { FWriter->Header(names); }
    void Rows(const QList<QVariantList>& rows) override { FWriter->Rows(rows); }
    void Finish() override
    {
        FWriter->Finish();
        FOut.flush();
        if (FOut.status() != QTextStream::Ok || !FFile.commit())
            cannotWrite(FFile.fileName(), FFile.errorString());
    }

private:
    QSaveFile FFile;
    QTextStream FOut;
    std::unique_ptr<cli::RowWriter> FWriter;
};

// Days since 1899-12-30, the spreadsheet's day numbers, with the time as a fraction.
double serialDay(const QDate& day, const QTime& time)
{
    return static_cast<double>(QDate(1899, 12, 30).daysTo(day)) + time.msecsSinceStartOfDay() / 86400000.0;
}

class XlsxFile : public RowFile {
public:
    // The workbook is written beside the target and moved over it when whole.
    explicit XlsxFile(const QString& path)
        : FPath(path), FScratch(QFileInfo(path).absolutePath() + QStringLiteral("/.brindle-XXXXXX"))
    {
        if (!FScratch.isValid())
            cannotWrite(path, FScratch.errorString());
        FWritten = QFile::encodeName(FScratch.filePath(QStringLiteral("rows.xlsx")));
        FBook = workbook_new(FWritten.constData());
        if (!FBook)
            cannotWrite(path, QCoreApplication::translate("brindle::studio::RowExport", "the workbook could not be made"));
        FSheet = workbook_add_worksheet(FBook, nullptr);
        FBold = workbook_add_format(FBook);
        format_set_bold(FBold);
        FDay = workbook_add_format(FBook);
        format_set_num_format(FDay, "yyyy-mm-dd");
        FMoment = workbook_add_format(FBook);
        format_set_num_format(FMoment, "yyyy-mm-dd hh:mm:ss");
    }
    ~XlsxFile() override
    {
        // Unfinished: the scratch folder goes with the half-written workbook.
        if (FBook)
            workbook_close(FBook);
    }
    void Header(const QStringList& names) override
    {
        for (int column = 0; column < names.size(); ++column)
            worksheet_write_string(FSheet, 0, static_cast<lxw_col_t>(column), names[column].toUtf8().constData(),
                                   FBold);
    }
    void Rows(const QList<QVariantList>& rows) override
    {
        for (const QVariantList& row : rows) {
            ++FRow;
            for (int column = 0; column < row.size(); ++column)
                cell(static_cast<lxw_col_t>(column), row[column]);
        }
    }
    void Finish() override
    {
        const lxw_error closed = workbook_close(std::exchange(FBook, nullptr));
        if (closed != LXW_NO_ERROR)
            cannotWrite(FPath, QString::fromUtf8(lxw_strerror(closed)));
        // One rename replaces the old file whole, or leaves it.
        if (std::rename(FWritten.constData(), QFile::encodeName(FPath).constData()) != 0)
            cannotWrite(FPath, QString::fromLocal8Bit(std::strerror(errno)));
    }

private:
    void cell(lxw_col_t column, const QVariant& value)
    {
        switch (value.isNull() ? QMetaType::UnknownType : value.metaType().id()) {
        case QMetaType::UnknownType:
            break;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Double:
        case QMetaType::Float:
            worksheet_write_number(FSheet, FRow, column, value.toDouble(), nullptr);
            break;
        case QMetaType::Bool:
            worksheet_write_boolean(FSheet, FRow, column, value.toBool(), nullptr);
            break;
        case QMetaType::QDate:
            worksheet_write_number(FSheet, FRow, column, serialDay(value.toDate(), {0, 0}), FDay);
            break;
        case QMetaType::QDateTime: {
            const QDateTime at = value.toDateTime();
            worksheet_write_number(FSheet, FRow, column, serialDay(at.date(), at.time()), FMoment);
            break;
        }
        default:
            worksheet_write_string(FSheet, FRow, column, cli::CellText(value).toUtf8().constData(), nullptr);
        }
    }

    QString FPath;
    QTemporaryDir FScratch;
    QByteArray FWritten;
    lxw_workbook* FBook = nullptr;
    lxw_worksheet* FSheet = nullptr;
    lxw_format* FBold = nullptr;
    lxw_format* FDay = nullptr;
    lxw_format* FMoment = nullptr;
    lxw_row_t FRow = 0;
};

} // namespace

RowFile::~RowFile() = default;

std::unique_ptr<RowFile> CreateRowFile(const QString& path)
{
    if (path.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive))
        return std::make_unique<XlsxFile>(path);
    return std::make_unique<CsvFile>(path);
}

} // namespace brindle::studio
