// The analysis core against the literal rules on arbitrary claims and disclosure texts. The input is the claims
// text, a 0x00 byte and the disclosure text, each decoded as fuzz_text.h says (without that byte the disclosure is
// empty). Every result of the core must equal the literal one; the first difference aborts.

#include "analysis/upper_case.h"
#include "analysis/word_index.h"
#include "fuzz_text.h"
#include "literal_rules.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace claimcheck::fuzz {
namespace {

std::string describe(std::u16string_view claims, std::u16string_view disclosure) {
    return "claims " + escape(claims) + ", disclosure " + escape(disclosure);
}

WordIndex checkedIndex(std::u16string_view text, const std::string& input) {
    WordIndex index = BuildWordIndex(text);
    const WordIndex expected = literal::BuildWordIndex(text);
    if (index.words != expected.words) {
        disagreement("BuildWordIndex words", input + ", indexing " + escape(text), escape(index.words),
                     escape(expected.words));
    }
    if (index.wordString != expected.wordString) {
        disagreement("BuildWordIndex wordString", input + ", indexing " + escape(text), escape(index.wordString),
                     escape(expected.wordString));
    }
    return index;
}

void checkUnsupported(const std::vector<std::u16string>& entries, std::u16string_view wordString,
                      const std::string& input) {
    const std::vector<std::u16string> unsupported = FindUnsupportedWords(entries, wordString);
    const std::vector<std::u16string> expected = literal::FindUnsupportedWords(entries, wordString);
    if (unsupported != expected) {
        disagreement("FindUnsupportedWords",
                     input + ", entries " + escape(entries) + ", word string " + escape(wordString),
                     escape(unsupported), escape(expected));
    }
}

void checkAgainstLiteral(std::u16string_view claimsText, std::u16string_view disclosureText) {
    const std::string input = describe(claimsText, disclosureText);
    for (const std::u16string_view text : {claimsText, disclosureText}) {
        const std::u16string upper = upperCase(text);
        const std::u16string expected = literal::upperCase(text);
        if (upper != expected) {
            disagreement("upperCase", input, escape(upper), escape(expected));
        }
    }

    // As a check run does, then the same with the roles of the texts swapped.
    const WordIndex claims = checkedIndex(claimsText, input);
    const WordIndex disclosure = checkedIndex(disclosureText, input);
    checkUnsupported(claims.words, disclosure.wordString, input);
    checkUnsupported(disclosure.words, claims.wordString, input);

    // Every word of the claims, dropped ones and repeats included: they carry the line breaks and marks that
    // cleaning removes, in more combinations than the index keeps.
    const std::vector<std::u16string> words = literal::splitAtSpaces(claimsText);
    checkUnsupported(words, disclosure.wordString, input);
    for (const std::u16string& word : words) {
        const std::u16string cleaned = CleanClaimWord(word);
        const std::u16string expected = literal::CleanClaimWord(word);
        if (cleaned != expected) {
            disagreement("CleanClaimWord", input + ", word " + escape(word), escape(cleaned), escape(expected));
        }
        // Raw and cleaned: the support test takes any string.
        for (const std::u16string_view probe : {std::u16string_view(word), std::u16string_view(cleaned)}) {
            const bool supported = IsSupported(probe, disclosure.wordString);
            if (supported != literal::IsSupported(probe, disclosure.wordString)) {
                disagreement("IsSupported", input + ", word " + escape(probe), supported ? "true" : "false",
                             supported ? "false" : "true");
            }
        }
    }
}

} // namespace
} // namespace claimcheck::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace claimcheck::fuzz;
    const std::span<const std::uint8_t> bytes(data, size);
    const std::size_t separator = separatorAt(bytes);
    const std::u16string claims = decodeText(bytes.first(separator));
    const std::u16string disclosure = separator < size ? decodeText(bytes.subspan(separator + 1)) : std::u16string();
    checkAgainstLiteral(claims, disclosure);
    return 0;
}
