#include "studio_sources.h"

#include "database_url.h"
#include "model_loading.h"

#include <brindle/foundations/errors.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace brindle::studio {

SampleFiles FindSample()
{
    const QDir installed(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/brindle/examples"));
    if (installed.exists(QStringLiteral("sample.sqlite")))
        return {installed.filePath(QStringLiteral("sample.sqlite")), installed.filePath(QStringLiteral("sample.form")),
                installed.filePath(QStringLiteral("queries"))};
    SampleFiles built{QStringLiteral(BRINDLE_BUILT_SAMPLE_DB), QStringLiteral(BRINDLE_SOURCE_EXAMPLES "/sample/sample.form"),
                      QStringLiteral(BRINDLE_SOURCE_EXAMPLES "/queries")};
    if (!QFileInfo::exists(built.Database))
        built.Database.clear();
    if (!QFileInfo::exists(built.Model))
        built.Model.clear();
    if (!QFileInfo::exists(built.Queries))
        built.Queries.clear();
    return built;
}

std::unique_ptr<Workspace> OpenWorkspace(const QString& url, const QString& modelFile)
{
    auto space = std::make_unique<Workspace>();
    space->Url = url;
    space->Info = std::make_unique<TVxSqlDBInfo>();
    try {
        cli::ApplyDatabaseUrl(cli::ParseDatabaseUrl(url), *space->Info);
    } catch (const cli::UsageError& e) {
        throw Exception(e.message);
    }
    space->Info->Open();
    space->ModelOwner = std::make_unique<QObject>();
    if (modelFile.isEmpty()) {
        space->Model = new TVxDBStructure(space->ModelOwner.get());
        space->Model->SetDatabaseInfo(space->Info.get());
        space->Model->RetriveDataModelInfo();
    } else {
        space->Model = cli::LoadModel(modelFile, space->ModelOwner.get());
        space->Model->SetDatabaseInfo(space->Info.get());
    }
    return space;
}

QString SqliteUrl(const QString& path)
{
    return QStringLiteral("sqlite:") + QFileInfo(path).absoluteFilePath();
}

} // namespace brindle::studio
