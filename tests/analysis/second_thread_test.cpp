// The machinery that splits the analysis of long texts between two threads, and the flat arrays under the
// automata: each checked where it can go wrong on its own, apart from the rules it serves.

#include "analysis/flat_array.h"
#include "analysis/handoff_queue.h"
#include "analysis/multi_word_matcher.h"
#include "analysis/second_thread.h"
#include "analysis/upper_case.h"
#include "analysis/word_index.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <numeric>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace claimcheck {
namespace {

using Words = std::vector<std::u16string>;

// Forces the two-thread paths on the tiny texts of a test, and puts the usual minimum back afterwards.
class OnTwoThreads : public testing::Test {
protected:
    void SetUp() override { SetSecondThreadMinimumForTesting(0); }
    void TearDown() override { ResetSecondThreadMinimumForTesting(); }
};

TEST(HandoffQueue, deliversEveryItemInOrderAcrossThreads) {
    // Several blocks' worth, in a count that fills neither the last block nor the last batch.
    constexpr std::uint32_t kItems = 3 * 4096 + 77;
    for (const std::size_t batch : {std::size_t{1}, std::size_t{64}, std::size_t{5000}}) {
        HandoffQueue<std::uint32_t> queue(kItems, batch);
        std::thread producer([&] {
            for (std::uint32_t i = 0; i < kItems; ++i) {
                queue.Push(i * 3);
            }
            queue.Close();
        });
        std::vector<std::uint32_t> received;
        std::uint32_t item = 0;
        while (queue.Pop(item)) {
            received.push_back(item);
        }
        producer.join();
        ASSERT_EQ(received.size(), kItems) << "batch " << batch;
        for (std::uint32_t i = 0; i < kItems; ++i) {
            ASSERT_EQ(received[i], i * 3) << "batch " << batch;
        }
        EXPECT_FALSE(queue.Pop(item)) << "a closed, drained queue stays empty";
    }
}

TEST(HandoffQueue, closedEmptyQueueEndsAWaitingConsumer) {
    HandoffQueue<int> queue(10, 64);
    std::atomic<bool> ended{false};
    std::thread consumer([&] {
        int item = 0;
        EXPECT_FALSE(queue.Pop(item));
        ended = true;
    });
    queue.Close();
    consumer.join();
    EXPECT_TRUE(ended);
}

TEST(RunBoth, runsBothPiecesAndRethrowsWhatEitherThrew) {
    for (const bool split : {false, true}) {
        int first = 0;
        int second = 0;
        RunBoth(
            split, [&] { first = 1; }, [&] { second = 2; });
        EXPECT_EQ(first + second, 3) << "split " << split;

        // A helper that outlived the call would be left working on the caller's dead locals.
        std::atomic<int> helper{0};
        EXPECT_THROW(RunBoth(
                         split, [] { throw std::runtime_error("first"); },
                         [&] {
                             helper = 1;
                             std::this_thread::sleep_for(std::chrono::milliseconds(20));
                             helper = 2;
                         }),
                     std::runtime_error);
        EXPECT_NE(helper, 1) << "split " << split;
        EXPECT_THROW(RunBoth(
                         split, [] {}, [] { throw std::length_error("second"); }),
                     std::length_error);
    }
}

TEST(FlatArray, keepsItsValuesWhileItGrowsAndStartsOverClean) {
    for (int round = 0; round < 3; ++round) {
        FlatArray<std::uint64_t> values;
        // Past several doublings, and past the point where blocks are marked for huge pages.
        constexpr std::uint32_t kCount = 600'000;
        for (std::uint32_t i = 0; i < kCount; ++i) {
            values[values.grow(1, UINT32_MAX)] = std::uint64_t{i} * 7 + static_cast<std::uint64_t>(round);
        }
        ASSERT_EQ(values.size(), kCount);
        for (std::uint32_t i = 0; i < kCount; ++i) {
            ASSERT_EQ(values[i], std::uint64_t{i} * 7 + static_cast<std::uint64_t>(round)) << "index " << i;
        }
        EXPECT_GE(values.capacityBytes(), kCount * sizeof(std::uint64_t));
    }
    EXPECT_EQ(FlatBytesInUse(), 0u) << "every array freed its block";
    EXPECT_LE(FlatBytesKept(), kFlatCacheBytes);
}

TEST(FlatArray, refusesToGrowPastItsLimit) {
    FlatArray<char16_t> units;
    units.grow(10, 16);
    EXPECT_THROW(units.grow(7, 16), std::length_error);
    EXPECT_EQ(units.size(), 10u);
}

TEST(UpperCase, piecesCutAnywhereButInsideAPairMapAsTheWhole) {
    const std::u16string text = u"a\U00010428b\xD801\xD801\U00010429\xDC28z\U00010428";
    const std::u16string whole = UpperCase(text);
    for (std::size_t cut = 0; cut <= text.size(); ++cut) {
        const bool splitsPair = SplitsSurrogatePair(text, cut);
        EXPECT_EQ(splitsPair, cut == 2 || cut == 7 || cut == 11) << "cut " << cut;
        std::u16string pieces(text.size(), u'\0');
        UpperCaseInto(std::u16string_view(text).substr(0, cut), pieces.data());
        UpperCaseInto(std::u16string_view(text).substr(cut), pieces.data() + cut);
        if (splitsPair) {
            EXPECT_NE(pieces, whole) << "the parted pair maps as two lone surrogates, cut " << cut;
        } else {
            EXPECT_EQ(pieces, whole) << "cut " << cut;
        }
    }
}

TEST(MultiWordMatcherScan, piecesFedInTurnFindWhatTheWholeTextHolds) {
    MultiWordMatcher matcher;
    const std::vector<std::u16string> words = {u"abc", u"bca", u"cab", u"aa", u"abcabc", u"x"};
    std::vector<MultiWordMatcher::WordId> ids;
    for (const std::u16string& word : words) {
        ids.push_back(matcher.Add(word));
    }
    std::mt19937 random(3);
    for (int round = 0; round < 200; ++round) {
        std::u16string text(random() % 40, u'a');
        for (char16_t& unit : text) {
            unit = static_cast<char16_t>(u'a' + random() % 3);
        }
        const std::vector<bool> whole = matcher.FindIn(text);
        MultiWordMatcher::Scan scan(matcher);
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t length = 1 + random() % 5;
            scan.Feed(std::u16string_view(text).substr(at, length));
            at += length;
        }
        std::vector<bool> pieces(matcher.WordIdLimit(), false);
        scan.AddFoundTo(pieces);
        for (std::size_t i = 0; i < words.size(); ++i) {
            ASSERT_EQ(pieces[ids[i]], whole[ids[i]]) << "word " << i << " in a text of " << text.size();
            ASSERT_EQ(whole[ids[i]], text.find(words[i]) != text.npos);
        }
    }
}

