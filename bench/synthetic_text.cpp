#include "bench/synthetic_text.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <iterator>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace claimcheck::bench {

namespace {

// splitmix64: small, fast and the same on every platform, unlike the distributions of <random>.
class Random {
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t nextRandom() {
        std::uint64_t z = (m_state += 0x9e3779b97f4a7c15u);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
        return z ^ (z >> 31);
    }
    std::size_t below(std::size_t n) { return static_cast<std::size_t>(nextRandom() % n); }
    double fraction() { return static_cast<double>(nextRandom() >> 11) * 0x1.0p-53; }
    bool chance(double p) { return fraction() < p; }

private:
    std::uint64_t m_state;
};

std::u16string pick(Random& random, std::initializer_list<std::u16string_view> choices) {
    return std::u16string(choices.begin()[random.below(choices.size())]);
}

// An English-looking stem of one to three syllables.
std::u16string randomStem(Random& random) {
    std::u16string stem;
    for (std::size_t syllables = random.chance(0.6) ? 1 : 2 + random.below(2); syllables > 0; --syllables) {
        stem += pick(random, {u"b", u"c", u"d",  u"f",  u"g",  u"h",  u"l",  u"m",  u"n",  u"p",  u"r",  u"s", u"t",
                              u"v", u"w", u"st", u"tr", u"pr", u"pl", u"ch", u"th", u"sh", u"gr", u"cl", u""});
        stem += pick(random, {u"a", u"e", u"i", u"o", u"u", u"a", u"e", u"i", u"o", u"ea", u"ou", u"io", u"ai"});
        stem += pick(random, {u"", u"", u"", u"n", u"r", u"l", u"s", u"t", u"nd", u"nt", u"ct", u"ss", u"m", u"rt"});
    }
    return stem;
}

// The vocabulary of a long patent: the frequent English function words and patent phrasing on top, then the forms
// of a few thousand invented stems with English prefixes and suffixes, so that, as in real text, many words occur
// inside others ("connect" in "connections") and the rest in shuffled order. Rank r has weight (r + 2.7)^-1.35
// (Zipf-Mandelbrot), steep enough that a text of 16,000 words has about as many distinct words as the prose
// patents of the corpus of that length (US7272630: 2,455; a text from here: about 3,000).
class Vocabulary {
public:
    static const Vocabulary& instance() {
        static const Vocabulary vocabulary;
        return vocabulary;
    }

    const std::u16string& draw(Random& random) const {
        const auto at = std::upper_bound(m_cumulative.begin(), m_cumulative.end(), random.fraction() * m_cumulative.back());
        return m_words[std::min<std::size_t>(static_cast<std::size_t>(at - m_cumulative.begin()), m_words.size() - 1)];
    }

private:
    static constexpr std::size_t kStems = 5000;
    static constexpr double kZipfExponent = 1.35;

    Vocabulary() {
        for (const std::u16string_view word :
             {u"the",        u"of",        u"a",       u"and",     u"to",     u"in",     u"is",   u"said",    u"an",
              u"for",        u"with",      u"which",   u"be",      u"first",  u"second", u"at",   u"on",      u"by",
              u"from",       u"or",        u"as",      u"that",    u"may",    u"this",   u"are",  u"wherein", u"each",
              u"one",        u"least",     u"more",    u"such",    u"it",     u"can",    u"has",  u"having",  u"means",
              u"comprising", u"according", u"further", u"between", u"into",   u"other",  u"when", u"than",    u"not",
              u"embodiment", u"invention", u"device",  u"portion", u"member", u"shown",  u"FIG.", u"example", u"also",
              u"includes",   u"based",     u"within",  u"its",     u"about"}) {
            m_words.emplace_back(word);
        }
        Random random(0x766f636162);
        std::unordered_set<std::u16string> distinct(m_words.begin(), m_words.end());
        std::vector<std::u16string> forms;
        for (std::size_t s = 0; s < kStems; ++s) {
            const std::u16string stem = randomStem(random);
            for (std::size_t f = 2 + random.below(6); f > 0; --f) {
                std::u16string word = random.chance(0.15)
                                          ? pick(random, {u"re", u"un", u"pre", u"sub", u"inter", u"non"})
                                          : std::u16string();
                word += stem;
                word += pick(random,
                             {u"",     u"",   u"s",    u"ed",   u"ing",   u"er",   u"ers", u"ly",  u"ion", u"ions",
                              u"able", u"al", u"ally", u"ment", u"ments", u"ness", u"ive", u"ity", u"ize", u"ized"});
                if (distinct.insert(word).second) {
                    forms.push_back(std::move(word));
                }
            }
        }
        for (std::size_t i = forms.size(); i > 1; --i) {
            std::swap(forms[i - 1], forms[random.below(i)]);
        }
        m_words.insert(m_words.end(), std::make_move_iterator(forms.begin()), std::make_move_iterator(forms.end()));
        double total = 0;
        for (std::size_t rank = 0; rank < m_words.size(); ++rank) {
            total += std::pow(static_cast<double>(rank) + 2.7, -kZipfExponent);
            m_cumulative.push_back(total);
        }
    }

