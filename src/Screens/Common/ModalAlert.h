#pragma once

#include "Screens/Common/AlertContent.h"

#include <functional>

// The application-modal alert: shows `alert` and returns the response once the user
// has answered (Escape and closing answer nonConfirmingResponse()). No overlay.
int runModalAlert(const AlertContent& alert);

// Seam: what shows a modal alert and gives its response. The real presenter runs a
// QMessageBox in its own event loop; a test installs one that records and answers.
// Setting an empty presenter restores the real one.
using ModalAlertPresenter = std::function<int(const AlertContent& alert)>;
void setModalAlertPresenter(ModalAlertPresenter presenter);
