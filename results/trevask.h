#pragma once

#include "results_record.h"
#include "ui/twips.h"

#include <QPlainTextEdit>
#include <QWidget>

class QLabel;
class QTimer;

namespace claimcheck {

class WordList;

// The controls the resize rule moves, seen in twips.
struct ResultsLayoutControls {
    TwipsControl& RichTextBox1;
    TwipsControl& RichTextBox2;
    TwipsControl& List1;
    TwipsControl& List2;
    TwipsControl& List3;
    TwipsControl& Label1;
    TwipsControl& Label2;
    TwipsControl& Label3;
    TwipsControl& Label4;
    TwipsControl& Label5;
};

// The results window's resize rule for an outer width of `outerWidth` twips: five columns side by side, each
// width in proportion to the outer width, each column placed from the positions and widths the columns to its
// left actually took, 20 twips apart, each heading 10 twips inside its column. Touches only lefts and widths.
void applyResultsResizeRule(double outerWidth, const ResultsLayoutControls& controls);

// The results window: the claims and the disclosure side by side, the claims index, the disclosure index and
// the words of the claims that the disclosure lacks. It is deleted when the user closes it; its variables live
// in the ResultsRecord it is given, which outlives it.
class trevask : public QWidget {
    Q_OBJECT
public:
    explicit trevask(ResultsRecord& record, QWidget* parent = nullptr);
    ~trevask() override;

    QPlainTextEdit* RichTextBox1; // the claims
    QPlainTextEdit* RichTextBox2; // the disclosure
    WordList* List1;              // claims index
    WordList* List2;              // disclosure index
    WordList* List3;              // words in the claims not in the disclosure
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QTimer* Timer1;

    QVariant& tampon;
    QVariant& la;
    QVariant& start;
    QVariant& previtem;
    QVariant& flagclick3;

    void Form_Load();
    void Form_Resize();
    void List1_Click();
    void List2_Click();
    void List3_Click();
    void Timer1_Timer();

protected:
    void resizeEvent(QResizeEvent* event) override;
};

} // namespace claimcheck
