// Production against the literal rules: random texts from tiny alphabets, where seams, empty words, CR LF pairs,
// punctuation and case pairs collide all the time, and every patent of the corpus.

#include "analysis/multi_word_matcher.h"
#include "analysis/suffix_automaton.h"
#include "analysis/word_index.h"
#include "corpus.h"
#include "literal_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace claimcheck {
namespace {

// Readable, copy-pasteable form of a text for failure messages.
std::string escape(std::u16string_view text) {
    std::string out = "u\"";
    for (const char16_t unit : text) {
        if (unit >= 0x20 && unit < 0x7F && unit != u'"' && unit != u'\\') {
            out.push_back(static_cast<char>(unit));
        } else {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\x%04X", static_cast<unsigned>(unit));
            out += buffer;
        }
    }
    return out + "\"";
}

struct Alphabet {
    const char* name;
    std::vector<std::u16string> symbols;
    std::size_t maxSymbols; // per text
    int texts;              // number of claims/disclosure pairs
};

void PrintTo(const Alphabet& a, std::ostream* os) {
    *os << a.name;
}

// The text's index, checked against the literal rules' index of it.
WordIndex checkedIndex(std::u16string_view text) {
    WordIndex index = BuildWordIndex(text);
    const WordIndex expected = literal::BuildWordIndex(text);
    EXPECT_EQ(index.words, expected.words);
    EXPECT_EQ(index.wordString, expected.wordString);
    return index;
}

void expectAgreementOnRandomTexts(const Alphabet& alphabet, int texts) {
    std::mt19937 random(20240611);
    const auto randomText = [&] {
        std::u16string text;
        for (std::size_t n = random() % (alphabet.maxSymbols + 1); n > 0; --n) {
            text += alphabet.symbols[random() % alphabet.symbols.size()];
        }
        return text;
    };
    for (int i = 0; i < texts; ++i) {
        const std::u16string claimsText = randomText();
        const std::u16string disclosureText = randomText();
        SCOPED_TRACE("claims " + escape(claimsText) + ", disclosure " + escape(disclosureText));

        const WordIndex claims = checkedIndex(claimsText);
        const WordIndex disclosure = checkedIndex(disclosureText);
        ASSERT_FALSE(testing::Test::HasFailure());

        ASSERT_EQ(FindUnsupportedWords(claims.words, disclosure.wordString),
                  literal::FindUnsupportedWords(claims.words, disclosure.wordString));
        // Raw claim words too: they hold the line breaks and punctuation that cleaning removes, and repeats.
        const std::vector<std::u16string> rawWords = literal::splitAtSpaces(claimsText);
        ASSERT_EQ(FindUnsupportedWords(rawWords, disclosure.wordString),
                  literal::FindUnsupportedWords(rawWords, disclosure.wordString));

        for (const std::u16string& word : rawWords) {
            const std::u16string cleaned = CleanClaimWord(word);
            ASSERT_EQ(cleaned, literal::CleanClaimWord(word)) << escape(word);
            ASSERT_EQ(IsSupported(cleaned, disclosure.wordString), literal::IsSupported(cleaned, disclosure.wordString))
                << escape(cleaned);
        }
    }
}

class RandomTexts : public testing::TestWithParam<Alphabet> {};

TEST_P(RandomTexts, agreeWithLiteralRules) {
    expectAgreementOnRandomTexts(GetParam(), GetParam().texts);
}

const auto kAlphabets = testing::Values(
    Alphabet{"TwoLettersAndSpace", {u"a", u"b", u" "}, 40, 30000},
    // Long texts over few letters: deep automata with many split states.
    Alphabet{"TwoLettersAndSpaceLong", {u"a", u"b", u"a", u"b", u"a", u"b", u" "}, 600, 400},
    Alphabet{"PunctuationAndLineBreaks",
             {u"a", u"B", u"b", u".", u",", u";", u":", u"\r", u"\n", u"\r\n", u" ", u" "},
             40,
             30000},
    Alphabet{"CasePairsAndSurrogates",
             {u"a", u"A",          u"é",          u"É",      u"e",      u"ß",      u"s", u"S",    u"ſ", u"σ", u"Σ",
              u"ς", u"\U00010428", u"\U00010400", u"\xD801", u"\xDC28", u"\xDC00", u".", u"\r\n", u" ", u" "},
             40,
             20000});

const auto alphabetName = [](const testing::TestParamInfo<Alphabet>& info) { return info.param.name; };
INSTANTIATE_TEST_SUITE_P(Alphabets, RandomTexts, kAlphabets, alphabetName);

// A long text with most words new: the automaton grows through many reallocations of its states and edge lists.
TEST(BuildWordIndex, longTextOfManyDistinctWordsAgreesWithLiteralRules) {
    std::mt19937 random(17);
    std::u16string text;
    while (text.size() < 40'000) {
        for (int letters = 2 + static_cast<int>(random() % 6); letters > 0; --letters) {
            text.push_back(static_cast<char16_t>(u'a' + random() % 26));
        }
        text.push_back(u' ');
    }
    const WordIndex index = checkedIndex(text);
    EXPECT_GT(index.words.size(), 5'000u);
}

TEST(SuffixAutomaton, containsExactlyTheSubstringsOfWhatWasAppended) {
    std::mt19937 random(7);
    for (int round = 0; round < 50; ++round) {
        SuffixAutomaton automaton;
        std::u16string text;
        while (text.size() < 2000) {
            std::u16string chunk(1 + random() % 12, u'\0');
            for (char16_t& unit : chunk) {
                unit = static_cast<char16_t>(u'a' + random() % 3);
            }
            automaton.append(chunk);
            text += chunk;
            for (int probe = 0; probe < 20; ++probe) {
                const std::size_t begin = random() % text.size();
                const std::u16string_view inside = std::u16string_view(text).substr(begin, 1 + random() % 40);
                ASSERT_TRUE(automaton.contains(inside)) << escape(inside);
                std::u16string any(1 + random() % 10, u'\0');
                for (char16_t& unit : any) {
                    unit = static_cast<char16_t>(u'a' + random() % 3);
                }
                ASSERT_EQ(automaton.contains(any), text.find(any) != text.npos)
                    << escape(any) << " in " << escape(text);
            }
        }
        EXPECT_TRUE(automaton.contains(u""));
        EXPECT_FALSE(automaton.contains(u"d"));
        // Known bounds of a suffix automaton over n units: at most 2n - 1 states and 3n - 4 edges.
        EXPECT_LE(automaton.stateCount(), 2 * text.size() - 1);
        EXPECT_LE(automaton.edgeCount(), 3 * text.size() - 4);
    }
}

// States with many edges keep them in blocks that move as they grow, and mark their units by unit number modulo
// 32, which units beyond the letters share. Few frequent units with a long tail of rare ones, met in growing
// numbers, exercise all of that.
TEST(SuffixAutomaton, containsExactlySubstringsOverAWideAlphabet) {
    std::mt19937 random(11);
    for (int round = 0; round < 6; ++round) {
        SuffixAutomaton automaton;
        std::u16string text;
        const auto randomUnit = [&](std::size_t textSize) {
            // Ten common units, and rare ones from a range that widens as the text grows (up to 3,000 units).
            if (random() % 3 != 0) {
                return static_cast<char16_t>(u'a' + random() % 10);
            }
            return static_cast<char16_t>(0x400 + random() % (1 + std::min<std::size_t>(textSize / 4, 3000)));
        };
        while (text.size() < 12000) {
            std::u16string chunk(1 + random() % 8, u'\0');
            for (char16_t& unit : chunk) {
                unit = randomUnit(text.size());
            }
            automaton.append(chunk);
            text += chunk;
            for (int probe = 0; probe < 4; ++probe) {
                const std::size_t begin = random() % text.size();
                const std::u16string_view inside = std::u16string_view(text).substr(begin, 1 + random() % 30);
                ASSERT_TRUE(automaton.contains(inside)) << escape(inside);
                std::u16string any(1 + random() % 4, u'\0');
                for (char16_t& unit : any) {
                    unit = randomUnit(text.size());
                }
                ASSERT_EQ(automaton.contains(any), text.find(any) != text.npos) << escape(any);
                // A piece of the text with its last unit changed: mostly absent, and close to present ones.
                std::u16string near(inside);
                near.back() = randomUnit(text.size());
                ASSERT_EQ(automaton.contains(near), text.find(near) != text.npos) << escape(near);
            }
        }
        EXPECT_FALSE(automaton.contains(u"\xFFFF"));
        EXPECT_LE(automaton.stateCount(), 2 * text.size() - 1);
        EXPECT_LE(automaton.edgeCount(), 3 * text.size() - 4);
    }
}

std::u16string randomString(std::mt19937& random, std::size_t maxLength, unsigned letters) {
    std::u16string text(random() % (maxLength + 1), u'\0');
    for (char16_t& unit : text) {
        unit = static_cast<char16_t>(u'a' + random() % letters);
    }
    return text;
}

TEST(MultiWordMatcher, findsExactlyTheWordsThatOccur) {
    std::mt19937 random(11);
    for (int round = 0; round < 2000; ++round) {
        MultiWordMatcher matcher;
        std::vector<std::u16string> words;
        std::vector<MultiWordMatcher::WordId> ids;
        for (int n = 1 + random() % 20; n > 0; --n) {
            std::u16string word = randomString(random, 6, 3);
            if (!word.empty()) {
                ids.push_back(matcher.add(word));
                words.push_back(std::move(word));
            }
        }
        const std::u16string text = randomString(random, 60, 3);
        const std::vector<bool> found = matcher.findIn(text);
        ASSERT_EQ(found.size(), matcher.wordIdLimit());
        for (std::size_t i = 0; i < words.size(); ++i) {
            ASSERT_EQ(found[ids[i]], text.find(words[i]) != text.npos) << escape(words[i]) << " in " << escape(text);
        }
    }
}

// Nodes with a few children and with hundreds (the scan searches those two ways), words added in sorted order and
// out of it, and words added after a scan, which must count in the next one.
TEST(MultiWordMatcher, findsWordsBelowNodesOfManyChildren) {
    std::mt19937 random(12);
    for (const unsigned letters : {3u, 40u, 300u}) {
        for (int round = 0; round < 200; ++round) {
            const auto randomWord = [&] {
                // A shared first unit gives the node below it as many children as there are letters.
                std::u16string word(1, u'\x0100');
                word += randomString(random, 4, letters);
                if (word.size() == 1) {
                    word += u'b';
                }
                return word;
            };
            std::vector<std::u16string> words;
            for (int n = 1 + random() % 400; n > 0; --n) {
                words.push_back(randomWord());
            }
            if (round % 2 == 0) {
                std::sort(words.begin(), words.end());
            }
            std::u16string text;
            for (int n = random() % 300; n > 0; --n) {
                text += random() % 4 == 0 ? words[random() % words.size()] : randomWord();
            }
            MultiWordMatcher matcher;
            std::vector<MultiWordMatcher::WordId> ids;
            const auto check = [&] {
                const std::vector<bool> found = matcher.findIn(text);
                ASSERT_EQ(found.size(), matcher.wordIdLimit());
                for (std::size_t i = 0; i < ids.size(); ++i) {
                    ASSERT_EQ(found[ids[i]], text.find(words[i]) != text.npos)
                        << letters << " letters: " << escape(words[i]);
                }
            };
            for (std::size_t i = 0; i < words.size() / 2; ++i) {
                ids.push_back(matcher.add(words[i]));
            }
            check();
            for (std::size_t i = words.size() / 2; i < words.size(); ++i) {
                ids.push_back(matcher.add(words[i]));
            }
            check();
        }
    }
}

std::vector<std::string> corpusNumbers() {
    return corpus::numbers();
}

// Every listed patent is there, and no patent of the folder is left out of the list.
TEST(Corpus, isThere) {
    const std::filesystem::path folder = CLAIMCHECK_CORPUS_DIR;
    for (const std::string& number : corpusNumbers()) {
        for (const char* part : {".claims.txt", ".description.txt"}) {
            const std::filesystem::path file = folder / (number + part);
            EXPECT_TRUE(std::filesystem::is_regular_file(file)) << "patent text missing: " << file;
        }
    }
    ASSERT_TRUE(std::filesystem::is_directory(folder)) << "patent folder missing: " << folder;
    std::vector<std::string> inFolder;
    const std::string suffix = ".claims.txt";
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.ends_with(suffix)) {
            inFolder.push_back(name.substr(0, name.size() - suffix.size()));
        }
    }
    std::sort(inFolder.begin(), inFolder.end());
    EXPECT_EQ(inFolder, corpusNumbers()) << "the patents of " << folder << " and those listed in corpus.h differ";
}

