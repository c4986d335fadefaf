#include "bench/synthetic_text.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace claimcheck::bench {

namespace {

// splitmix64: small, fast and the same on every platform, unlike the distributions of <random>.
class Random {
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t Next() {
        std::uint64_t z = (m_state += 0x9e3779b97f4a7c15u);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
        return z ^ (z >> 31);
    }
    std::size_t Below(std::size_t n) { return static_cast<std::size_t>(Next() % n); }
    double Unit() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }
    bool Chance(double p) { return Unit() < p; }

private:
    std::uint64_t m_state;
};

// Letters drawn with roughly English frequencies, so that short words turn up inside long ones about as often as
// in real text.
char16_t RandomLetter(Random& random) {
    static constexpr std::u16string_view kLetters = u"eeeeeeeeeeeetttttttttaaaaaaaaoooooooiiiiiiinnnnnnnssssss"
                                                    u"hhhhhhrrrrrrdddddllllcccuuummmwwffggyyppbbvkjxqz";
    return kLetters[random.Below(kLetters.size())];
}

std::u16string RandomWord(Random& random, std::size_t length) {
    std::u16string word;
    for (std::size_t i = 0; i < length; ++i) {
        word.push_back(RandomLetter(random));
    }
    return word;
}

class Vocabulary {
public:
    static const Vocabulary& Get() {
        static const Vocabulary vocabulary;
        return vocabulary;
    }

    const std::u16string& Draw(Random& random) const {
        const auto at = std::upper_bound(m_cumulative.begin(), m_cumulative.end(), random.Unit() * m_cumulative.back());
        return m_words[std::min<std::size_t>(at - m_cumulative.begin(), m_words.size() - 1)];
    }

private:
    static constexpr std::size_t kSize = 40000;

    // Frequent words are short, as in any language; rank r has weight 1 / (r + 2.7) (Zipf-Mandelbrot).
    Vocabulary() {
        Random random(0x766f636162);
        std::unordered_set<std::u16string> distinct;
        double total = 0;
        while (m_words.size() < kSize) {
            const std::size_t rank = m_words.size();
            const std::size_t length = rank < 100    ? 1 + random.Below(4)
                                       : rank < 2000 ? 3 + random.Below(6)
                                                     : 4 + random.Below(10);
            std::u16string word = RandomWord(random, length);
            if (distinct.insert(word).second) {
                m_words.push_back(std::move(word));
                total += 1.0 / (static_cast<double>(rank) + 2.7);
                m_cumulative.push_back(total);
            }
        }
    }

    std::vector<std::u16string> m_words;
    std::vector<double> m_cumulative;
};

std::u16string Capitalised(std::u16string word) {
    if (!word.empty() && word[0] >= u'a' && word[0] <= u'z') {
        word[0] = static_cast<char16_t>(word[0] - u'a' + u'A');
    }
    return word;
}

std::u16string Number(std::size_t n) {
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
std::u16string Sentences(std::size_t words, Random& random, std::size_t sentencesPerBlock, Heading heading,
                         double inventedWordChance) {
    const Vocabulary& vocabulary = Vocabulary::Get();
    std::u16string text;
    std::size_t written = 0;
    std::size_t block = 0;
    while (written < words) {
        text += heading(++block);
        for (std::size_t s = 0; s < sentencesPerBlock && written < words; ++s) {
            const std::size_t length = 8 + random.Below(23);
            for (std::size_t w = 0; w < length && written < words; ++w, ++written) {
                if (w > 0 || s > 0) {
                    text.push_back(u' ');
                }
                if (random.Chance(0.03)) {
                    text += Number(10 + random.Below(300));
                    if (random.Chance(0.3)) {
                        text.push_back(static_cast<char16_t>(u'a' + random.Below(4)));
                    }
                } else if (random.Chance(inventedWordChance)) {
                    text += u"qz" + RandomWord(random, 5);
                } else {
                    text += w == 0 ? Capitalised(vocabulary.Draw(random)) : vocabulary.Draw(random);
                }
                if (w + 1 == length) {
                    text.push_back(u'.');
                } else if (random.Chance(0.07)) {
                    text.push_back(random.Chance(0.9) ? u',' : u';');
                }
            }
        }
        text.push_back(u'\n');
    }
    return text;
}

} // namespace

std::u16string PatentLikeText(std::size_t words, std::uint64_t seed) {
    Random random(seed);
    const auto heading = [](std::size_t paragraph) {
        std::u16string number = Number(paragraph);
        if (number.size() < 4) {
            number.insert(0, 4 - number.size(), u'0');
        }
        return u"[" + number + u"] ";
    };
    return Sentences(words, random, 4, heading, 0.0);
}

std::u16string PatentLikeClaims(std::size_t words, std::uint64_t seed) {
    Random random(seed);
    return Sentences(
        words, random, 2, [](std::size_t claim) { return Number(claim) + u". "; }, 0.01);
}

std::u16string DistinctWordsText(std::size_t words, std::uint64_t seed) {
    Random random(seed);
    std::unordered_set<std::u16string> distinct;
    distinct.reserve(words);
    std::u16string text;
    while (distinct.size() < words) {
        // Uniform letters, unlike the vocabulary: fewer chance occurrences, so nearly every word is admitted.
        std::u16string word(6 + random.Below(7), u'\0');
        for (char16_t& letter : word) {
            letter = static_cast<char16_t>(u'a' + random.Below(26));
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
