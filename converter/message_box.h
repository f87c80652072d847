#pragma once

// The programs' message box: information icon, one OK button, modal to its owner.

#include <QString>

class QWidget;

namespace converter {

// Shows the box and returns when it is closed. Ctrl+C copies its title and text, as message
// boxes on Windows do, so that a user can paste what a program said.
void ShowInformation(QWidget* owner, const QString& text, const QString& title);

}  // namespace converter
