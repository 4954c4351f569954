#include <brindle/foundations/errors.h>

#include <brindle/foundations/messages.h>

namespace brindle {

QString Format(const QString& format, const QVariantList& args)
{
    QString out;
    out.reserve(format.size() + 16);
    qsizetype next = 0;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c != u'%') {
            out += c;
            continue;
        }
        if (i + 1 >= format.size())
            throw EConvertError(QStringLiteral("Format '%1' invalid or incompatible with argument").arg(format));
        const QChar d = format.at(++i);
        if (d == u'%') {
            out += u'%';
            continue;
        }
        if ((d != u's' && d != u'd') || next >= args.size())
            throw EConvertError(QStringLiteral("Format '%1' invalid or incompatible with argument").arg(format));
        const QVariant& arg = args.at(next++);
        if (d == u'd') {
            bool ok = false;
            const qlonglong n = arg.toLongLong(&ok);
            if (!ok)
                throw EConvertError(QStringLiteral("Format '%1' invalid or incompatible with argument").arg(format));
            out += QString::number(n);
        } else {
            out += arg.toString();
        }
    }
    return out;
}

Exception::Exception(QString message)
    : FMessage(std::move(message)), FUtf8(FMessage.toUtf8())
{
}

Exception::Exception(const QString& format, const QVariantList& args)
    : Exception(Format(format, args))
{
}

Exception::~Exception() = default;

EVxBrindleError::EVxBrindleError(int code, const QString& message)
    : Exception(message), FErrorCode(code)
{
}

EVxBrindleError::EVxBrindleError(int code, const QString& format, const QVariantList& args)
    : Exception(format, args), FErrorCode(code)
{
}

ESQLParserError::ESQLParserError(const QString& message, int line, int column, const QString& token)
    : Exception(message), FLine(line), FColumn(column), FToken(token)
{
}

void RaiseDBStructError(int code, int messageId, const QVariantList& args)
{
    throw EVxDBStructError(code, LoadResString(messageId), args);
}

} // namespace brindle