struct CorpusCase {
    std::string number;
    bool crLf;
};

void PrintTo(const CorpusCase& c, std::ostream* os) {
    *os << c.number << (c.crLf ? " with CR LF" : " with LF");
}

class CorpusPatents : public testing::TestWithParam<CorpusCase> {};

TEST_P(CorpusPatents, agreeWithLiteralRules) {
    const std::filesystem::path folder = CLAIMCHECK_CORPUS_DIR;
    std::u16string claimsText = corpus::readUtf8File(folder / (GetParam().number + ".claims.txt"));
    std::u16string disclosureText = corpus::readUtf8File(folder / (GetParam().number + ".description.txt"));
    if (GetParam().crLf) {
        claimsText = corpus::withCrLf(claimsText);
        disclosureText = corpus::withCrLf(disclosureText);
    }
    const WordIndex claims = checkedIndex(claimsText);
    const WordIndex disclosure = checkedIndex(disclosureText);

    const std::vector<std::u16string> unsupported = FindUnsupportedWords(claims.words, disclosure.wordString);
    EXPECT_EQ(unsupported, literal::FindUnsupportedWords(claims.words, disclosure.wordString));
    // Claim words of real patents are mostly supported, but never all of them in this corpus.
    EXPECT_LT(unsupported.size(), claims.words.size());
}

std::vector<CorpusCase> corpusCases() {
    std::vector<CorpusCase> cases;
    for (const std::string& number : corpusNumbers()) {
        cases.push_back({number, false});
        cases.push_back({number, true});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Patents, CorpusPatents, testing::ValuesIn(corpusCases()),
                         [](const testing::TestParamInfo<CorpusCase>& info) {
                             return info.param.number + (info.param.crLf ? "_CrLf" : "_Lf");
                         });

} // namespace
} // namespace claimcheck
