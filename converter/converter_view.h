#pragma once

// What the conversion flows use of their converter window: these operations and nothing else, so
// that the flows run in tests and on the command line without any window.

#include <string>

namespace converter {

class ConverterView {
  public:
    virtual ~ConverterView() = default;

    // The text of the path box, untrimmed.
    virtual std::string sourceText() const = 0;
    // The browse action, the same as a click on the "..." button.
    virtual void btnSource_Click() = 0;
    // The status line, which shows the description when the window opens.
    virtual void setStatusText(const std::string& text) = 0;
    // Paints the window now, so a new status text shows while a run goes on.
    virtual void repaintNow() = 0;
    virtual std::string caption() const = 0;
    virtual std::string description() const = 0;
    // A modal message box with the information icon and one OK button; returns when it is closed.
    virtual void showMessage(const std::string& text, const std::string& title) = 0;
};

}  // namespace converter
