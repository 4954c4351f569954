#include <brindle/foundations/text_hash.h>

#include <cstdint>
#include <cstring>

namespace brindle {
namespace {

__extension__ using Wide = unsigned __int128; // GCC and Clang both have it

// The two halves of the 128-bit product folded together.
std::uint64_t mix(std::uint64_t a, std::uint64_t b)
{
    const Wide product = static_cast<Wide>(a) * b;
    return static_cast<std::uint64_t>(product) ^ static_cast<std::uint64_t>(product >> 64);
}

constexpr std::uint64_t kOdd1 = 0xa0761d6478bd642full;
constexpr std::uint64_t kOdd2 = 0xe7037ed1a0b428dbull;
constexpr std::uint64_t kOdd3 = 0x8ebc6af09c88c6e3ull;

} // namespace

size_t HashBytes(const void* data, std::size_t size, size_t seed) noexcept
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::size_t left = size;
    std::uint64_t h = mix(seed ^ kOdd1, left ^ kOdd2);
    // Eight bytes at a time; the tail is padded with zeros, and the length
    // taken in above keeps "a" and "a\0" apart.
    while (left >= 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes, 8);
        h = mix(word ^ kOdd2, h ^ kOdd3);
        bytes += 8;
        left -= 8;
    }
    // At most seven bytes are left: read one by one rather than through a
    // memcpy call of variable length.
    std::uint64_t tail = 0;
    for (std::size_t shift = 0; left > 0; --left, ++bytes, shift += 8)
        tail |= static_cast<std::uint64_t>(bytes[0]) << shift;
    h = mix(tail ^ kOdd3, h ^ kOdd1);
    return static_cast<size_t>(mix(h, kOdd2 ^ seed));
}

size_t HashText(QStringView text, size_t seed) noexcept
{
    return HashBytes(text.utf16(), static_cast<std::size_t>(text.size()) * sizeof(char16_t), seed);
}

} // namespace brindle
