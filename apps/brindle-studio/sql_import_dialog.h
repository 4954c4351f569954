#pragma once
// Import SQL: a SELECT statement pasted or opened from a file becomes the
// editable query. A statement the parser cannot read keeps the dialog
// open with the parser's message, and its line is selected.

#include <QDialog>

class QLabel;
class QPlainTextEdit;

namespace brindle {
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

    TVxQuery& FQuery;
    QPlainTextEdit* FStatement;
    QLabel* FProblem;
};

} // namespace brindle::studio
