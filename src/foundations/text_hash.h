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

#include <cstddef>

namespace brindle {

BRINDLE_CORE_EXPORT size_t HashText(QStringView text, size_t seed) noexcept;
BRINDLE_CORE_EXPORT size_t HashBytes(const void* data, std::size_t size, size_t seed) noexcept;

class BorrowedKey;

// A text as a hash key; converts from QString both ways, so tables read as
// QString-keyed ones. Every key that is constructed, copied or moved holds
// its text; only a BorrowedKey, which cannot be stored, refers to one.
class TextKey {
public:
    TextKey() = default;
    TextKey(const QString& text) : FOwner(text), FText(FOwner) {}
    TextKey(QString&& text) : FOwner(std::move(text)), FText(FOwner) {}
    TextKey(const TextKey& other) : FOwner(ownerOf(other)), FText(FOwner) {}
    TextKey(TextKey&& other) noexcept : FOwner(ownerOf(std::move(other))), FText(FOwner) {}
    TextKey& operator=(const TextKey& other)
    {
        FOwner = ownerOf(other);
        FText = FOwner;
        return *this;
    }
    TextKey& operator=(TextKey&& other) noexcept
    {
        FOwner = ownerOf(std::move(other));
        FText = FOwner;
        return *this;
    }
    // The text of the key.
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
    friend class BorrowedKey;

    // A borrowed text is copied when its key is: a stored key owns its text.
    static QString ownerOf(const TextKey& other)
    {
        return other.FOwner.isNull() ? other.FText.toString() : other.FOwner;
    }
    static QString ownerOf(TextKey&& other)
    {
        return other.FOwner.isNull() ? other.FText.toString() : std::move(other.FOwner);
    }

    QString FOwner;
    QStringView FText;
};

// A look-up key that refers to a text without holding it: a look-up with it
// costs no reference counting, which on a busy path is as much as the
// look-up itself. It can be neither copied nor moved, so it lives only as
// long as the expression that looks up with it, and any key made from it
// holds a copy of the text.
class BorrowedKey {
public:
    explicit BorrowedKey(QStringView text) { FKey.FText = text; }
    BorrowedKey(const BorrowedKey&) = delete;
    BorrowedKey& operator=(const BorrowedKey&) = delete;
    operator const TextKey&() const { return FKey; }

private:
    TextKey FKey;
};

template <typename V>
using TextHash = QHash<TextKey, V>;
using TextSet = QSet<TextKey>;

} // namespace brindle
