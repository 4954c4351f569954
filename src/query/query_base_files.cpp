#include <brindle/query/query_base_files.h>

#include <brindle/query/query.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace brindle {

namespace {

[[noreturn]] void storageError(const QString& format, const QVariantList& args)
{
    throw EVxQueryBaseError(qbeStorage, format, args);
}

// The list's own error names the file.
void readFile(const QString& fileName, TStringList& content)
{
    try {
        content.LoadFromFile(fileName);
    } catch (const Exception& e) {
        throw EVxQueryBaseError(qbeStorage, e.Message());
    }
}

void writeFile(const QString& fileName, const TStringList& content)
{
    QSaveFile file(fileName);
    const QByteArray data = content.Text().toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        storageError(QStringLiteral("Cannot write query file \"%s\": %s"), {fileName, file.errorString()});
}

// The name a file without a query name is listed by.
QString baseName(const QString& fileName)
{
    return QFileInfo(fileName).fileName().section(u'.', 0, 0);
}

} // namespace

// --- TVxFileQueryItem

TVxFileQueryItem::TVxFileQueryItem(QString fileName, QString queryName, QString description)
    : TVxQueryItem(std::move(queryName), std::move(description)), FFileName(std::move(fileName))
{
}

void TVxFileQueryItem::LoadContent(TStringList& content)
{
    readFile(FFileName, content);
}

void TVxFileQueryItem::SaveContent(const TStringList& content)
{
    writeFile(FFileName, content);
    const QString name = ContentQueryName(content);
    AdoptProperties(name.isEmpty() ? baseName(FFileName) : name, ContentDescription(content));
}

void TVxFileQueryItem::StoreProperties(const QString& queryName, const QString& description)
{
    TStringList content;
    readFile(FFileName, content);
    SetContentProperties(content, queryName, description);
    writeFile(FFileName, content);
}

// --- TVxFileQueryBase

TVxFileQueryBase::TVxFileQueryBase(QObject* parent) : TVxQueryBase(parent) {}

void TVxFileQueryBase::SetFolder(const QString& folder)
{
    if (folder == FFolder)
        return;
    if (!Active()) {
        FFolder = folder;
        return;
    }
    Close();
    FFolder = folder;
    Open();
}

void TVxFileQueryBase::LoadQueries()
{
    if (FFolder.isEmpty())
        storageError(QStringLiteral("Query folder is not specified"), {});
    const QDir dir(FFolder);
    if (!dir.exists() && !QDir().mkpath(FFolder))
        storageError(QStringLiteral("Cannot create query folder \"%s\""), {FFolder});

    TStringList names;
    TStringList fileNames;
    try {
        ReadQueries(FFolder, names, fileNames);
    } catch (const Exception& e) {
        throw EVxQueryBaseError(qbeStorage, e.Message());
    }

    for (int i = 0; i < names.Count(); ++i) {
        const QString fileName = dir.filePath(fileNames[i] + QStringLiteral(".qry"));
        TStringList content;
        readFile(fileName, content);
        AddItem(std::make_unique<TVxFileQueryItem>(fileName, names[i], ContentDescription(content)));
    }
}

TVxQueryItem* TVxFileQueryBase::NewQuery()
{
    if (!Active())
        throw EVxQueryBaseError(qbeNotOpen, QStringLiteral("Query base is not open"));
    const QDir dir(FFolder);
    for (int n = 1;; ++n) {
        const QString name = QStringLiteral("Query%1").arg(n);
        const QString fileName = dir.filePath(name + QStringLiteral(".qry"));
        if (IndexByName(name) >= 0 || QFileInfo::exists(fileName))
            continue;
        TStringList content;
        NewQueryContent(content, name);
        const QByteArray data = content.Text().toUtf8();
        // NewOnly: a file another program made meanwhile is never overwritten.
        QFile file(fileName);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (QFileInfo::exists(fileName))
                continue;
            storageError(QStringLiteral("Cannot write query file \"%s\": %s"), {fileName, file.errorString()});
        }
        if (file.write(data) != data.size() || !file.flush()) {
            const QString message = file.errorString();
            file.close();
            file.remove();
            storageError(QStringLiteral("Cannot write query file \"%s\": %s"), {fileName, message});
        }
        file.close();
        return GetQuery(AddItem(std::make_unique<TVxFileQueryItem>(fileName, name, QString())));
    }
}

void TVxFileQueryBase::DeleteQuery(int index)
{
    CheckIndex(index);
    // A host may add items of its own; only file items have a file.
    if (const auto* item = dynamic_cast<TVxFileQueryItem*>(GetQuery(index))) {
        QFile file(item->FileName());
        if (!file.remove() && file.exists())
            storageError(QStringLiteral("Cannot delete query file \"%s\": %s"), {file.fileName(), file.errorString()});
    }
    TVxQueryBase::DeleteQuery(index);
}

} // namespace brindle
