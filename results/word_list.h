#pragma once

#include <QListView>
#include <QString>

namespace claimcheck {

class WordListModel;

// A list of words that always shows and returns its entries sorted (case-insensitively, ties broken by exact
// code units so the order is total and stable). Entries are addressed by their 0-based position in that order.
// It keeps every entry, empty ones as empty items, and stays fast with a million entries.
//
// `picked()` is emitted once for every mouse click on an item (the already selected one and each click of a
// double click included) and once for every selection change made from the keyboard, type-ahead included.
class WordList : public QListView {
    Q_OBJECT
public:
    explicit WordList(QWidget* parent = nullptr);
    ~WordList() override;

    void clear();
    void addItem(const QString& entry);
    int count() const;
    QString item(int position) const;
    int selectedPosition() const; // -1 when nothing is selected
    void setSelectedPosition(int position);
    void setBackgroundColor(const QColor& colour);

    // Extends the current type-ahead search with the characters (as if typed) and selects the first entry, in
    // list order, that begins with the whole search text ignoring case. No match leaves the selection as it is.
    void typeAhead(const QString& characters);

signals:
    void picked();

protected:
    // ... overridden event handlers are declared by the implementation
};

} // namespace claimcheck
