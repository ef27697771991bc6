#include "AppShellTest.h"
#include "FactoryScreens.h"

#include "App/AppDelegate.h"
#include "Controls/HyperlinkTextField.h"

#include <QApplication>
#include <QLabel>

#include <gtest/gtest.h>

namespace {

using PlainTextLabels = AppShellTest;

// Every screen's labels may show a name from the definitions, a plist or a file
// name: none reads its text as markup. (Links are the program's own texts.)
TEST_F(PlainTextLabels, NoLabelOfAnyScreenReadsMarkup)
{
    AppDelegate::shared().applicationWillFinishLaunching();
    const std::vector<QWidget*> screens = everyFactoryScreen();
    int labels = 0;
    for (QWidget* screen : screens) {
        for (const QLabel* label : screen->findChildren<QLabel*>()) {
            if (label->text().isEmpty() || qobject_cast<const HyperlinkTextField*>(label))
                continue; // an image, or a link: the program's own text
            ++labels;
            EXPECT_EQ(label->textFormat(), Qt::PlainText)
                << screen->objectName().toStdString() << " / " << label->objectName().toStdString() << ": \""
                << label->text().toStdString() << "\"";
        }
    }
    EXPECT_GT(labels, 40);
}

} // namespace
