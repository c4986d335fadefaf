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

private:
    sb_stemmer* m_stemmer;
    QByteArray m_utf8;
};

} // namespace claimcheck::report
