#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace claimcheck {

// Upper-cases each code point by Unicode's simple uppercase mapping, one code point for one. A mapping that would
// change the number of code units is not applied, so the result always has the length of the input; a surrogate
// pair maps as one code point and a lone surrogate stays as it is.
std::u16string UpperCase(std::u16string_view text);

// The same into `out`, which has room for text.size() units. A text cut into pieces maps piece by piece as it
// maps whole as long as no cut falls between the two halves of a surrogate pair (see SplitsSurrogatePair).
void UpperCaseInto(std::u16string_view text, char16_t* out);

// Whether cutting the text before `at` would part a lead surrogate from the trail surrogate after it.
bool SplitsSurrogatePair(std::u16string_view text, std::size_t at);

} // namespace claimcheck
