#include "analysis/upper_case.h"

#include <unicode/uchar.h>
#include <unicode/utf16.h>

#include <array>

namespace claimcheck {

namespace {

// The mapping of every code unit that is a code point of its own, looked up once: the support test upper-cases the
// whole disclosure word string, and one table read per unit is far cheaper than a call into ICU per unit.
const std::array<char16_t, 0x10000>& BmpUpperTable() {
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

std::u16string UpperCase(std::u16string_view text) {
    std::u16string result(text.size(), u'\0');
    UpperCaseInto(text, result.data());
    return result;
}

bool SplitsSurrogatePair(std::u16string_view text, std::size_t at) {
    return at > 0 && at < text.size() && U16_IS_LEAD(text[at - 1]) && U16_IS_TRAIL(text[at]);
}

void UpperCaseInto(std::u16string_view text, char16_t* result) {
    const auto& table = BmpUpperTable();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (U16_IS_LEAD(unit) && i + 1 < text.size() && U16_IS_TRAIL(text[i + 1])) {
            const UChar32 c = U16_GET_SUPPLEMENTARY(unit, text[i + 1]);
            const UChar32 upper = u_toupper(c);
            const UChar32 kept = U16_LENGTH(upper) == 2 ? upper : c;
            result[i] = U16_LEAD(kept);
            result[i + 1] = U16_TRAIL(kept);
            ++i;
        } else {
            result[i] = table[unit];
        }
    }
}

} // namespace claimcheck
