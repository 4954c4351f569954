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
#include <QTextBlock>
#include <QVBoxLayout>

#include <algorithm>

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
    } catch (const ESQLParserError& e) {
        showProblem(e.Line() > 0 ? tr("line %1, column %2: %3").arg(e.Line()).arg(e.Column()).arg(e.Message())
                                 : e.Message());
        selectToken(e);
        return;
    } catch (const Exception& e) {
        showProblem(e.Message());
        return;
    }
    QDialog::accept();
}

void SqlImportDialog::showProblem(const QString& message)
{
    QString shown = message;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    FProblem->setText(shown);
    FProblem->show();
}

// The error counts columns in characters, the editor in UTF-16 units: a
// character beyond the BMP takes two.
void SqlImportDialog::selectToken(const ESQLParserError& error)
{
    const QTextBlock block = FStatement->document()->findBlockByNumber(error.Line() - 1);
    if (!block.isValid())
        return;
    const QString text = block.text();
    qsizetype offset = 0;
    for (int column = 1; column < error.Column() && offset < text.size(); ++column)
        offset += text[offset].isHighSurrogate() && offset + 1 < text.size() ? 2 : 1;
    const int start = block.position() + static_cast<int>(offset);
    const int last = FStatement->document()->characterCount() - 1;
    QTextCursor cursor(FStatement->document());
    cursor.setPosition(start);
    cursor.setPosition(std::min(start + static_cast<int>(error.Token().size()), last), QTextCursor::KeepAnchor);
    FStatement->setTextCursor(cursor);
    FStatement->setFocus();
}

} // namespace brindle::studio
