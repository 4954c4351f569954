#include <brindle/panels/translation.h>

#include <brindle/foundations/messages.h>
#include <brindle/query/query.h>

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

namespace brindle {
namespace {

// The translators this call installed; the application owns them.
QPointer<QTranslator>& installed(int which)
{
    static QPointer<QTranslator> translators[2];
    return translators[which];
}

bool replace(QPointer<QTranslator>& slot, const QLocale& locale, const QString& name, const QString& dir)
{
    delete slot.data(); // a translator removes itself from the application
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(locale, name, QStringLiteral("_"), dir)) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    slot = translator;
    return true;
}

} // namespace

bool InstallTranslation(const QLocale& locale)
{
    const bool ours = replace(installed(0), locale, QStringLiteral("brindle"), QStringLiteral(":/brindle/translations"));
    // Qt's own words (the standard buttons of message boxes) follow when the
    // system has them, and only with ours, so that a dialog speaks one language.
    if (ours)
        replace(installed(1), locale, QStringLiteral("qtbase"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    else
        delete installed(1).data();
    TranslateMessages();
    TranslateDefaultTitles();
    return ours;
}

} // namespace brindle
