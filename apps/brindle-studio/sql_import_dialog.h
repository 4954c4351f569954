#pragma once
// Import SQL: a SELECT statement pasted or opened from a file becomes the
// editable query. A statement the parser cannot read keeps the dialog
// open with the parser's message and place, the token at fault selected.

#include <QDialog>

class QLabel;
class QPlainTextEdit;

namespace brindle {
class ESQLParserError;
class TVxQuery;
}

namespace brindle::studio {

class SqlImportDialog : public QDialog {
    Q_OBJECT
public:
    SqlImportDialog(TVxQuery& query, QWidget* parent = nullptr);

    QPlainTextEdit* Statement() const { return FStatement; }
    QLabel* Problem() const { return FProblem; }

    void accept() override;

private:
    void openFile();
    void showProblem(const QString& message);
    void selectToken(const ESQLParserError& error);

    TVxQuery& FQuery;
    QPlainTextEdit* FStatement;
    QLabel* FProblem;
};

} // namespace brindle::studio
