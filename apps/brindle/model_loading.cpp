#include "model_loading.h"

#include <brindle/datamodel/model_xml.h>
#include <brindle/query/query.h>

#include <QFile>

#include <cstdio>

namespace brindle::cli {
namespace {

bool isFormText(const TStringList& lines)
{
    for (const QString& line : lines) {
        const QString t = line.trimmed();
        if (t.isEmpty() || t.startsWith(u'#'))
            continue;
        return t.startsWith(QStringLiteral("form "));
    }
    return false;
}

bool startsLikeXml(const TStringList& lines)
{
    for (const QString& line : lines) {
        const QString t = line.trimmed();
        if (!t.isEmpty())
            return t.startsWith(u'<');
    }
    return false;
}

QString shownName(const QString& argument)
{
    return argument == QStringLiteral("-") ? QStringLiteral("standard input") : argument;
}

} // namespace

TStringList ReadInputLines(const QString& argument)
{
    TStringList lines;
    if (argument != QStringLiteral("-")) {
        lines.LoadFromFile(argument);
        return lines;
    }
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        throw Exception(QStringLiteral("Cannot read standard input. %s"), {in.errorString()});
    QByteArray bytes = in.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    lines.SetText(QString::fromUtf8(bytes));
    return lines;
}

TVxDBStructure* LoadModel(const QString& argument, QObject* owner)
{
    TStringList lines = ReadInputLines(argument);
    if (argument.endsWith(QStringLiteral(".xml"), Qt::CaseInsensitive)
        || (argument == QStringLiteral("-") && startsLikeXml(lines))) {
        auto* model = new TVxDBStructure(owner);
        LoadDMFromXml(*model, lines);
        return model;
    }

    if (isFormText(lines)) {
        // A host form may hold its queries beside the model.
        RegisterQueryFormClasses();
        const QList<QObject*> components = ReadForm(lines, owner);
        for (QObject* component : components)
            if (auto* model = qobject_cast<TVxDBStructure*>(component))
                return model;
        throw Exception(QStringLiteral("The form in %s holds no data model (TVxDBStructure)"), {shownName(argument)});
    }
    auto* model = new TVxDBStructure(owner);
    model->LoadFromStrings(lines);
    return model;
}

} // namespace brindle::cli
