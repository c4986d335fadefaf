#include "stemmer.h"

#include <libstemmer.h>

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

} // namespace

Stemmer::Stemmer(Language language) : m_stemmer(sb_stemmer_new(algorithmOf(language), "UTF_8")) {
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
    m_utf8 = lowerWord.toUtf8();
    const sb_symbol* stem =
        sb_stemmer_stem(m_stemmer, reinterpret_cast<const sb_symbol*>(m_utf8.constData()), int(m_utf8.size()));
    // The library answers null only when it could not allocate its buffer.
    if (!stem)
        throw std::bad_alloc();
    return QString::fromUtf8(reinterpret_cast<const char*>(stem), sb_stemmer_length(m_stemmer));
}

} // namespace claimcheck::report
