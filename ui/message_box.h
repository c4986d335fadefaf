#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace claimcheck {

// Shows a modal message with an OK button only, no icon, under the application's name. Tests answer it
// through the handler seam instead of a real dialog.
void showMessage(QWidget* parent, const QString& text);

using MessageHandler = std::function<void(QWidget* parent, const QString& text)>;

// Replaces the real box (an empty handler restores it). Returns the handler that was in place.
MessageHandler setMessageHandler(MessageHandler handler);

} // namespace claimcheck
