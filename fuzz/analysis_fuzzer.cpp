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

std::string Describe(std::u16string_view claims, std::u16string_view disclosure) {
    return "claims " + Escape(claims) + ", disclosure " + Escape(disclosure);
}

WordIndex CheckedIndex(std::u16string_view text, const std::string& input) {
    WordIndex index = BuildWordIndex(text);
    const WordIndex expected = literal::BuildWordIndex(text);
    if (index.words != expected.words) {
        Disagreement("BuildWordIndex words", input + ", indexing " + Escape(text), Escape(index.words),
                     Escape(expected.words));
    }
    if (index.wordString != expected.wordString) {
        Disagreement("BuildWordIndex wordString", input + ", indexing " + Escape(text), Escape(index.wordString),
                     Escape(expected.wordString));
    }
    return index;
}

void CheckUnsupported(const std::vector<std::u16string>& entries, std::u16string_view wordString,
                      const std::string& input) {
    const std::vector<std::u16string> unsupported = FindUnsupportedWords(entries, wordString);
    const std::vector<std::u16string> expected = literal::FindUnsupportedWords(entries, wordString);
    if (unsupported != expected) {
        Disagreement("FindUnsupportedWords",
                     input + ", entries " + Escape(entries) + ", word string " + Escape(wordString),
                     Escape(unsupported), Escape(expected));
    }
}

void Check(std::u16string_view claimsText, std::u16string_view disclosureText) {
    const std::string input = Describe(claimsText, disclosureText);
    for (const std::u16string_view text : {claimsText, disclosureText}) {
        const std::u16string upper = UpperCase(text);
        const std::u16string expected = literal::UpperCase(text);
        if (upper != expected) {
            Disagreement("UpperCase", input, Escape(upper), Escape(expected));
        }
    }

    // As a check run does, then the same with the roles of the texts swapped.
    const WordIndex claims = CheckedIndex(claimsText, input);
    const WordIndex disclosure = CheckedIndex(disclosureText, input);
    CheckUnsupported(claims.words, disclosure.wordString, input);
    CheckUnsupported(disclosure.words, claims.wordString, input);

    // Every word of the claims, dropped ones and repeats included: they carry the line breaks and marks that
    // cleaning removes, in more combinations than the index keeps.
    const std::vector<std::u16string> words = literal::SplitAtSpaces(claimsText);
    CheckUnsupported(words, disclosure.wordString, input);
    for (const std::u16string& word : words) {
        const std::u16string cleaned = CleanClaimWord(word);
        const std::u16string expected = literal::CleanClaimWord(word);
        if (cleaned != expected) {
            Disagreement("CleanClaimWord", input + ", word " + Escape(word), Escape(cleaned), Escape(expected));
        }
        // Raw and cleaned: the support test takes any string.
        for (const std::u16string_view probe : {std::u16string_view(word), std::u16string_view(cleaned)}) {
            const bool supported = IsSupported(probe, disclosure.wordString);
            if (supported != literal::IsSupported(probe, disclosure.wordString)) {
                Disagreement("IsSupported", input + ", word " + Escape(probe), supported ? "true" : "false",
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
    const std::size_t separator = SeparatorAt(bytes);
    const std::u16string claims = DecodeText(bytes.first(separator));
    const std::u16string disclosure = separator < size ? DecodeText(bytes.subspan(separator + 1)) : std::u16string();
    Check(claims, disclosure);
    return 0;
}
