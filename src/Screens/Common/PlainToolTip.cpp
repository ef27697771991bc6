#include "Screens/Common/PlainToolTip.h"

// One preformatted paragraph: a tool tip lays rich text out in a narrow column, and
// `white-space:pre` keeps each line whole, as a plain tool tip shows it.
QString plainToolTip(const QString& text)
{
    return "<p style='white-space:pre'>" + text.toHtmlEscaped() + "</p>";
}
