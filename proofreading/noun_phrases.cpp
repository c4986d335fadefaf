#include "noun_phrases.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <initializer_list>

namespace claimcheck::proofreading {

namespace {

// The words of a list written as one string, separated by blanks.
QSet<QString> wordSet(const char* words) {
    QSet<QString> set;
    for (const QString& word : QString::fromLatin1(words).split(u' ', Qt::SkipEmptyParts))
        set.insert(word);
    return set;
}

// Plurals that no rule of the endings makes, and words whose final "s" is no plural ending.
const QHash<QString, QString>& irregularPlurals() {
    static const QHash<QString, QString> plurals = [] {
        QHash<QString, QString> map;
        for (const auto& [plural, singular] :
             std::initializer_list<std::pair<const char*, const char*>>{{"teeth", "tooth"},
                                                                        {"feet", "foot"},
                                                                        {"men", "man"},
                                                                        {"women", "woman"},
                                                                        {"children", "child"},
                                                                        {"mice", "mouse"},
                                                                        {"geese", "goose"},
                                                                        {"indices", "index"},
                                                                        {"matrices", "matrix"},
                                                                        {"vertices", "vertex"},
                                                                        {"apices", "apex"},
                                                                        {"axes", "axis"},
                                                                        {"analyses", "analysis"},
                                                                        {"bases", "base"},
                                                                        {"crises", "crisis"},
                                                                        {"theses", "thesis"},
                                                                        {"media", "medium"},
                                                                        {"criteria", "criterion"},
                                                                        {"phenomena", "phenomenon"},
                                                                        {"leaves", "leaf"},
                                                                        {"knives", "knife"},
                                                                        {"halves", "half"},
                                                                        {"shelves", "shelf"},
                                                                        {"lives", "life"},
                                                                        {"wives", "wife"},
                                                                        {"wolves", "wolf"},
                                                                        {"loaves", "loaf"},
                                                                        {"calves", "calf"},
                                                                        {"gases", "gas"},
                                                                        {"lenses", "lens"},
                                                                        {"buses", "bus"},
                                                                        {"radii", "radius"},
                                                                        {"nuclei", "nucleus"},
                                                                        {"fungi", "fungus"},
                                                                        {"stimuli", "stimulus"},
                                                                        {"cacti", "cactus"},
                                                                        {"data", "datum"},
                                                                        {"strata", "stratum"},
                                                                        {"bacteria", "bacterium"},
                                                                        {"appendices", "appendix"},
                                                                        {"cortices", "cortex"},
                                                                        {"sera", "serum"}}) {
            map.insert(QString::fromLatin1(plural), QString::fromLatin1(singular));
        }
        return map;
    }();
    return plurals;
}

const QSet<QString>& keptAsTheyAre() {
    static const QSet<QString> words =
        wordSet("gas lens means series species apparatus chassis bias alias canvas atlas news physics "
                "mathematics electronics optics mechanics dynamics kinetics this its has was is as us thus plus "
                "minus bus corpus status focus radius locus nucleus stimulus virus fungus cactus genus campus "
                "surplus versus various previous numerous analysis axis basis thesis crisis chaos lotus sinus "
                "torus uterus calculus bonus census consensus abacus hydraulics pneumatics graphics logistics "
                "statistics less across always perhaps whereas ");
    return words;
}

// Words that end a noun phrase: articles, pronouns, prepositions, conjunctions, relative words, auxiliaries, the
// verbs claims use most and the participles that attach a part to another.
const QSet<QString>& stopWords() {
    static const QSet<QString> words =
        wordSet("a an the said such each every any all no not some another this these that those its their his "
                "her it they them which who whom whose what where when whereby wherein whereupon thereby therein "
                "thereof thereto therefrom thereon therewith therebetween thereafter thereunder herein hereby "
                "and or but nor if then than so while whereas although because unless until both either neither "
                "whether also as of in on at to from with by for into onto over under between through about "
                "against along among around before behind below beneath beside besides beyond during inside "
                "outside within without toward towards upon via across after per near off past throughout "
                "underneath except is are be being been was were has have had having can may must will shall "
                "should could would does do did comprises comprise comprising comprised includes include "
                "including included contains contain containing consists consist consisting defines define "
                "defining extends extend provides provide allows allow causes cause enables enable permits "
                "permit prevents prevent receives receive engages engage performs perform generates generate "
                "determines determine selects select identifies identify sends send transmits transmit stores "
                "obtains obtain uses executes execute represents represent corresponds correspond exceeds exceed "
                "lies lie becomes become remains remain moves rotates rotate produces produce supports holds "
                "hold carries carry connects couples surrounds surround encodes encode binds bind configured "
                "adapted arranged operable capable able designed constructed disposed positioned located mounted "
                "coupled connected attached selected claim claims least more less most only approximately "
                "substantially generally essentially very itself themselves one other same further there here "
                "how why whereof thereabout own respectively optionally preferably etc like up down out ");
    return words;
}

// Words ending in -ing or -ed that are nouns, not participles.
const QSet<QString>& nounsWithVerbEndings() {
    static const QSet<QString> words =
        wordSet("housing bearing spring ring string opening coating fitting casing wing ceiling building setting "
                "coupling bushing lining tubing wiring mounting seating packing filling marking winding "
                "recording heading drawing painting clothing bedding railing siding flooring fencing piping "
                "shielding sealing molding moulding landing thing something nothing everything anything king "
                "swing sting padding fastening sling sibling lightning evening morning bed seed feed speed shed "
                "need reed weed breed hundred sled red embodiment bracing facing spacing plating cladding "
                "flashing rigging stuffing topping wedding dressing bleed ");
    return words;
}

// Words that a phrase's words leave out without ending there.
const QSet<QString>& passedOver() {
    static const QSet<QString> words =
        wordSet("aforementioned aforesaid abovementioned above-mentioned respective further ");
    return words;
}

// Quantities that make an introduction name more than one: "two levers", "several arms".
const QSet<QString>& pluralQuantities() {
    static const QSet<QString> words =
        wordSet("two three four five six seven eight nine ten eleven twelve several multiple plural various "
                "numerous many plurality ");
    return words;
}

// Nouns whose "-ly" is no adverb's.
bool isNounInLy(const QString& word) {
    static const QSet<QString> words =
        wordSet("family anomaly poly monopoly butterfly ally rally reply jelly belly fly ply italy underbelly "
                "lily doily folly gully pulley trolley ");
    return words.contains(word) || word.endsWith(u"mbly") || word.endsWith(u"pply");
}

bool isAdverb(const QString& word) {
    return word.size() > 4 && word.endsWith(u"ly") && !isNounInLy(word);
}

} // namespace

bool isParticiple(const QString& word) {
    if (word.size() <= 4 || nounsWithVerbEndings().contains(word))
        return false;
    return word.endsWith(u"ing") || (word.endsWith(u"ed") && !word.endsWith(u"eed"));
}

namespace {

struct Token {
    enum Type { Word, Number, Mark } type = Mark;
    qsizetype offset = 0;
    qsizetype length = 0;
    QString lower;
};

bool isWordCharacter(QChar c) {
    return c.isLetterOrNumber() || c.isMark();
}

// A reference sign: "(12)", "(12a, 14)", "[3]": a bracket that holds numerals and commas only.
qsizetype referenceSignEnd(const QString& text, qsizetype at, qsizetype to) {
    const QChar close = text.at(at) == u'(' ? u')' : u']';
    bool digit = false;
    for (qsizetype i = at + 1; i < to && i - at < 24; ++i) {
        const QChar c = text.at(i);
        if (c == close)
            return digit ? i + 1 : -1;
        if (c.isDigit())
            digit = true;
        else if (!(c.isLetter() || c == u',' || c == u' ' || c == u'\'' || c == u'-' || c == u'’'))
            return -1;
    }
    return -1;
}

std::vector<Token> tokens(const QString& text, qsizetype from, qsizetype to,
                          const std::vector<std::pair<qsizetype, qsizetype>>& skipped) {
    std::vector<Token> list;
    auto skip = std::lower_bound(skipped.begin(), skipped.end(), std::pair<qsizetype, qsizetype>{from, 0});
    for (qsizetype i = from; i < to;) {
        while (skip != skipped.end() && skip->first + skip->second <= i)
            ++skip;
        if (skip != skipped.end() && skip->first <= i) {
            list.push_back(Token{Token::Mark, i, 0, {}});
            i = skip->first + skip->second;
            continue;
        }
        const QChar c = text.at(i);
        if (c.isSpace()) {
            ++i;
            continue;
        }
        if (isWordCharacter(c)) {
            qsizetype end = i + 1;
            bool digit = c.isDigit();
            while (end < to) {
                const QChar d = text.at(end);
                if (isWordCharacter(d)) {
                    digit = digit || d.isDigit();
                    ++end;
                } else if ((d == u'-' || d == u'\'' || d == u'’') && end + 1 < to &&
                           isWordCharacter(text.at(end + 1))) {
                    ++end;
                } else {
                    break;
                }
            }
            list.push_back(Token{digit ? Token::Number : Token::Word, i, end - i, text.sliced(i, end - i).toLower()});
            i = end;
            continue;
        }
        if (c == u'(' || c == u'[') {
            const qsizetype end = referenceSignEnd(text, i, to);
            if (end > 0) {
                i = end;
                continue;
            }
        }
        list.push_back(Token{Token::Mark, i, 1, QString(c)});
        ++i;
    }
    return list;
}

bool isOrdinal(const QString& word) {
    static const QSet<QString> words =
        wordSet("first second third fourth fifth sixth seventh eighth ninth tenth last final ");
    return words.contains(word);
}

} // namespace

QString wordKey(QStringView word) {
    QString lower = word.toString().toLower();
    if (const auto found = irregularPlurals().constFind(lower); found != irregularPlurals().constEnd())
        return *found;
    if (lower.size() <= 3 || keptAsTheyAre().contains(lower))
        return lower;
    if (lower.endsWith(u"ies") && lower.size() > 4)
        return lower.chopped(3) + u'y';
    if (lower.endsWith(u"sses") || lower.endsWith(u"shes") || lower.endsWith(u"ches") || lower.endsWith(u"xes") ||
        lower.endsWith(u"zzes"))
        return lower.chopped(2);
    if (lower.endsWith(u's') && !lower.endsWith(u"ss") && !lower.endsWith(u"us") && !lower.endsWith(u"is"))
        return lower.chopped(1);
    return lower;
}

std::vector<NounPhrase> nounPhrases(const QString& text, qsizetype from, qsizetype to,
                                    const std::vector<std::pair<qsizetype, qsizetype>>& skipped) {
    const std::vector<Token> list = tokens(text, from, to, skipped);
    const auto word = [&list](std::size_t i) -> const QString& {
        static const QString none;
        return i < list.size() && list[i].type == Token::Word ? list[i].lower : none;
    };
    std::vector<NounPhrase> phrases;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].type != Token::Word)
            continue;
        const QString& lead = list[i].lower;
        NounPhrase phrase;
        std::size_t start = i + 1;
        if (lead == u"at" && word(i + 1) == u"least" &&
            (word(i + 2) == u"one" || pluralQuantities().contains(word(i + 2)))) {
            phrase.kind = PhraseKind::Introduction;
            phrase.plural = word(i + 2) != u"one";
            start = i + 3;
        } else if (lead == u"one" && word(i + 1) == u"or" && word(i + 2) == u"more") {
            phrase.kind = PhraseKind::Introduction;
            phrase.plural = true;
            start = i + 3;
        } else if ((lead == u"a" || lead == u"an") && word(i + 1) == u"plurality" && word(i + 2) == u"of") {
            phrase.kind = PhraseKind::Introduction;
            phrase.plural = true;
            start = i + 3;
        } else if (lead == u"a" || lead == u"an" || lead == u"another" ||
                   (lead == u"one" && word(i + 1) != u"of" && word(i + 1) != u"or" && word(i + 1) != u"another")) {
            phrase.kind = PhraseKind::Introduction;
        } else if (pluralQuantities().contains(lead)) {
            phrase.kind = PhraseKind::Introduction;
            phrase.plural = true;
            if (word(i + 1) == u"or" && word(i + 2) == u"more")
                start = i + 3;
        } else if (lead == u"the" || lead == u"said" ||
                   (lead == u"such" && word(i + 1) != u"as" && word(i + 1) != u"that" && word(i + 1) != u"a" &&
                    word(i + 1) != u"an")) {
            phrase.kind = PhraseKind::Reference;
            if (word(start) == u"at" && word(start + 1) == u"least" &&
                (word(start + 2) == u"one" || pluralQuantities().contains(word(start + 2)))) {
                start += 3;
            } else if (word(start) == u"one" && word(start + 1) == u"or" && word(start + 2) == u"more") {
                start += 3;
                phrase.plural = true;
            } else if (word(start) == u"plurality" && word(start + 1) == u"of") {
                start += 2;
                phrase.plural = true;
            } else if (pluralQuantities().contains(word(start))) {
                start += 1;
                phrase.plural = true;
            }
        } else if (lead == u"each" && word(i + 1) != u"of" && word(i + 1) != u"other") {
            phrase.kind = PhraseKind::Reference;
            phrase.each = true;
        } else if (stopWords().contains(lead) || isAdverb(lead)) {
            continue;
        } else {
            phrase.kind = PhraseKind::Bare;
            start = i;
        }

        // The words, up to the first that ends the phrase. A list of ordinals before one noun ("first and second
        // levers") makes one phrase for each.
        std::vector<QString> ordinals;
        std::size_t j = start;
        std::size_t lastWord = start;
        bool any = false;
        for (; j < list.size() && list[j].type == Token::Word; ++j) {
            const QString& w = list[j].lower;
            // "the identified one or more computers": the quantity after a first word is passed over too.
            if (any && ((w == u"one" && word(j + 1) == u"or" && word(j + 2) == u"more") ||
                        (w == u"at" && word(j + 1) == u"least" && word(j + 2) == u"one"))) {
                j += 2;
                continue;
            }
            if (passedOver().contains(w) || isAdverb(w)) {
                phrase.anew = phrase.anew || w == u"further";
                continue;
            }
            if (stopWords().contains(w) || (any && isParticiple(w)))
                break;
            any = true;
            lastWord = j;
            phrase.keys.push_back(wordKey(w));
            phrase.pluralForm.push_back(phrase.keys.back() != w);
            if (isOrdinal(w) && phrase.keys.size() == 1 && ordinals.empty()) {
                // Gather "first and second", "first, second and third" before the noun they share.
                std::size_t k = j + 1;
                std::vector<QString> more;
                while (
                    k + 1 < list.size() &&
                    (word(k) == u"and" || word(k) == u"or" || (list[k].type == Token::Mark && list[k].lower == u",")) &&
                    isOrdinal(word(k + 1))) {
                    more.push_back(word(k + 1));
                    k += 2;
                }
                if (!more.empty() && k < list.size() && list[k].type == Token::Word && !stopWords().contains(word(k))) {
                    ordinals.push_back(w);
                    ordinals.insert(ordinals.end(), more.begin(), more.end());
                    phrase.keys.clear();
                    phrase.pluralForm.clear();
                    j = k - 1;
                }
            }
        }
        if (!any || phrase.keys.empty()) {
            if (phrase.kind == PhraseKind::Bare)
                continue;
            i = j > i ? j - 1 : i;
            continue;
        }
        phrase.leadOffset = list[i].offset;
        phrase.anew = phrase.anew || lead == u"another";
        phrase.offset = list[start].offset;
        phrase.length = list[lastWord].offset + list[lastWord].length - phrase.offset;
        phrase.quantity = phrase.plural;
        phrase.plural = phrase.plural || phrase.pluralForm.back() || !ordinals.empty();
        if (j < list.size()) {
            phrase.nextWord = list[j].offset;
            const QString& next = word(j);
            phrase.followedByOf = next == u"of" || next == u"consisting" || next == u"between" || next == u"thereof" ||
                                  next == u"therebetween" || next == u"therein" || next == u"thereon";
        } else {
            phrase.nextWord = to;
        }
        if (ordinals.empty()) {
            phrases.push_back(std::move(phrase));
        } else {
            for (const QString& ordinal : ordinals) {
                NounPhrase one = phrase;
                one.keys.insert(one.keys.begin(), ordinal);
                one.pluralForm.insert(one.pluralForm.begin(), false);
                one.plural = false;
                phrases.push_back(std::move(one));
            }
        }
        i = j - 1;
    }
    return phrases;
}

} // namespace claimcheck::proofreading
