#pragma once
// The exception classes of the library. Every error is an exception whose
// message is a QString; what() hands out the same text as UTF-8. Classes that
// carry a numeric code derive from EVxBrindleError.

#include <brindle/brindle_core_export.h>

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <exception>

namespace brindle {

// Formats a message with the C rules the library uses: %s and %d take the
// next argument, %% is a percent sign. A directive without a matching
// argument, or a %d whose argument is not a number, raises EConvertError.
BRINDLE_CORE_EXPORT QString Format(const QString& format, const QVariantList& args);

// The general exception: every error class of the library derives from it.
class BRINDLE_CORE_EXPORT Exception : public std::exception {
public:
    explicit Exception(QString message);
    Exception(const QString& format, const QVariantList& args);
    ~Exception() override;

    const QString& Message() const noexcept { return FMessage; }
    const char* what() const noexcept override { return FUtf8.constData(); }
    // The class's own name, as error reports print it.
    virtual QString ClassName() const { return QStringLiteral("Exception"); }

private:
    QString FMessage;
    QByteArray FUtf8;
};

// Declares a class derived from Exception that only changes its name.
#define BRINDLE_DECLARE_EXCEPTION(Name, Base)                                   \
    class BRINDLE_CORE_EXPORT Name : public Base {                              \
    public:                                                                     \
        using Base::Base;                                                       \
        QString ClassName() const override { return QStringLiteral(#Name); }    \
    };

// A text that does not convert to the wanted value.
BRINDLE_DECLARE_EXCEPTION(EConvertError, Exception)
// An index outside a list.
BRINDLE_DECLARE_EXCEPTION(EListError, Exception)

// Base of the coded errors: ErrorCode is unique within the raising class.
class BRINDLE_CORE_EXPORT EVxBrindleError : public Exception {
public:
    EVxBrindleError(int code, const QString& message);
    EVxBrindleError(int code, const QString& format, const QVariantList& args);

    int ErrorCode() const noexcept { return FErrorCode; }
    QString ClassName() const override { return QStringLiteral("EVxBrindleError"); }

private:
    int FErrorCode;
};

BRINDLE_DECLARE_EXCEPTION(EVxDBStructError, EVxBrindleError)
BRINDLE_DECLARE_EXCEPTION(EVxDBInfoError, EVxBrindleError)
BRINDLE_DECLARE_EXCEPTION(EVxQueryBaseError, EVxBrindleError)
BRINDLE_DECLARE_EXCEPTION(EVxQueryPanelError, EVxBrindleError)

// Errors of the parser and the visual parts derive from the general class.

// A statement the SQL parser cannot read, with the place of the token at
// fault: Line and Column count from 1; a column counts the characters (code
// points) of its line before the token, a tab as one, and a line ends at a
// CR LF, LF or CR. At the end of the text the place is just past the last
// token and Token is empty. Line and Column are 0 when no place is known.
class BRINDLE_CORE_EXPORT ESQLParserError : public Exception {
public:
    using Exception::Exception;
    ESQLParserError(const QString& message, int line, int column, const QString& token);

    int Line() const noexcept { return FLine; }
    int Column() const noexcept { return FColumn; }
    // The token as written; a dotted name as a whole.
    const QString& Token() const noexcept { return FToken; }
    QString ClassName() const override { return QStringLiteral("ESQLParserError"); }

private:
    int FLine = 0;
    int FColumn = 0;
    QString FToken;
};

BRINDLE_DECLARE_EXCEPTION(EStructureDesignError, Exception)
BRINDLE_DECLARE_EXCEPTION(ERFPanelError, Exception)
BRINDLE_DECLARE_EXCEPTION(EDDLabelError, Exception)

// Raises the data model's coded error with a catalogue message.
[[noreturn]] BRINDLE_CORE_EXPORT void RaiseDBStructError(int code, int messageId,
                                                         const QVariantList& args = {});

} // namespace brindle
