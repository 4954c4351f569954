#pragma once
// The language Brindle speaks: its widgets, the studio, the default titles,
// the default operator captions and the message catalogue.

#include <brindle/brindle_widgets_export.h>

#include <QLocale>

namespace brindle {

// Switches Brindle to the locale's language: installs Brindle's translation
// (built into the library) and Qt's own when the system has one, replacing
// what an earlier call installed, and sets the default titles, the default
// operator captions of models made later and the message catalogue to that
// language. Widgets, queries and models made later speak it; those that exist
// keep their texts, and a query keeps the titles it holds or loads. A locale
// Brindle has no translation for (English among them) restores the English
// texts. Needs the application object; returns whether Brindle had a
// translation for the locale.
BRINDLE_WIDGETS_EXPORT bool InstallTranslation(const QLocale& locale);

} // namespace brindle
