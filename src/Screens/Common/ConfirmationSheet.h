#pragma once

#include "Screens/Common/AlertContent.h"

#include <functional>

class QWidget;

// Confirmation sheets: an alert shown window-modal on the main window while the shared
// dimming overlay darkens its content.
//
//   beginSheet(view, {message, informative, {"Abort", "Continue"}}, [](int response) {
//       if (response == alertFirstButtonReturn) ...   // confirmed
//   });
//
// The overlay goes up before the sheet shows (an overlay already up is used
// unchanged) and comes down on every answer, before `completion` runs. Escape and
// closing the sheet answer nonConfirmingResponse(). `completion` runs exactly once,
// on the main thread.
using SheetCompletion = std::function<void(int response)>;
void beginSheet(QWidget& view, const AlertContent& alert, SheetCompletion completion);

// Seam: what puts a sheet before the user and calls `answer` with the response. The
// real presenter shows a QMessageBox on `window` and returns at once; a test installs
// one that records the alert and answers, at once or later. Setting an empty presenter
// restores the real one.
using SheetPresenter = std::function<void(QWidget& window, const AlertContent& alert, SheetCompletion answer)>;
void setSheetPresenter(SheetPresenter presenter);
