#include "analysis/upper_case.h"

#include <unicode/uchar.h>
#include <unicode/utf16.h>

#include <array>

namespace claimcheck {

namespace {

// The mapping of every code unit that is a code point of its own, looked up once: the support test upper-cases the
// whole disclosure word string, and a table read per unit is far cheaper than a call into ICU per unit.
const std::array<char16_t, 0x10000>& bmpUpperTable() {
    static const auto table = [] {
        std::array<char16_t, 0x10000> t{};
        for (UChar32 c = 0; c < 0x10000; ++c) {
            const UChar32 upper = U16_IS_SURROGATE(c) ? c : u_toupper(c);
            t[c] = static_cast<char16_t>(U16_LENGTH(upper) == 1 ? upper : c);
        }
        return t;
    }();
    return table;
}

} // namespace

std::u16string upperCase(std::u16string_view text) {
    const auto& table = bmpUpperTable();
    std::u16string result(text.size(), u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (U16_IS_LEAD(unit) && i + 1 < text.size() && U16_IS_TRAIL(text[i + 1])) {
            const UChar32 c = U16_GET_SUPPLEMENTARY(unit, text[i + 1]);
            const UChar32 upper = u_toupper(c);
            const UChar32 kept = U16_LENGTH(upper) == 2 ? upper : c;
            result[i] = U16_LEAD(kept);
            result[++i] = U16_TRAIL(kept);
        } else {
            result[i] = table[unit];
        }
    }
    return result;
}

} // namespace claimcheck
