#include "ScanScreenTest.h"

#include "Screens/Scan/OverviewSystemInfo.h"
#include "Screens/Scan/OverviewViewController.h"

#include <QAbstractAnimation>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

const char* hardwareReport = "Hardware:\n\n    Hardware Overview:\n\n"
                             "      Model Name: MacBook Pro\n"
                             "      Processor Name: Quad-Core Intel Core i7\n"
                             "      Processor Speed: 2.3 GHz\n\n";

TEST(OverviewSystemInfoParser, ProcessorAndGraphicsLinesByTheirLabels)
{
    const struct {
        std::string output;
        const char* processor;
        std::optional<std::string> graphics;
    } cases[] = {
        {hardwareReport, "2.3 GHz Quad-Core Intel Core i7", std::nullopt},
        {std::string(hardwareReport) + "Graphics/Displays:\n\n    Intel Iris Plus Graphics 655:\n\n"
                                       "      Chipset Model: Intel Iris Plus Graphics 655\n"
                                       "      VRAM (Dynamic, Max): 1536 MB\n",
         "2.3 GHz Quad-Core Intel Core i7", "Intel Iris Plus Graphics 655 1536 MB"},
        {std::string(hardwareReport) + "Graphics/Displays:\n\n    Display:\n\n      Resolution: 1920 x 1080\n",
         "2.3 GHz Quad-Core Intel Core i7", " "},
        {"Graphics/Displays:\n      Chipset Model: \tAcme GPU\t\n", " ", "Acme GPU "},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.output);
        const HardwareDescription parsed = parseSystemProfilerOutput(each.output);
        EXPECT_EQ(parsed.processor, each.processor);
        EXPECT_EQ(parsed.graphics, each.graphics);
    }
}

TEST(OverviewSystemInfoParser, OperatingSystemFromOsRelease)
{
    const struct {
        const char* text;
        const char* name;
        std::int64_t major, minor, patch;
    } cases[] = {
        {"PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nNAME=\"Debian GNU/Linux\"\nVERSION_ID=\"12\"\n",
         "Debian GNU/Linux 12 (bookworm)", 12, 0, 0},
        {"NAME=Ubuntu\nVERSION_ID='22.04'\n", "Ubuntu", 22, 4, 0},
        {"NAME=\"Alpine Linux\"\nVERSION_ID=3.18.4\n", "Alpine Linux", 3, 18, 4},
        {"NAME=Rolling\n", "Rolling", 0, 0, 0},
        {"garbage without equals\nVERSION_ID=x.y\n", "", 0, 0, 0},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.text);
        const OperatingSystem system = parseOSRelease(each.text);
        EXPECT_EQ(system.name, each.name);
        EXPECT_EQ(system.version.majorVersion, each.major);
        EXPECT_EQ(system.version.minorVersion, each.minor);
        EXPECT_EQ(system.version.patchVersion, each.patch);
    }
}

TEST(OverviewSystemInfoParser, ReleaseTableByMinorVersion)
{
    const struct {
        std::int64_t minor;
        const char* key;
        const char* image;
    } table[] = {{11, "IDS_BGX_175", "macos el-capitan"}, {12, "IDS_BGX_174", "macos-Sierra"},
                 {13, "IDS_BGX_173", "macos high-sierra"}, {14, "IDS_BGX_172", "macosmojave"},
                 {15, "IDS_BGX_171", "macOs Catalina"}};
    for (const auto& each : table) {
        const auto release = releaseForMinorVersion(each.minor);
        ASSERT_TRUE(release) << each.minor;
        EXPECT_STREQ(release->textKey, each.key);
        EXPECT_STREQ(release->imageName, each.image);
    }
    for (const std::int64_t outside : {0, 10, 16, -1})
        EXPECT_FALSE(releaseForMinorVersion(outside)) << outside;
}

using OverviewSystemInfo = ScanScreenTest;

