#pragma once

#include "Support/TestRoot.h"

#include "Detection/ScanResult.h"
#include "KeyEchoTextTable.h"
#include "ScreenSeams.h"

#include <QWidget>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace screentest {

// A results row as the Overview makes it: selected, collapsed, with these paths.
ScanResult resultRow(std::int64_t id, const std::string& title, const std::vector<std::string>& paths);

// The product's bundle as the main bundle (its images), the screen seams answered by
// the test, an empty result list, and a main window of the real size whose content
// area holds the screen under test. Texts echo their keys unless a test loads the
// English table (for grabs).
class ResultScreensTest : public testsupport::PlatformRootTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Puts `screen` in the content area and runs its appear step.
    void showInWindow(QWidget& screen);
    // The English table in place of the key echo, for a grab a person looks at.
    void useEnglishTexts();
    // Plants a file or an application bundle under the user's home and returns its host path.
    std::string plantItem(const std::string& homeRelative);

    std::unique_ptr<KeyEchoTextTable> keyEcho = std::make_unique<KeyEchoTextTable>();
    ScreenSeams seams;
    QWidget window;
    QWidget* content = nullptr;
};

} // namespace screentest
