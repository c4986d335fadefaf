#pragma once

#include <QElapsedTimer>
#include <QListView>
#include <QString>

namespace claimcheck {

class WordListModel;

// A list of words that always shows and returns its entries sorted as a dictionary of the user's language orders
// them (ICU's root order where the user's locale is C or POSIX), ties broken by exact code units so the order is
// total and stable. Entries are addressed by their 0-based position in that order. The collation locale is read
// when the list is created.
// It keeps every entry, empty ones as empty items, and stays fast with a million entries.
//
// `picked()` is emitted once for every mouse click on an item (the already selected one and each click of a
// double click included) and once for every selection change made from the keyboard, type-ahead included.
// Selecting from code (setSelectedPosition) does not emit it.
class WordList : public QListView {
    Q_OBJECT
public:
    explicit WordList(QWidget* parent = nullptr);
    ~WordList() override;

    void clear();
    void addItem(const QString& entry);
    int count() const;
    QString item(int position) const;       // empty for a position outside the list
    int selectedPosition() const;           // -1 when nothing is selected
    void setSelectedPosition(int position); // a position outside the list clears the selection
    // The list's background, with the design's black text on it whatever the theme (setDesignBackground).
    void setBackgroundColor(const QColor& colour);

    // Extends the current type-ahead search with the characters (as if typed) and selects the first entry, in
    // list order, that begins with the whole search text ignoring case. No match leaves the selection as it is.
    void typeAhead(const QString& characters);

    // Forgets the characters typed so far: the next one starts a new search. Leaving the list does the same.
    void clearTypeAhead();

    // Qt's own search starts after the current row; this one is the list's type-ahead.
    void keyboardSearch(const QString& search) override;

signals:
    void picked();

protected:
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event = nullptr) const override;

private:
    void flush();
    void typeAheadCharacter(QChar character);
    void selectQuietly(int position);
    void pick();

    WordListModel* m_model = nullptr;
    QString m_search;            // the characters typed so far
    QElapsedTimer m_lastTyped;   // when the last of them came
    int m_pressedPosition = -1;  // the selection when an item was pressed, while the mouse button is down
    bool m_mousePicking = false; // a press (or double-click press) on an item awaits its release
    quint64 m_picks = 0;         // picked() emissions so far
};

} // namespace claimcheck
