#pragma once
// A query base over a folder of query files ("*.qry"), one query per file,
// each file holding a query text as a query saves it (UTF-8). A query's
// name and description are the ones its file holds: the "QueryName" of the
// Main section (the file's base name when empty) and the Description
// section. Renaming or describing an item rewrites those lines of its file.
//
// Every write goes to a temporary file that replaces the old one only when
// complete, so a failed write keeps the file as it was. Storage failures
// raise EVxQueryBaseError code 2.

#include <brindle/query/query_base.h>

namespace brindle {

class BRINDLE_CORE_EXPORT TVxFileQueryItem : public TVxQueryItem {
public:
    TVxFileQueryItem(QString fileName, QString queryName, QString description);

    // The full path of the item's file.
    const QString& FileName() const { return FFileName; }

    void LoadContent(TStringList& content) override;
    // Writes the file, then takes the name and description the text holds.
    void SaveContent(const TStringList& content) override;

protected:
    void StoreProperties(const QString& queryName, const QString& description) override;

private:
    QString FFileName;
};

class BRINDLE_CORE_EXPORT TVxFileQueryBase : public TVxQueryBase {
    Q_OBJECT
    Q_PROPERTY(QString Folder READ Folder WRITE SetFolder)

public:
    explicit TVxFileQueryBase(QObject* parent = nullptr);

    const QString& Folder() const { return FFolder; }
    // An open base reopens on the new folder.
    void SetFolder(const QString& folder);

    // Creates "QueryN.qry" with the first N whose file and name are free,
    // holding an empty query of that name; code 3 on a closed base.
    TVxQueryItem* NewQuery() override;
    // Removes the query's file too; the item stays when that fails.
    void DeleteQuery(int index) override;

protected:
    // Lists the folder's query files in file name order; a missing folder
    // is created empty.
    void LoadQueries() override;

private:
    QString FFolder;
};

} // namespace brindle
