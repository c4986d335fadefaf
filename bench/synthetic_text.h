#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace claimcheck::bench {

// A description-like text of `words` space-separated words: numbered paragraphs of sentences drawn from a
// vocabulary of 40,000 invented words with Zipf-like frequencies, commas, full stops, reference numerals, and
// an LF between paragraphs (with no space beside it, so the words on either side run together). The same seed
// gives the same text.
std::u16string patentLikeText(std::size_t words, std::uint64_t seed);

// A claims-like text of about `words` words from the same vocabulary, one numbered claim per line, with a few
// invented words of its own that no description made by PatentLikeText holds.
std::u16string patentLikeClaims(std::size_t words, std::uint64_t seed);

// `words` pairwise different random lower-case words of 6 to 12 letters, single spaces between them: each word
// a new one, and most of them too long to occur by chance in the text before them.
std::u16string distinctWordsText(std::size_t words, std::uint64_t seed);

} // namespace claimcheck::bench