TEST_F(OnTwoThreads, scanHalvesMeetAWordAcrossTheirCut) {
    // Eight units: the cut falls in the middle of "wheel", and of the surrogate pair in the second text.
    EXPECT_EQ(FindUnsupportedWords({u"wheel", u"axle", u"el"}, u"abwheelx"), Words{u"axle"});
    // U+10428 upper-cases to U+10400 only as a pair: its trail unit is then U+DC00. With one-unit claim words the
    // halves do not overlap, and the cut must still not part the pair.
    EXPECT_EQ(FindUnsupportedWords({u"\xDC00", u"\U00010400"}, u"a\U00010428b"), Words{});
    EXPECT_EQ(FindUnsupportedWords({u"\xDC00"}, u"a\U00010428b"), Words{});
    EXPECT_EQ(FindUnsupportedWords({u"\xDC28", u"b"}, u"a\U00010428b"), Words{u"\xDC28"});
}

TEST_F(OnTwoThreads, indexOfAnEmptyStartAndRepeatsMatchesOneThread) {
    const std::u16string text = u"   wheel  the wheel therapy  rap the axle ";
    ResetSecondThreadMinimumForTesting();
    const WordIndex single = BuildWordIndex(text);
    SetSecondThreadMinimumForTesting(0);
    const WordIndex split = BuildWordIndex(text);
    EXPECT_EQ(split.words, single.words);
    EXPECT_EQ(split.wordString, single.wordString);
    EXPECT_EQ(split.words, (Words{u"", u"", u"", u"wheel", u"the", u"therapy", u"axle"}));
}

TEST(BuildWordIndex, longTextWithManyDistinctWordsMatchesTheSingleThreadedIndex) {
    // Long enough to be split between two threads as it stands, with most words new: the queues between the
    // threads fill several blocks and batches.
    std::mt19937 random(17);
    std::u16string text;
    while (text.size() < 3 * kSecondThreadMinimum) {
        for (int letters = 2 + static_cast<int>(random() % 6); letters > 0; --letters) {
            text.push_back(static_cast<char16_t>(u'a' + random() % 26));
        }
        text.push_back(u' ');
    }
    ASSERT_TRUE(WorthASecondThread(text.size()) || std::thread::hardware_concurrency() <= 1);
    const WordIndex split = BuildWordIndex(text);
    SetSecondThreadMinimumForTesting(SIZE_MAX);
    const WordIndex single = BuildWordIndex(text);
    ResetSecondThreadMinimumForTesting();
    EXPECT_EQ(split.words, single.words);
    EXPECT_EQ(split.wordString, single.wordString);
    EXPECT_GT(split.words.size(), 10'000u);
}

} // namespace
} // namespace claimcheck
