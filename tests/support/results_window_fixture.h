#pragma once

// Shared by the navigation and echo tests: a results window filled by hand, picks as the lists raise them, the
// messages the window shows, and the colours of a box's characters.

#include "results/trevask.h"
#include "results/word_list.h"
#include "ui/message_box.h"

#include <QColor>
#include <QList>
#include <QString>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <QtTest>

namespace claimcheck::testing {

// Answers every message box instead of showing it, and notes what was shown to whom.
class MessageRecorder {
public:
    MessageRecorder() {
        m_previous = setMessageHandler([this](QWidget* parent, const QString& text) {
            parents.append(parent);
            texts.append(text);
        });
    }
    ~MessageRecorder() { setMessageHandler(m_previous); }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    QList<QWidget*> parents;
    QStringList texts;

private:
    MessageHandler m_previous;
};

// The list's entries, top to bottom.
inline QStringList items(const WordList& list) {
    QStringList entries;
    for (int i = 0; i < list.count(); ++i)
        entries << list.item(i);
    return entries;
}

inline int positionOf(const WordList* list, const QString& word) {
    for (int position = 0; position < list->count(); ++position)
        if (list->item(position) == word)
            return position;
    return -1;
}

// Adds the word to the list unless it is there already.
inline void ensure(WordList* list, const QString& word) {
    if (positionOf(list, word) < 0)
        list->addItem(word);
}

// Selects the word and raises the list's pick, as a click on it would.
inline void pick(WordList* list, const QString& word) {
    list->setSelectedPosition(positionOf(list, word));
    emit list->picked();
}

// A real left click on the word's item.
inline void clickItem(WordList* list, const QString& word) {
    const QModelIndex index = list->model()->index(positionOf(list, word), 0);
    list->scrollTo(index);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
}

inline QString selectedItem(const WordList* list) {
    const int position = list->selectedPosition();
    return position < 0 ? QStringLiteral("<none>") : list->item(position);
}

// One mark per cursor position of the document: '.' uncoloured, 'b' blue, 'r' red, '?' any other colour, and '/'
// for the break between two paragraphs. Read from the text fragments: QTextCursor::charFormat() at the start of a
// line reports the next character's format.
inline QString colourMap(const QTextDocument& document) {
    QString map;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin())
            map += u'/';
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            QChar mark = u'.';
            if (format.hasProperty(QTextFormat::ForegroundBrush)) {
                const QColor colour = format.foreground().color();
                mark = colour == QColor(0, 0, 255) ? u'b' : colour == QColor(255, 0, 0) ? u'r' : u'?';
            }
            map += QString(fragment.length(), mark);
        }
    }
    return map;
}

} // namespace claimcheck::testing
