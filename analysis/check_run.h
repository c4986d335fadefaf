#pragma once

#include "results/results_record.h"

#include <QPointer>
#include <QString>

namespace claimcheck {

class trevask;

// Holds the single results window and its record. The record lives as long as the host; the window comes and
// goes: the user may close it, and the next check creates it again.
class ResultsWindowHost {
public:
    ResultsWindowHost() = default;
    ~ResultsWindowHost();
    ResultsWindowHost(const ResultsWindowHost&) = delete;
    ResultsWindowHost& operator=(const ResultsWindowHost&) = delete;

    ResultsRecord record;

    // The open results window, or null before the first check and after the user closed it.
    trevask* window() const;

    // Creates the window when there is none (its load step runs then) and returns it.
    trevask* ensureWindow();

private:
    QPointer<trevask> m_window;
};

// "Check for support": copies both texts into the results window, fills its three lists and gives it the focus.
// Processes no events from start to end.
void runSupportCheck(ResultsWindowHost& host, const QString& claimsText, const QString& disclosureText);

} // namespace claimcheck
