#include "Controls/CustomTableScroller.h"
#include "Controls/CustomTextFieldCell.h"
#include "Controls/EditingTextField.h"
#include "Controls/MyNSTableRowView.h"
#include "Controls/TableScrollView.h"

#include "WidgetTestSupport.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using widgettest::nearColor;
using widgettest::pixelAt;

namespace {

// A window whose focused field stands for the first responder.
class EditingTextFieldTest : public ::testing::Test {
protected:
    EditingTextFieldTest()
    {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(field = new EditingTextField("field text"));
        layout->addWidget(focused = new QLineEdit("focused text"));
        window.show();
        window.activateWindow();
        focused->setFocus();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        EXPECT_EQ(QApplication::focusWidget(), focused);
    }

    QWidget window;
    EditingTextField* field;
    QLineEdit* focused;
};

} // namespace

TEST_F(EditingTextFieldTest, CommandShortcutsGoToTheFocusedWidget)
{
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(focused->selectedText(), "focused text");
    EXPECT_TRUE(field->selectedText().isEmpty());
    QTest::keyClick(field, Qt::Key_X, Qt::ControlModifier);
    EXPECT_TRUE(focused->text().isEmpty());
    QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(focused->text(), "focused text") << "undo";
    QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(focused->text().isEmpty()) << "redo";
    widgettest::saveGrab(window, "EditingTextField");
}

TEST_F(EditingTextFieldTest, OtherModifiersGoToTheFieldItself)
{
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_TRUE(focused->selectedText().isEmpty());
    focused->clearFocus();
    field->setFocus();
    QTest::keyClick(field, Qt::Key_End);
    QTest::keyClick(field, Qt::Key_Exclam);
    EXPECT_TRUE(field->text().endsWith("!")) << field->text().toStdString();
}

// A one-cell table drawn by CustomTextFieldCell.
class CustomTextFieldCellTest : public ::testing::Test {
protected:
    // Opens the cell, of that size and text, for editing; returns the editor.
    QLineEdit* edit(const QString& text, QSize cellSize)
    {
        model.setItem(0, 0, new QStandardItem(text));
        table.setModel(&model);
        table.setItemDelegate(new CustomTextFieldCell(&table));
        table.horizontalHeader()->setDefaultSectionSize(cellSize.width());
        table.verticalHeader()->setDefaultSectionSize(cellSize.height());
        table.resize(cellSize + QSize(80, 40));
        table.show();
        table.edit(model.index(0, 0));
        return table.findChild<QLineEdit*>();
    }
    QRect cell() const { return table.visualRect(model.index(0, 0)); }

    QStandardItemModel model{1, 1};
    QTableView table;
};

TEST_F(CustomTextFieldCellTest, CentresTheTextBandInATallCell)
{
    EXPECT_EQ(CustomTextFieldCell::centredRect(QRect(10, 20, 100, 40), 16), QRect(10, 32, 100, 16));
    EXPECT_EQ(CustomTextFieldCell::centredRect(QRect(0, 0, 50, 10), 16), QRect(0, 0, 50, 10));

    const QLineEdit* editor = edit("name", {120, 60});
    ASSERT_NE(editor, nullptr);
    EXPECT_NEAR(editor->geometry().center().y(), cell().center().y(), 1);
    EXPECT_LT(editor->height(), cell().height());
    widgettest::saveGrab(table, "CustomTextFieldCell-editing");
}

TEST_F(CustomTextFieldCellTest, WrappedTextGetsABandAsHighAsItsLines)
{
    table.setWordWrap(true);
    const QLineEdit* editor = edit("Example Tool Helper, with its launch agent and its support files", {120, 140});
    ASSERT_NE(editor, nullptr);
    const int lineHeight = QFontMetrics(table.font()).height();
    EXPECT_GE(editor->height(), 3 * lineHeight) << "the text wraps into three lines or more";
    EXPECT_LT(editor->height(), cell().height());
    EXPECT_NEAR(editor->geometry().center().y(), cell().center().y(), 1);
    table.closePersistentEditor(model.index(0, 0));
    widgettest::saveGrab(table, "CustomTextFieldCell-wrapped");
}

TEST(MyNSTableRowView, SelectionIsAFlatDarkFill)
{
    QWidget parent;
    parent.setAutoFillBackground(true);
    parent.setPalette(QPalette(Qt::white));
    auto* row = new MyNSTableRowView(&parent);
    row->setGeometry(0, 0, 100, 20);
    EXPECT_TRUE(nearColor(pixelAt(parent, {50, 10}), Qt::white));
    row->setSelected(true);
    EXPECT_TRUE(nearColor(pixelAt(parent, {50, 10}), QColor(50, 50, 50)));
    EXPECT_FALSE(row->isEmphasized());
    EXPECT_EQ(row->selectionHighlightStyle(), 0);
    widgettest::saveGrab(parent, "MyNSTableRowView-selected");
}

