#include "check_run.h"

#include "analysis/word_index.h"
#include "results/trevask.h"
#include "results/word_list.h"
#include "ui/box_text.h"

#include <string_view>

namespace claimcheck {

namespace {

std::u16string_view view(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

QString toQString(const std::u16string& text) {
    return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

void refill(WordList& list, const std::vector<std::u16string>& entries) {
    list.clear();
    for (const std::u16string& entry : entries)
        list.addItem(toQString(entry));
}

} // namespace

ResultsWindowHost::~ResultsWindowHost() {
    delete m_window.data();
}

trevask* ResultsWindowHost::window() const {
    return m_window;
}

trevask* ResultsWindowHost::ensureWindow() {
    if (!m_window)
        m_window = new trevask(record);
    return m_window;
}

void runSupportCheck(ResultsWindowHost& host, const QString& claimsText, const QString& disclosureText) {
    trevask* window = host.ensureWindow();
    // A window the user minimised comes back as it was before (normal or maximised): show() alone leaves it an icon.
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();

    // Nothing of the earlier run's finds may colour the new texts.
    setBoxPlainText(*window->RichTextBox1, claimsText);
    setBoxPlainText(*window->RichTextBox2, disclosureText);
    window->start = 1;

    // Both indexes are built from the texts as the results boxes hold them, so that every listed word can be
    // found again in the box it came from.
    const QString claims = boxPlainText(*window->RichTextBox1->document());
    refill(*window->List1, BuildWordIndex(view(claims)).words);

    const QString disclosure = boxPlainText(*window->RichTextBox2->document());
    const WordIndex disclosureIndex = BuildWordIndex(view(disclosure));
    refill(*window->List2, disclosureIndex.words);

    // The claims index is read back from its list, in the list's sorted order, so the unsupported words are
    // tested (and reported) in the order the user sees the claims index.
    std::vector<std::u16string> claimEntries;
    const int claimCount = window->List1->count();
    claimEntries.reserve(static_cast<std::size_t>(claimCount));
    for (int position = 0; position < claimCount; ++position) {
        const QString entry = window->List1->item(position);
        claimEntries.emplace_back(view(entry));
    }
    refill(*window->List3, FindUnsupportedWords(claimEntries, disclosureIndex.wordString));

    window->raise();
    window->activateWindow();
}

} // namespace claimcheck
