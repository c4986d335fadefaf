#pragma once

#include <string>
#include <string_view>

namespace claimcheck {

// Upper-cases each code point by Unicode's simple uppercase mapping, one code point for one. A mapping that would
// change the number of code units is not applied, so the result always has the length of the input; a surrogate
// pair maps as one code point and a lone surrogate stays as it is.
std::u16string upperCase(std::u16string_view text);

} // namespace claimcheck
