#pragma once

class QTextDocument;

namespace claimcheck {

// Longest run of characters without a blank, tab or line break that a text box still wraps at word boundaries.
inline constexpr int kLongestWrappedWord = 1000;

// Keeps a text box responsive whatever is pasted into it. Qt wraps a line at a word boundary by measuring the whole
// rest of the word that overflows it, so a word of n characters costs n squared on every layout: 100,000 letters
// without a blank took 1.2 s in a text box, a million took minutes, and every edit, resize or colouring lays the
// paragraph out again. While the document holds a run longer than kLongestWrappedWord it wraps anywhere instead,
// which is linear; when the last such run goes, it wraps at word boundaries again. The text is never changed.
void keepHugeWordsFast(QTextDocument* document);

} // namespace claimcheck
