// The cleaning rule alone against its literal form: the whole input, decoded as fuzz_text.h says, is one claim
// word. Spaces included, although a claims-index entry never holds one: the rule must not care.

#include "analysis/word_index.h"
#include "fuzz_text.h"
#include "literal_rules.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace claimcheck;
    const std::u16string word = fuzz::decodeText(std::span<const std::uint8_t>(data, size));
    const std::u16string cleaned = CleanClaimWord(word);
    const std::u16string expected = literal::CleanClaimWord(word);
    if (cleaned != expected) {
        fuzz::disagreement("CleanClaimWord", fuzz::escape(word), fuzz::escape(cleaned), fuzz::escape(expected));
    }
    return 0;
}
