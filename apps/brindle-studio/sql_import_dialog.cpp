#include "sql_import_dialog.h"

#include <brindle/foundations/errors.h>
#include <brindle/query/query.h>

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBlock>
#include <QVBoxLayout>

namespace brindle::studio {

SqlImportDialog::SqlImportDialog(TVxQuery& query, QWidget* parent)
    : QDialog(parent), FQuery(query), FStatement(new QPlainTextEdit(this)), FProblem(new QLabel(this))
{
    setWindowTitle(tr("Import SQL"));
    FStatement->setPlaceholderText(tr("SELECT ... FROM ... WHERE ..."));
    FStatement->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    FProblem->setWordWrap(true);
    FProblem->setTextInteractionFlags(Qt::TextSelectableByMouse);
    FProblem->hide();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* open = buttons->addButton(tr("&Open file..."), QDialogButtonBox::ActionRole);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("&Import"));
    connect(open, &QPushButton::clicked, this, &SqlImportDialog::openFile);
    connect(buttons, &QDialogButtonBox::accepted, this, &SqlImportDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SqlImportDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("A SELECT statement over the model's tables:"), this));
    layout->addWidget(FStatement, 1);
    layout->addWidget(FProblem);
    layout->addWidget(buttons);
    resize(640, 420);
}

void SqlImportDialog::openFile()
{
    const QString path =
        QFileDialog::getOpenFileName(this, tr("Open SQL"), {}, tr("SQL files (*.sql);;All files (*)"));
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        showProblem(tr("Cannot read %1: %2").arg(QDir::toNativeSeparators(path), file.errorString()));
        return;
    }
    FStatement->setPlainText(QString::fromUtf8(file.readAll()));
    FProblem->hide();
}

void SqlImportDialog::accept()
{
    TStringList lines;
    lines.SetText(FStatement->toPlainText());
    try {
        FQuery.ParseSQL(lines);
    } catch (const Exception& e) {
        showProblem(e.Message());
        return;
    }
    QDialog::accept();
}

// The parser ends its message with the line it stopped at ("Line:3").
void SqlImportDialog::showProblem(const QString& message)
{
    QString shown = message;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    FProblem->setText(shown);
    FProblem->show();
    static const QRegularExpression at(QStringLiteral("Line:(\\d+)\\s*$"));
    const QRegularExpressionMatch line = at.match(shown);
    if (!line.hasMatch())
        return;
    const QTextBlock block = FStatement->document()->findBlockByNumber(line.captured(1).toInt() - 1);
    if (!block.isValid())
        return;
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    FStatement->setTextCursor(cursor);
    FStatement->setFocus();
}

} // namespace brindle::studio
