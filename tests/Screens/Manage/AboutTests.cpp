#include "ManageScreenTest.h"

#include "App/AllViewControllers.h"
#include "Controls/CustomAnimator.h"
#include "Controls/HandCursorButton.h"
#include "Controls/HyperlinkTextField.h"
#include "Foundation/PageURLs.h"
#include "Platform/Bundle/Bundle.h"
#include "Screens/Manage/AboutVC.h"

#include <QApplication>
#include <QFrame>
#include <QPointer>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

// A main window's content of its size, with the shared animator as the program makes it.
class AboutPanel : public managetest::ManageScreenTest {
protected:
    void SetUp() override
    {
        ManageScreenTest::SetUp();
        window.resize(1008, 720);
        window.setAutoFillBackground(true);
        window.setPalette(QColor(244, 246, 248));
        window.show();
        sharedAnimator() = new CustomAnimator(0.5, window.rect(), &window);
    }
    void TearDown() override
    {
        sharedAnimator() = nullptr;
        ManageScreenTest::TearDown();
    }

    // About as the main window's About command presents it.
    AboutVC& present()
    {
        AboutVC& about = AllViewControllers::about();
        about.released = AllViewControllers::releaseAbout;
        sharedAnimator()->animatePresentation(about, window);
        sharedAnimator()->finishAnimations();
        about.viewWillAppear();
        return about;
    }

    void close(AboutVC& about)
    {
        about.tappedClose();
        sharedAnimator()->finishAnimations();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QWidget window;
};

TEST_F(AboutPanel, PresentedItsLinksOpenTheirPagesAndItsDisclaimerOpensAndCloses)
{
    AboutVC& about = present();
    EXPECT_EQ(about.parentWidget(), &window);
    EXPECT_TRUE(dimmingOverlay());
    EXPECT_EQ(about.lblEULA->text(), "IDS_BGX_138");
    EXPECT_TRUE(about.boxDisclaimer->isHidden());
    for (int round = 0; round < 2; ++round) {
        about.btnDisclaimer->click();
        EXPECT_FALSE(about.boxDisclaimer->isHidden());
        about.btnCloseDisclaimer->click();
        EXPECT_TRUE(about.boxDisclaimer->isHidden());
    }

    widgettest::click(*about.lblEULA);
    platform::NotificationCenter::defaultCenter().post("hyperLinkPrivacyPolicy");
    platform::NotificationCenter::defaultCenter().post("hyperLinkUnInstallInstructions");
    about.btnVisitDeceptorsAndHowToSpotThem->click();
    EXPECT_EQ(seams.openedURLs, (std::vector<std::string>{eulaURL()->toString().toStdString(),
                                                          privacyPolicyURL()->toString().toStdString(),
                                                          uninstallInstructionsURL()->toString().toStdString(),
                                                          "https://www.certification.example.org/Home/Deceptor"}));
    close(about);
}

TEST_F(AboutPanel, DismissedItLeavesWithItsObserversAndIsMadeAnew)
{
    QPointer<AboutVC> first = &present();
    first->btnDisclaimer->click();
    widgettest::NotificationRecorder closing("closeToExitVC");
    close(*first);
    EXPECT_EQ(closing.received().size(), 1u);
    EXPECT_FALSE(first) << "the closed panel is released";
    EXPECT_FALSE(dimmingOverlay());

    platform::NotificationCenter::defaultCenter().post("hyperLinkEULA");
    EXPECT_TRUE(seams.openedURLs.empty()) << "no closed panel answers a link";

    AboutVC& second = present();
    EXPECT_TRUE(second.boxDisclaimer->isHidden());
    close(second);
}

// A link clicked during the fade-out reaches nobody: the panel's observers left at the close.
TEST_F(AboutPanel, NoLinkReachesAPanelThatIsFadingOut)
{
    AboutVC& about = present();
    about.tappedClose();
    platform::NotificationCenter::defaultCenter().post("hyperLinkEULA");
    sharedAnimator()->finishAnimations();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(seams.openedURLs.empty());
}

TEST_F(AboutPanel, Grabs)
{
    platform::Bundle::setMainBundlePath(BG_APP_BUNDLE); // its icon and version
    managetest::withEnglish([&] {
        AboutVC& about = present();
        widgettest::saveGrab(window, "About");
        about.btnDisclaimer->click();
        widgettest::saveGrab(window, "About-disclaimer");
        close(about);
    });
}

} // namespace
