#pragma once
// QueryResultModel: the rows of a query's statement as a Qt table model, for
// any view. It lives on its caller's thread; a QueryRunner works on the
// database in the background and the model asks it for a batch of rows when
// the view wants more (canFetchMore/fetchMore), so it holds only the rows
// fetched so far. The columns' headers are the result fields' captions, or
// the database's column names for a statement that selects "*".

#include <brindle/brindle_core_export.h>
#include <brindle/query/query_runner.h>

#include <QAbstractTableModel>

namespace brindle {

class TVxQuery;

class BRINDLE_CORE_EXPORT QueryResultModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum class State {
        Idle,      // nothing run yet
        Executing, // the database works on the statement
        Fetching,  // more rows wait for the view to ask
        Finished,  // every row is here
        Failed,    // ErrorText tells why; the rows fetched before stay
        Cancelled,
    };
    Q_ENUM(State)

    explicit QueryResultModel(QObject* parent = nullptr);

    // The connection and time-out to run with.
    QueryRunner& Runner() { return FRunner; }
    // Rows per fetch; the first batch is fetched unasked.
    int BatchSize() const { return FBatchSize; }
    void SetBatchSize(int rows) { FBatchSize = qMax(rows, 1); }

    // Empties the model and runs the statement of the query's last build.
    // A statement that cannot be bound (not built, a value its type cannot
    // read) fails the run at once.
    void Run(TVxQuery& query);
    void Run(const BoundStatement& statement);
    void Cancel();

    State GetState() const { return FState; }
    const QString& ErrorText() const { return FErrorText; }
    // Milliseconds the database has worked on this run so far.
    qint64 DatabaseTime() const { return FRunner.DatabaseTime(); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

signals:
    void stateChanged(brindle::QueryResultModel::State state);
    void failed(const QString& message);

private:
    void clear(const QStringList& captions);
    void setState(State state);
    void fail(const QString& message, int code);
    void executed(const QStringList& columnNames);
    void rowsFetched(const QList<QVariantList>& rows, bool atEnd);

    QueryRunner FRunner;
    int FBatchSize = 500;
    State FState = State::Idle;
    QString FErrorText;
    QStringList FCaptions;
    QStringList FHeaders;
    QList<QVariantList> FRows;
    // A batch has been asked for and has not come yet.
    bool FRequested = false;
};

} // namespace brindle