// The release table names only the system it describes; any other system, whatever
// its version, shows its own name and the default picture.
TEST_F(OverviewSystemInfo, ReleaseNameAndPictureFromTheOsRelease)
{
    const struct {
        const char* osRelease;
        const char* shown;
        const char* image;
    } cases[] = {
        {"ID=macos\nNAME=macOS\nVERSION_ID=10.14.6\n", "IDS_BGX_172", "macosmojave"},
        {"ID=\"macos\"\nPRETTY_NAME=\"macOS 10.15\"\nVERSION_ID=10.15\n", "IDS_BGX_171", "macOs Catalina"},
        {"ID=macos\nPRETTY_NAME=\"macOS 10.16\"\nVERSION_ID=10.16\n", "macOS 10.16", "systemdefault"},
        {"ID=alpine\nNAME=\"Alpine Linux\"\nPRETTY_NAME=\"Alpine Linux v3.11\"\nVERSION_ID=3.11.6\n",
         "Alpine Linux v3.11", "systemdefault"},
        {"ID=debian\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nVERSION_ID=\"12\"\n",
         "Debian GNU/Linux 12 (bookworm)", "systemdefault"},
        {"ID=linuxmint\nID_LIKE=macos\nNAME=\"Linux Mint\"\nVERSION_ID=10.13\n", "Linux Mint", "systemdefault"},
        {"NAME=Rolling\nVERSION_ID=0.12\n", "Rolling", "systemdefault"},
    };
    OverviewViewController overview;
    for (const auto& each : cases) {
        SCOPED_TRACE(each.osRelease);
        overview.showRelease(parseOSRelease(each.osRelease));
        EXPECT_EQ(overview.lblos->text().toStdString(), each.shown);
        EXPECT_EQ(overview.imgview_macos->property("imageName").toString().toStdString(), each.image);
        EXPECT_FALSE(overview.imgview_macos->pixmap().isNull()) << "the bundle has the picture";
    }
}

TEST_F(OverviewSystemInfo, VersionMemoryAndDiskLabels)
{
    OverviewViewController overview;
    overview.showVersion({10, 14, 6});
    EXPECT_EQ(overview.lblversion->text(), "IDS_BGX_141 10.14.6");

    overview.showMemory(17179869184.0);
    EXPECT_EQ(overview.lblraminstalled->text(), "16.0 GB");
    overview.showDisk(500107862016.0);
    EXPECT_EQ(overview.lblRemainingHarddrive->text(), "500.1 GB");
    overview.showDisk(std::nullopt);
    EXPECT_EQ(overview.lblRemainingHarddrive->text(), "");
}

TEST_F(OverviewSystemInfo, GraphicsRowShowsOnlyWithAGraphicsText)
{
    OverviewViewController overview;
    host(overview);
    const auto graphicsShown = [&] { return !overview.boxGraphic->isHidden(); };
    overview.boxGraphic->hide();
    overview.lblGrpahicsInfo->setText("storyboard");
    overview.lblProcessorInfo->setText("storyboard");

    overview.showHardware(std::nullopt);
    EXPECT_EQ(overview.lblProcessorInfo->text(), "storyboard") << "no output keeps the texts";
    overview.showHardware(std::string(hardwareReport));
    EXPECT_EQ(overview.lblProcessorInfo->text(), "2.3 GHz Quad-Core Intel Core i7");
    EXPECT_EQ(overview.lblGrpahicsInfo->text(), "storyboard");
    EXPECT_FALSE(graphicsShown());

    overview.showHardware(std::string(hardwareReport) + "Graphics/Displays:\n");
    EXPECT_EQ(overview.lblGrpahicsInfo->text(), " ");
    EXPECT_FALSE(graphicsShown());
    overview.showHardware(std::string(hardwareReport) + "Graphics/Displays:\n      Chipset Model: Acme GPU\n");
    EXPECT_EQ(overview.lblGrpahicsInfo->text(), "Acme GPU ");
    EXPECT_TRUE(graphicsShown());
}