    std::vector<std::u16string> m_words;
    std::vector<double> m_cumulative;
};

std::u16string capitalised(std::u16string word) {
    if (!word.empty() && word[0] >= u'a' && word[0] <= u'z') {
        word[0] = static_cast<char16_t>(word[0] - u'a' + u'A');
    }
    return word;
}

std::u16string numberText(std::size_t n) {
    std::u16string digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + n % 10));
        n /= 10;
    } while (n > 0);
    return digits;
}

// Writes sentences until `words` words are out; every `sentencesPerBlock` sentences end a paragraph (or claim)
// with an LF, and `heading` starts each one.
template <typename Heading>
std::u16string sentences(std::size_t words, Random& random, std::size_t sentencesPerBlock, Heading heading,
                         double inventedWordChance) {
    const Vocabulary& vocabulary = Vocabulary::instance();
    std::u16string text;
    std::size_t written = 0;
    std::size_t block = 0;
    while (written < words) {
        text += heading(++block);
        for (std::size_t s = 0; s < sentencesPerBlock && written < words; ++s) {
            const std::size_t length = 8 + random.below(23);
            for (std::size_t w = 0; w < length && written < words; ++w, ++written) {
                if (w > 0 || s > 0) {
                    text.push_back(u' ');
                }
                if (random.chance(0.03)) {
                    text += numberText(10 + random.below(300));
                    if (random.chance(0.3)) {
                        text.push_back(static_cast<char16_t>(u'a' + random.below(4)));
                    }
                } else if (random.chance(inventedWordChance)) {
                    text += u"qz" + randomStem(random);
                } else {
                    text += w == 0 ? capitalised(vocabulary.draw(random)) : vocabulary.draw(random);
                }
                if (w + 1 == length) {
                    text.push_back(u'.');
                } else if (random.chance(0.07)) {
                    text.push_back(random.chance(0.9) ? u',' : u';');
                }
            }
        }
        text.push_back(u'\n');
    }
    return text;
}

} // namespace

std::u16string patentLikeText(std::size_t words, std::uint64_t seed) {
    Random random(seed);
    const auto heading = [](std::size_t paragraph) {
        std::u16string number = numberText(paragraph);
        if (number.size() < 4) {
            number.insert(0, 4 - number.size(), u'0');
        }
        return u"[" + number + u"] ";
    };
    return sentences(words, random, 5, heading, 0.0);
}

std::u16string patentLikeClaims(std::size_t words, std::uint64_t seed) {
    Random random(seed);
    return sentences(
        words, random, 2, [](std::size_t claim) { return numberText(claim) + u". "; }, 0.01);
}

std::u16string distinctWordsText(std::size_t words, std::uint64_t seed) {
    Random random(seed);
    std::unordered_set<std::u16string> distinct;
    distinct.reserve(words);
    std::u16string text;
    while (distinct.size() < words) {
        // Uniform letters, unlike the vocabulary: fewer chance occurrences, so nearly every word is admitted.
        std::u16string word(6 + random.below(7), u'\0');
        for (char16_t& letter : word) {
            letter = static_cast<char16_t>(u'a' + random.below(26));
        }
        if (distinct.insert(word).second) {
            if (!text.empty()) {
                text.push_back(u' ');
            }
            text += word;
        }
    }
    return text;
}

} // namespace claimcheck::bench
