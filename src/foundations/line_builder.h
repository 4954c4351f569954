#pragma once
// LineBuilder: composes the lines a text writer adds, in one buffer that
// keeps its room. A line that many sections repeat (a flag, a type, an
// operator's name) is made once and handed out shared: copies of a QString
// share its text, so most lines of a large text cost no allocation, and
// changing a copy later copies only that line.

#include <brindle/foundations/text_hash.h>
#include <brindle/foundations/text_utils.h>

#include <QString>

namespace brindle {

class LineBuilder {
public:
    LineBuilder& Start(QStringView text)
    {
        FLine.truncate(0);
        FLine.append(text);
        return *this;
    }
    LineBuilder& Append(QStringView text)
    {
        FLine.append(text);
        return *this;
    }
    LineBuilder& Append(QChar c)
    {
        FLine.append(c);
        return *this;
    }
    LineBuilder& Number(long long number)
    {
        AppendNumber(FLine, number);
        return *this;
    }
    const QString& Text() const { return FLine; }
    // A line of its own.
    QString Own() const { return QString(FLine.constData(), FLine.size()); }
    // The line every earlier Shared of the same text gave.
    const QString& Shared()
    {
        auto found = FShared.constFind(BorrowedKey(FLine));
        if (found == FShared.constEnd()) {
            const QString line = Own();
            found = FShared.insert(line, line);
        }
        return found.value();
    }

private:
    QString FLine;
    TextHash<QString> FShared;
};

} // namespace brindle
