#pragma once
// A set of enumeration values of up to 64 members, bit n standing for the
// value of ordinal n. Stands for the small bit sets the formats store by the
// values' names.

#include <QtGlobal>

#include <initializer_list>

namespace brindle {

template <typename E>
class EnumSet {
public:
    constexpr EnumSet() = default;
    constexpr EnumSet(std::initializer_list<E> values)
    {
        for (E v : values)
            FBits |= bit(v);
    }

    static constexpr EnumSet FromBits(quint64 bits)
    {
        EnumSet s;
        s.FBits = bits;
        return s;
    }
    constexpr quint64 Bits() const { return FBits; }

    constexpr bool Contains(E v) const { return (FBits & bit(v)) != 0; }
    constexpr bool IsEmpty() const { return FBits == 0; }
    constexpr void Include(E v) { FBits |= bit(v); }
    constexpr void Exclude(E v) { FBits &= ~bit(v); }
    constexpr void Set(E v, bool on) { on ? Include(v) : Exclude(v); }

    friend constexpr EnumSet operator+(EnumSet a, EnumSet b) { return FromBits(a.FBits | b.FBits); }
    friend constexpr EnumSet operator-(EnumSet a, EnumSet b) { return FromBits(a.FBits & ~b.FBits); }
    friend constexpr EnumSet operator*(EnumSet a, EnumSet b) { return FromBits(a.FBits & b.FBits); }
    friend constexpr bool operator==(EnumSet a, EnumSet b) { return a.FBits == b.FBits; }
    friend constexpr bool operator!=(EnumSet a, EnumSet b) { return a.FBits != b.FBits; }

private:
    static constexpr quint64 bit(E v)
    {
        const auto n = static_cast<unsigned>(v);
        return n < 64 ? (quint64(1) << n) : 0;
    }
    quint64 FBits = 0;
};

} // namespace brindle
