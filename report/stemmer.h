#pragma once

#include "support_check.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

struct sb_stemmer;

namespace claimcheck::report {

// Snowball's stemmer for one language (Debian's libstemmer): "mounting", "mounted" and "mounts" all have the
// stem "mount".
class Stemmer {
public:
    explicit Stemmer(Language language);
    ~Stemmer();
    Stemmer(const Stemmer&) = delete;
    Stemmer& operator=(const Stemmer&) = delete;

    // The stem of a word in lower case. A word longer than any word of a language is its own stem: stemming it
    // would only cost a copy of it.
    QString stem(const QString& lowerWord);

    Language language() const { return m_language; }

private:
    Language m_language;
    sb_stemmer* m_stemmer;
    QByteArray m_utf8;
};

// Whether two words in lower case that have one stem are one word in two inflections. Snowball's English stemmer
// also gives derived words one stem ("illustration" and "illustrated", "connection" and "connected", "actively" and
// "active"), which a claim may not take one for the other; in English, then, the two must differ only in
// inflectional endings after what they have in common: -s, -es, -ed, -d, -ing, -ings, a final -e or -y and its
// -ies, -ied, -ying, or -ed and -ing after a doubled consonant ("stopped"). In German and French the stem decides.
bool inflectionsOfOneWord(QStringView a, QStringView b, Language language);

} // namespace claimcheck::report