TEST_F(OverviewSystemInfo, PanelOpensAndClosesWithAPushAndIgnoresOtherConstants)
{
    OverviewViewController overview;
    host(overview);
    overview.viewWillAppear();
    EXPECT_EQ(overview.boxsysteminfo_trailing->constant(), -250.0);
    EXPECT_EQ(overview.boxsysteminfo->x(), overview.width()) << "closed: out of sight";

    const auto transition = [&] { return overview.boxsysteminfo->findChild<QAbstractAnimation*>("SwitchToView1"); };
    overview.btnSystemInfo->click();
    EXPECT_EQ(overview.boxsysteminfo_trailing->constant(), 0.0);
    ASSERT_NE(transition(), nullptr);
    EXPECT_EQ(transition()->totalDuration(), 200);
    EXPECT_EQ(transition()->property("subtype").toString(), "fromRight");
    transition()->setCurrentTime(200);
    EXPECT_EQ(overview.boxsysteminfo->geometry().right() + 1, overview.width()) << "open: on the trailing edge";

    overview.btnSystemInfo->click();
    EXPECT_EQ(overview.boxsysteminfo_trailing->constant(), -250.0);
    EXPECT_EQ(transition()->property("subtype").toString(), "fromLeft");

    overview.boxsysteminfo_trailing->setConstant(12.0);
    delete transition();
    overview.btnSystemInfo->click();
    EXPECT_EQ(overview.boxsysteminfo_trailing->constant(), 12.0);
    EXPECT_EQ(transition(), nullptr) << "no animation for another constant";

    overview.btnSystemInfo->click();
    overview.boxsysteminfo_trailing->setConstant(0.0);
    overview.viewWillAppear();
    EXPECT_EQ(overview.boxsysteminfo_trailing->constant(), -250.0) << "closed again on each appearance";
}

// A stand-in tool folder whose programs never finish ("exec" so a kill ends them).
class HangingTools : public ScanScreenTest {
protected:
    void SetUp() override
    {
        ScanScreenTest::SetUp();
        folder = testsupport::platformRootFolder() / "hanging-tools";
        for (const char* tool : {"system_profiler", "lspci"}) {
            const fs::path script = testsupport::plantFile(folder / tool, "#!/bin/sh\nexec sleep 60\n");
            fs::permissions(script, fs::perms::owner_all);
        }
        savedTools = std::getenv("BG_TOOLS_DIR");
        savedPath = std::getenv("PATH");
    }
    void TearDown() override
    {
        ::setenv("BG_TOOLS_DIR", savedTools.c_str(), 1);
        ::setenv("PATH", savedPath.c_str(), 1);
        ScanScreenTest::TearDown();
    }

    fs::path folder;
    std::string savedTools;
    std::string savedPath;
};

TEST_F(HangingTools, AProfilerThatNeverEndsIsKilledAndLeavesTheLabels)
{
    ::setenv("BG_TOOLS_DIR", folder.c_str(), 1);
    EXPECT_FALSE(systemProfilerOutput(std::chrono::milliseconds(300)));
}

TEST_F(HangingTools, TheStandInProfilerGivesUpOnAHangingLspci)
{
    ::setenv("PATH", (folder.string() + ":" + savedPath).c_str(), 1);
    const auto output = systemProfilerOutput();
    ASSERT_TRUE(output) << "the profiler ends within the bound although lspci hangs";
    EXPECT_NE(output->find("Processor Name:"), std::string::npos) << *output;
    EXPECT_NE(output->find("Graphics/Displays:"), std::string::npos);
    EXPECT_EQ(output->find("Chipset Model:"), std::string::npos);
}

TEST_F(HangingTools, TheStandInProfilerReportsTheDisplayDevicesOfLspci)
{
    const fs::path lspci = testsupport::plantFile(
        folder / "lspci", "#!/bin/sh\n"
                          "echo '00:1f.3 \"Audio device\" \"Acme\" \"Sound\" -r01 \"Acme\" \"Sound\"'\n"
                          "echo '00:02.0 \"VGA compatible controller\" \"Acme Corp\" \"Rocket GPU\" -r07 \"Acme\" \"X\"'\n");
    fs::permissions(lspci, fs::perms::owner_all);
    ::setenv("PATH", (folder.string() + ":" + savedPath).c_str(), 1);
    const auto output = systemProfilerOutput();
    ASSERT_TRUE(output);
    const HardwareDescription parsed = parseSystemProfilerOutput(*output);
    ASSERT_TRUE(parsed.graphics) << *output;
    EXPECT_EQ(parsed.graphics->rfind("Acme Corp Rocket GPU", 0), 0u) << *parsed.graphics;
}

} // namespace
