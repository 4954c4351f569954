// Runs the parser over the statements of corpus/*.txt: each statement it
// must accept with its outline, each it must refuse with its message and
// line. The file format is described at the top of every corpus file.

#include "sqlimport/parse_outline.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace brindle;
using namespace brindle::testing;

namespace {

struct Entry {
    QString place; // file:line of the block
    QStringList statement;
    QStringList expected; // the "=> " lines, or the one "!! " line
};

bool isExpectation(const QString& line)
{
    return line.startsWith(QStringLiteral("=> ")) || line.startsWith(QStringLiteral("!! "));
}

std::vector<Entry> readCorpus()
{
    std::vector<Entry> entries;
    const QDir dir(QFileInfo(QStringLiteral(__FILE__)).dir().filePath(QStringLiteral("corpus")));
    const QStringList files = dir.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
    EXPECT_FALSE(files.isEmpty()) << dir.path().toStdString();
    for (const QString& name : files) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        const std::size_t firstOfFile = entries.size();
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QString& line = lines.at(i);
            if (line == QStringLiteral("----")) {
                entries.push_back({QStringLiteral("%1:%2").arg(name).arg(i + 1), {}, {}});
                continue;
            }
            if (entries.size() == firstOfFile)
                continue; // the header
            Entry& entry = entries.back();
            if (isExpectation(line))
                entry.expected << line;
            else if (!entry.expected.isEmpty())
                ADD_FAILURE() << name.toStdString() << ":" << i + 1 << ": not an expectation line";
            else if (!entry.statement.isEmpty() || !line.startsWith(u'#')) // "#" lines first are notes
                entry.statement << unescapeControls(line);
        }
    }
    return entries;
}

// What the parser makes of the statement, as the corpus writes it.
QStringList parse(const QStringList& statement)
{
    TVxSQLParser parser;
    parser.SetSQL(TStringList(statement));
    try {
        parser.Parse();
    } catch (const ESQLParserError& e) {
        QString message = e.Message();
        return {QStringLiteral("!! ") + escapeControls(message.replace(QStringLiteral("\r\n"), QStringLiteral(" / ")))};
    }
    QStringList lines = resultOutline(parser.ParserResult());
    for (QString& line : lines)
        line.prepend(QStringLiteral("=> "));
    return lines;
}

TEST(SqlParserCorpus, EveryStatementParsesAsRecorded)
{
    int accepted = 0;
    int refused = 0;
    for (const Entry& entry : readCorpus()) {
        const std::string name = entry.place.toStdString() + " \""
                                 + (entry.statement.isEmpty() ? QString() : entry.statement.first()).left(60).toStdString()
                                 + "\"";
        const bool refusal = entry.expected.value(0).startsWith(QStringLiteral("!! "));
        if (entry.expected.isEmpty() || (refusal && entry.expected.size() > 1)) {
            ADD_FAILURE() << name << ": needs the outline or one error line";
            continue;
        }
        ++(refusal ? refused : accepted);
        const QStringList got = parse(entry.statement);
        if (got != entry.expected)
            ADD_FAILURE() << name << "\n  expected:\n    " << entry.expected.join(QStringLiteral("\n    ")).toStdString()
                          << "\n  got:\n    " << got.join(QStringLiteral("\n    ")).toStdString();
    }
    EXPECT_GE(accepted, 200);
    EXPECT_GE(refused, 100);
}

} // namespace
