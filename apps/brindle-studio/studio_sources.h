#pragma once
// Where the studio's database, model and queries come from: the bundled
// sample by default (installed beside the program, or in the build tree),
// a database URL of the command-line tool's forms, and a model file of any
// stored form or one retrieved from the database.

#include <brindle/datamodel/db_structure.h>
#include <brindle/datamodel/sql_db_info.h>

#include <QString>

#include <memory>

namespace brindle::studio {

// The bundled sample's files; an empty field where none was found.
struct SampleFiles {
    QString Database;
    QString Model;
    QString Queries;
};

// The installed sample (<prefix>/share/brindle/examples) when present,
// else the build tree's.
SampleFiles FindSample();

// A database and the model over it. The model refers to the info, so the
// info goes last.
struct Workspace {
    std::unique_ptr<TVxSqlDBInfo> Info;
    std::unique_ptr<QObject> ModelOwner;
    TVxDBStructure* Model = nullptr;
    QString Url;
};

// Opens the database of the URL (the tool's --db forms) and takes the
// model of the file, or retrieves one from the database when the file name
// is empty. Raises the library's exceptions with their messages; nothing is
// kept of a failed opening.
std::unique_ptr<Workspace> OpenWorkspace(const QString& url, const QString& modelFile);

// The URL of an SQLite file.
QString SqliteUrl(const QString& path);

} // namespace brindle::studio
