#pragma once
// Hash tables keyed by text. Qt hashes strings with an AES-based function
// that costs about 160 ns a key on machines where the AES and wide vector
// instructions are slow to mix (measured on the project's build machines),
// while look-ups by name sit on the hot paths of reading models and
// importing SQL. TextKey hashes with a multiply-mix function of its own,
// a few nanoseconds a key, keyed with the table's per-process seed so that
// crafted names cannot be made to collide on purpose.

#include <brindle/brindle_core_export.h>

#include <QHash>
#include <QSet>
#include <QString>

namespace brindle {

BRINDLE_CORE_EXPORT size_t HashText(QStringView text, size_t seed) noexcept;

// A text as a hash key; converts from QString both ways, so tables read as
// QString-keyed ones. A key made with Borrowed refers to a text without
// holding it: look-ups with it cost no reference counting, which on a busy
// path is as much as the look-up itself. A borrowed key is for look-ups
// only, never stored, and its text must outlive it.
class TextKey {
public:
    TextKey() = default;
    TextKey(const QString& text) : FOwner(text), FText(FOwner) {}
    TextKey(QString&& text) : FOwner(std::move(text)), FText(FOwner) {}
    TextKey(const TextKey& other) : FOwner(other.FOwner), FText(viewOf(FOwner, other.FText)) {}
    TextKey(TextKey&& other) noexcept : FOwner(std::move(other.FOwner)), FText(viewOf(FOwner, other.FText)) {}
    TextKey& operator=(const TextKey& other)
    {
        FOwner = other.FOwner;
        FText = viewOf(FOwner, other.FText);
        return *this;
    }
    TextKey& operator=(TextKey&& other) noexcept
    {
        FOwner = std::move(other.FOwner);
        FText = viewOf(FOwner, other.FText);
        return *this;
    }
    static TextKey Borrowed(QStringView text)
    {
        TextKey key;
        key.FText = text;
        return key;
    }
    // The text of a stored key.
    const QString& Text() const { return FOwner; }
    operator const QString&() const { return FOwner; }
    // Compared in place, character by character: a table compares the key
    // with every entry it probes, and keys are short, so a call to Qt's
    // comparison or to memcmp costs more than the whole key.
    friend bool operator==(const TextKey& a, const TextKey& b)
    {
        const qsizetype size = a.FText.size();
        if (size != b.FText.size())
            return false;
        const char16_t* x = a.FText.utf16();
        const char16_t* y = b.FText.utf16();
        for (qsizetype i = 0; i < size; ++i)
            if (x[i] != y[i])
                return false;
        return true;
    }
    friend size_t qHash(const TextKey& key, size_t seed) noexcept { return HashText(key.FText, seed); }

private:
    // A key that holds its text views its own copy; a borrowed one keeps
    // the view it was given.
    static QStringView viewOf(const QString& owner, QStringView borrowed)
    {
        return owner.isNull() ? borrowed : QStringView(owner);
    }

    QString FOwner;
    QStringView FText;
};

template <typename V>
using TextHash = QHash<TextKey, V>;
using TextSet = QSet<TextKey>;

} // namespace brindle
