#include <brindle/query/result_model.h>

#include <brindle/datamodel/sql_db_info.h>
#include <brindle/foundations/errors.h>

namespace brindle {

QueryResultModel::QueryResultModel(QObject* parent) : QAbstractTableModel(parent)
{
    connect(&FRunner, &QueryRunner::executed, this, &QueryResultModel::executed);
    connect(&FRunner, &QueryRunner::rowsFetched, this, &QueryResultModel::rowsFetched);
    connect(&FRunner, &QueryRunner::failed, this, &QueryResultModel::fail);
}

void QueryResultModel::Run(TVxQuery& query)
{
    BoundStatement statement;
    try {
        statement = BindStatement(query);
    } catch (const Exception& e) {
        FRunner.Stop();
        clear({});
        fail(e.Message(), dieStatement);
        return;
    }
    Run(statement);
}

void QueryResultModel::Run(const BoundStatement& statement)
{
    clear(statement.Captions);
    FRequested = true;
    setState(State::Executing);
    FRunner.Start(statement, FBatchSize);
}

void QueryResultModel::clear(const QStringList& captions)
{
    beginResetModel();
    FRows.clear();
    FHeaders.clear();
    FCaptions = captions;
    FErrorText.clear();
    endResetModel();
}

void QueryResultModel::Cancel()
{
    FRunner.Cancel();
}

void QueryResultModel::setState(State state)
{
    if (FState == state)
        return;
    FState = state;
    emit stateChanged(state);
}

void QueryResultModel::fail(const QString& message, int code)
{
    FRequested = false;
    FErrorText = message;
    setState(code == dieCancelled ? State::Cancelled : State::Failed);
    emit failed(message);
}

void QueryResultModel::executed(const QStringList& columnNames)
{
    // Captions stand for the select list; a statement of "*" has other columns.
    const QStringList& headers = FCaptions.size() == columnNames.size() ? FCaptions : columnNames;
    if (!headers.isEmpty()) {
        beginInsertColumns({}, 0, static_cast<int>(headers.size()) - 1);
        FHeaders = headers;
        endInsertColumns();
    }
    setState(State::Fetching);
}

void QueryResultModel::rowsFetched(const QList<QVariantList>& rows, bool atEnd)
{
    FRequested = false;
    if (!rows.isEmpty()) {
        beginInsertRows({}, rowCount(), rowCount() + static_cast<int>(rows.size()) - 1);
        FRows.append(rows);
        endInsertRows();
    }
    if (atEnd)
        setState(State::Finished);
}

int QueryResultModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(FRows.size());
}

int QueryResultModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(FHeaders.size());
}

QVariant QueryResultModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return FRows.at(index.row()).value(index.column());
}

QVariant QueryResultModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return FHeaders.value(section);
}

bool QueryResultModel::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && FState == State::Fetching;
}

void QueryResultModel::fetchMore(const QModelIndex& parent)
{
    if (!canFetchMore(parent) || FRequested)
        return;
    FRequested = true;
    FRunner.FetchMore(FBatchSize);
}

} // namespace brindle
