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
