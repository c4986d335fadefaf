#include "trevask.h"
#include "ui/pumped_pause.h"
#include "word_list.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>

namespace claimcheck {

namespace {

constexpr double kEchoPauseSeconds = 0.2;

// Marks a tick that came while an echo was running, on the timer that gave it.
constexpr char kHeldTick[] = "claimcheckHeldTick";

// The most keystrokes an echo types. The list's type-ahead compares everything typed so far with its entries at
// every keystroke, so a word of a million characters (a pasted text without a blank) typed in full kept the program
// busy for many minutes, and its keystrokes outlived the echo's pause by far. A thousand characters land the
// selection wherever the whole word would, unless the disclosure holds a word sharing its first thousand.
constexpr qsizetype kMostKeystrokes = 1000;

// Posts the characters to the list as keystrokes, without waiting for them to be handled. Key code 0 makes every
// character, tabs and line breaks included, text to type rather than a key with a meaning of its own; a character
// outside the Basic Multilingual Plane goes as one keystroke carrying both of its UTF-16 units.
void postKeystrokes(WordList* list, const QString& characters) {
    qsizetype keystrokes = 0;
    for (qsizetype i = 0; i < characters.size() && keystrokes < kMostKeystrokes; ++keystrokes) {
        const qsizetype units =
            characters.at(i).isHighSurrogate() && i + 1 < characters.size() && characters.at(i + 1).isLowSurrogate()
                ? 2
                : 1;
        const QString typed = characters.mid(i, units);
        i += units;
        QCoreApplication::postEvent(list, new QKeyEvent(QEvent::KeyPress, 0, Qt::NoModifier, typed));
        QCoreApplication::postEvent(list, new QKeyEvent(QEvent::KeyRelease, 0, Qt::NoModifier, typed));
    }
}

} // namespace

void trevask::Timer1_Timer() {
    Timer1->stop();
    // A find during the echo's pause may arm the timer again, and its tick then comes inside the pause. Typing a
    // second word into the list while the first one's keystrokes are handled would mix the two, so that tick waits
    // for the running echo to end.
    if (flagclick3.toBool()) {
        Timer1->setProperty(kHeldTick, true);
        return;
    }

    // The user may close the window during the pause; it is then deleted there. The record outlives it.
    const QPointer<trevask> window(this);
    QVariant& echoRunning = flagclick3;

    echoRunning = true;
    List2->setFocus();
    // Each echo is a search of its own, whatever was typed into the list before.
    List2->clearTypeAhead();
    postKeystrokes(List2, tampon.toString());
    pumpedPause(kEchoPauseSeconds);
    if (window)
        List3->setFocus();
    echoRunning = false;

    // A tick held back during the pause comes now that this echo is over, with the word last found.
    if (window && Timer1->property(kHeldTick).toBool()) {
        Timer1->setProperty(kHeldTick, QVariant());
        Timer1->start(0);
    }
}

} // namespace claimcheck
