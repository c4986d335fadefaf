#pragma once

#include <QString>
#include <QStringView>

#include <utility>
#include <vector>

namespace claimcheck::proofreading {

// The form of a word that its singular and plural share, in lower case: "teeth" and "tooth" give "tooth", "levers"
// "lever", "assemblies" "assembly".
QString wordKey(QStringView word);

// Whether a word ends in -ing or -ed as a verb's participle does ("connected", "rotating"); nouns such as "housing"
// or "spring" do not count.
bool isParticiple(const QString& word);

enum class PhraseKind {
    Introduction, // "a lever", "an arm", "at least one spring", "a plurality of gears", "two wheels", "first valve"
    Bare,         // words that no article leads: "comprising levers", "heating water"
    Reference,    // "the lever", "said arm", "such spring", "each gear", "the at least one spring"
};

// A noun phrase of a claim: what leads it, and its words up to the first preposition, verb, participle, relative
// word ("wherein", "that", "which", "having", "configured", ...), punctuation, "and" or "or". Reference signs such
// as "(12)" are passed over.
struct NounPhrase {
    PhraseKind kind = PhraseKind::Bare;
    qsizetype leadOffset = 0;     // its article or quantity ("the", "at least one"); its first word for a bare one
    qsizetype offset = 0;         // the phrase's first word after its article, UTF-16 code units into the text
    qsizetype length = 0;         // through its last word
    std::vector<QString> keys;    // its words' keys (wordKey), quantity words such as "plurality" left out
    std::vector<bool> pluralForm; // for each key, whether the word was a plural form ("levers")
    bool quantity = false;        // a quantity names more than one: "two", "a plurality of", "one or more"
    bool plural = false;          // it names more than one: a plural last word or such a quantity
    bool each = false;            // a reference led by "each"
    bool anew = false;            // an introduction led by "another" or "a further": one more of its kind
    bool followedByOf = false;    // "of", "between", "thereof" follows it
    qsizetype nextWord = 0;       // where the text after it starts (after blanks)
};

// The noun phrases of text[from, to), in text order. Offsets in `skipped` (pairs of start and length, ascending)
// are no part of any phrase and end the one before: the claim references "of claim 1".
std::vector<NounPhrase> nounPhrases(const QString& text, qsizetype from, qsizetype to,
                                    const std::vector<std::pair<qsizetype, qsizetype>>& skipped);

} // namespace claimcheck::proofreading
