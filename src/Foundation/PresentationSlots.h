#pragma once

#include "Platform/Values/Value.h"

#include <QColor>
#include <QPointer>
#include <QWidget>

#include <optional>

// Defined by the controls library; held here only by reference.
class CustomAnimator;

// The loaded language table (text key to value); empty until a window loads it.
// Main thread only.
std::optional<platform::Dictionary>& languageTable();

// The one dark overlay shown over the main window behind a sheet, an alert or a
// presented panel. Whoever shows one stores it here; whoever ends it removes it and
// empties the slot. Empties itself when the overlay is destroyed. Main thread only.
QPointer<QWidget>& dimmingOverlay();

// The one presentation animator, null until the main window's content makes it; the
// content owns it, and the slot empties itself when it goes. Main thread only.
QPointer<CustomAnimator>& sharedAnimator();

// The paragraph style of attributed button and link titles.
struct ParagraphStyle {
    Qt::Alignment alignment = Qt::AlignLeft;
};
ParagraphStyle& paragraphStyle();

const QColor& hyperlinkColor();        // link text before a click
const QColor& hyperlinkPressedColor(); // link text after a click
const QColor& sidebarLineColor();      // the sidebar's marker lines
