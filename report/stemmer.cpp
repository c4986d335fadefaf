#include "stemmer.h"

#include <libstemmer.h>

#include <algorithm>
#include <array>
#include <stdexcept>

namespace claimcheck::report {

namespace {

// Longer than "Rechtsschutzversicherungsgesellschaften" and any chemical name a claim would stem.
constexpr qsizetype kLongestStemmedWord = 80;

const char* algorithmOf(Language language) {
    switch (language) {
    case Language::German:
        return "german";
    case Language::French:
        return "french";
    case Language::English:
        break;
    }
    return "english";
}

// What an English inflection adds to the part two forms of a word have in common, after it: "mount" + "ing",
// "carr" + "ies", "locat" + "e".
bool isInflectionalTail(QStringView tail, QStringView common) {
    static const std::array<QStringView, 12> kTails = {u"",     u"s", u"es", u"ed",  u"d",   u"ing",
                                                       u"ings", u"e", u"y",  u"ies", u"ied", u"ying"};
    if (std::find(kTails.begin(), kTails.end(), tail) != kTails.end())
        return true;
    // A doubled final consonant: "stop" + "ped", "stop" + "ping".
    return !common.isEmpty() && tail.size() >= 3 && tail.at(0) == common.back() &&
           (tail.sliced(1) == u"ed" || tail.sliced(1) == u"ing");
}

} // namespace

bool inflectionsOfOneWord(QStringView a, QStringView b, Language language) {
    if (language != Language::English)
        return true;
    qsizetype common = 0;
    while (common < a.size() && common < b.size() && a.at(common) == b.at(common))
        ++common;
    return isInflectionalTail(a.sliced(common), a.first(common)) &&
           isInflectionalTail(b.sliced(common), b.first(common));
}

Stemmer::Stemmer(Language language) : m_language(language), m_stemmer(sb_stemmer_new(algorithmOf(language), "UTF_8")) {
    // Debian's library holds every algorithm named here; without one the program cannot work at all.
    if (!m_stemmer)
        throw std::runtime_error("libstemmer has no stemmer for this language");
}

Stemmer::~Stemmer() {
    sb_stemmer_delete(m_stemmer);
}

QString Stemmer::stem(const QString& lowerWord) {
    if (lowerWord.size() > kLongestStemmedWord)
        return lowerWord;
    // Most words are ASCII: their bytes are their characters, into the buffer kept from the last word, and the stem
    // is ASCII too.
    bool ascii = true;
    m_utf8.resize(lowerWord.size());
    for (qsizetype i = 0; i < lowerWord.size() && ascii; ++i) {
        const char16_t c = lowerWord.at(i).unicode();
        ascii = c < 0x80;
        m_utf8[i] = char(c);
    }
    if (!ascii)
        m_utf8 = lowerWord.toUtf8();
    const sb_symbol* stem =
        sb_stemmer_stem(m_stemmer, reinterpret_cast<const sb_symbol*>(m_utf8.constData()), int(m_utf8.size()));
    // The library answers null only when it could not allocate its buffer.
    if (!stem)
        throw std::bad_alloc();
    const int length = sb_stemmer_length(m_stemmer);
    // A word that is its own stem, as many are, shares its text.
    if (length == lowerWord.size() && ascii &&
        std::equal(m_utf8.constData(), m_utf8.constData() + length, reinterpret_cast<const char*>(stem)))
        return lowerWord;
    return ascii ? QString::fromLatin1(reinterpret_cast<const char*>(stem), length)
                 : QString::fromUtf8(reinterpret_cast<const char*>(stem), length);
}

} // namespace claimcheck::report
