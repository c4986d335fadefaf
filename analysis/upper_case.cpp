#include "analysis/upper_case.h"

#include <unicode/uchar.h>
#include <unicode/utf16.h>

namespace claimcheck {

std::u16string UpperCase(std::u16string_view text) {
    std::u16string result(text);
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t begin = i;
        UChar32 c;
        U16_NEXT(text.data(), i, text.size(), c); // a lone surrogate comes back as itself
        const UChar32 upper = u_toupper(c);
        if (static_cast<std::size_t>(U16_LENGTH(upper)) == i - begin) {
            std::size_t at = begin;
            U16_APPEND_UNSAFE(result.data(), at, upper);
        }
    }
    return result;
}

} // namespace claimcheck