TEST(TableScrollView, PaintsItsFlatBackgroundColour)
{
    TableScrollView scroll;
    scroll.resize(100, 80);
    EXPECT_TRUE(nearColor(pixelAt(scroll, {50, 40}), QColor(20, 20, 20)));
    scroll.setBgColor(QColor(0, 90, 0));
    EXPECT_TRUE(nearColor(pixelAt(scroll, {50, 40}), QColor(0, 90, 0)));
    widgettest::saveGrab(scroll, "TableScrollView");
}

TEST(TableScrollView, FillsTheWholeViewAroundItsScrollBars)
{
    TableScrollView scroll;
    scroll.setVerticalScrollBar(new CustomTableScroller(Qt::Vertical));
    scroll.setHorizontalScrollBar(new CustomTableScroller(Qt::Horizontal));
    scroll.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    scroll.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* content = new QLabel;
    QStringList lines;
    for (int line = 1; line <= 14; ++line)
        lines << QString("/Applications/Example Tool %1.app/Contents/MacOS/Example Tool %1").arg(line);
    content->setText(lines.join('\n'));
    content->setMargin(6);
    QPalette text = content->palette();
    text.setColor(QPalette::WindowText, QColor(224, 224, 224));
    content->setPalette(text);
    scroll.setWidget(content);
    content->setAutoFillBackground(false);
    scroll.resize(360, 200);
    scroll.show();
    QApplication::processEvents();

    const QScrollBar& vertical = *scroll.verticalScrollBar();
    const QScrollBar& horizontal = *scroll.horizontalScrollBar();
    ASSERT_TRUE(vertical.isVisibleTo(&scroll) && horizontal.isVisibleTo(&scroll));
    const QPoint corner(vertical.mapTo(&scroll, QPoint(vertical.width() / 2, vertical.height())).x(),
                        horizontal.mapTo(&scroll, QPoint(0, horizontal.height() / 2)).y());
    EXPECT_TRUE(nearColor(pixelAt(scroll, corner), QColor(20, 20, 20)))
        << pixelAt(scroll, corner).name().toStdString();
    EXPECT_TRUE(nearColor(pixelAt(scroll, {scroll.width() - 1, scroll.height() - 1}), QColor(20, 20, 20)));
    widgettest::saveGrab(scroll, "TableScrollView-both-scroll-bars");
}

TEST(CustomTableScroller, KnobKeepsItsThicknessWhateverTheBarWidth)
{
    for (const int width : {15, 30}) {
        CustomTableScroller scroller(Qt::Vertical);
        scroller.setRange(0, 100);
        scroller.setPageStep(50);
        scroller.resize(width, 200);
        const QRectF knob = scroller.knobRect();
        EXPECT_DOUBLE_EQ(knob.x(), 3.0) << width;
        EXPECT_DOUBLE_EQ(knob.width(), 9.0) << width;
        EXPECT_TRUE(nearColor(pixelAt(scroller, {7, static_cast<int>(knob.center().y())}), QColor(34, 34, 34)));
        EXPECT_TRUE(nearColor(pixelAt(scroller, {width - 2, 100}), QColor(20, 20, 20)));
        widgettest::saveGrab(scroller, QString("CustomTableScroller-%1").arg(width));
    }
    CustomTableScroller horizontal(Qt::Horizontal);
    horizontal.setRange(0, 10);
    horizontal.resize(200, 15);
    EXPECT_DOUBLE_EQ(horizontal.knobRect().y(), 4.0);
    EXPECT_DOUBLE_EQ(horizontal.knobRect().height(), 9.0);
}

TEST(CustomTableScroller, TheKnobTravelsTheWholeLengthAndHasNoArrowZones)
{
    for (const auto orientation : {Qt::Vertical, Qt::Horizontal}) {
        const bool vertical = orientation == Qt::Vertical;
        CustomTableScroller scroller(orientation);
        scroller.setRange(0, 100);
        scroller.setPageStep(25);
        scroller.resize(vertical ? QSize(15, 200) : QSize(200, 15));
        const auto start = [&] { return vertical ? scroller.knobRect().top() : scroller.knobRect().left(); };
        const auto end = [&] { return vertical ? scroller.knobRect().bottom() : scroller.knobRect().right(); };
        EXPECT_DOUBLE_EQ(start(), 0.0) << vertical;
        scroller.setValue(100);
        EXPECT_DOUBLE_EQ(end(), 200.0) << vertical;

        scroller.setValue(50);
        widgettest::click(scroller, vertical ? QPoint(7, 3) : QPoint(3, 7));
        EXPECT_EQ(scroller.value(), 25) << "a click in the end pages, as anywhere beside the knob";
        widgettest::click(scroller, vertical ? QPoint(7, 197) : QPoint(197, 7));
        EXPECT_EQ(scroller.value(), 50);
    }
}
