#pragma once
// Hash tables keyed by text. Qt hashes strings with an AES-based function
// that costs about 160 ns a key on machines where the AES and wide vector
// instructions are slow to mix (measured on the project's build machines),
// while look-ups by name sit on the hot paths of reading models and
// importing SQL. TTextKey hashes with a multiply-mix function of its own,
// a few nanoseconds a key, keyed with the table's per-process seed so that
// crafted names cannot be made to collide on purpose.

#include "brindle_core_export.h"

#include <QHash>
#include <QSet>
#include <QString>

namespace brindle {

BRINDLE_CORE_EXPORT size_t HashText(QStringView text, size_t seed) noexcept;

// A text as a hash key; converts from QString both ways, so tables read as
// QString-keyed ones.
class TTextKey {
public:
    TTextKey() = default;
    TTextKey(const QString& text) : FText(text) {}
    TTextKey(QString&& text) : FText(std::move(text)) {}
    const QString& Text() const { return FText; }
    operator const QString&() const { return FText; }
    friend bool operator==(const TTextKey& a, const TTextKey& b) { return a.FText == b.FText; }
    friend size_t qHash(const TTextKey& key, size_t seed) noexcept { return HashText(key.FText, seed); }

private:
    QString FText;
};

template <typename V>
using TTextHash = QHash<TTextKey, V>;
using TTextSet = QSet<TTextKey>;

} // namespace brindle
