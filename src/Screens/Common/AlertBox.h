#pragma once

#include "Screens/Common/AlertContent.h"

class QMessageBox;
class QWidget;

// A message box showing `alert` (parent `parent`, deleted when closed), with
// Escape and closing mapped to the non-confirming button.
QMessageBox* makeAlertBox(const AlertContent& alert, QWidget* parent);

// The response that ended the box: alertFirstButtonReturn + the clicked button's
// position, or nonConfirmingResponse() when no button of the alert was clicked.
int alertResponse(const QMessageBox& box, const AlertContent& alert);
