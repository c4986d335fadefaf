#pragma once

#include "analysis/check_run.h"

#include <QMainWindow>
#include <QVariant>

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QTextEdit;

namespace claimcheck {

class TwipsControl;

// The controls that the input window's resize rule moves, seen in twips.
struct InputLayoutControls {
    TwipsControl& RichTextBox1;
    TwipsControl& RichTextBox2;
    TwipsControl& Command1;
    TwipsControl& Label1;
    TwipsControl& Label2;
    TwipsControl& Label3;
    TwipsControl& Command2;
    TwipsControl& Text1;
    TwipsControl& WebBrowser1;
};

// Lays the controls out in proportion to the window's outer width W (twips) against the design width. The
// disclosure box follows the claims box as that box reports itself after it was placed. Vertical positions,
// heights and the widths of buttons and labels never change; the web view is always narrowed to 100 twips.
void ApplyInputResizeRule(double outerWidth, const InputLayoutControls& controls);

// The input window: the claims and the disclosure are pasted or typed here, or fetched by patent number, and
// "Check for support" opens the results window.
class merovin : public QMainWindow {
    Q_OBJECT
public:
    explicit merovin(QWidget* parent = nullptr);
    ~merovin() override;

    QTextEdit* RichTextBox1; // the claims box
    QTextEdit* RichTextBox2; // the disclosure box
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLineEdit* Text1; // the patent number box
    QPushButton* Command1;
    QPushButton* Command2;
    QWidget* WebBrowser1;
    QAction* clear;
    QAction* EExit;

    QVariant flagrun; // true: the next completed page goes to the claims box; false: to the disclosure box

    void Form_Load();
    void Form_Resize();
    void clear_Click();
    void Command1_Click();
    void Command2_Click();

    // The results window and its variables, which outlive the window.
    ResultsWindowHost& results() { return m_results; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    ResultsWindowHost m_results;
};

} // namespace claimcheck
