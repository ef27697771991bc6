#pragma once

#include "Controls/CustomTableScroller.h"
#include "Controls/MyNSTableRowView.h"
#include "WidgetTestSupport.h"

#include <QImage>
#include <QTableView>

#include <gtest/gtest.h>

namespace widgettest {

// Clicks `row` of a list table as the user does (on its left margin, where no control
// lies), grabs the table as `grabName` and checks its chrome in the grab: the row
// filled with the selection colour, the other rows not, and the dark scroller shown.
inline void expectSelectedRowAndDarkScroller(QTableView& table, int row, const QString& grabName)
{
    table.scrollTo(table.model()->index(row, 0));
    const QRect rowPlace = table.visualRect(table.model()->index(row, 0));
    click(*table.viewport(), {2, rowPlace.center().y()});
    EXPECT_EQ(table.selectionModel()->selectedRows(), QModelIndexList{table.model()->index(row, 0)});

    saveGrab(table, grabName);
    const QImage shown = table.grab().toImage();
    const QPoint inRow = table.viewport()->mapTo(&table, QPoint(2, rowPlace.center().y()));
    EXPECT_EQ(shown.pixelColor(inRow), MyNSTableRowView::selectionColor);
    const QPoint inNextRow = table.viewport()->mapTo(&table, QPoint(2, rowPlace.bottom() + rowPlace.height() / 2));
    EXPECT_NE(shown.pixelColor(inNextRow), MyNSTableRowView::selectionColor) << "the next row is not selected";

    auto* scroller = qobject_cast<CustomTableScroller*>(table.verticalScrollBar());
    ASSERT_TRUE(scroller) << "the stock scroll bar";
    ASSERT_TRUE(scroller->isVisible()) << "enough rows to scroll";
    const QRectF knob = scroller->knobRect();
    const QPoint groove = scroller->mapTo(&table, QPoint(1, knob.top() > 20 ? 10 : scroller->height() - 10));
    EXPECT_TRUE(nearColor(shown.pixelColor(groove), scroller->bgColor(), 2)) << "the scroller's dark background";
    const QPoint inKnob = scroller->mapTo(&table, knob.center().toPoint());
    EXPECT_TRUE(nearColor(shown.pixelColor(inKnob), scroller->knobColor(), 2)) << "its knob";
}

} // namespace widgettest
