#include "App/ApplicationInstance.h"

#include "App/AllViewControllers.h"
#include "App/AppDelegate.h"
#include "App/InitialWindowController.h"
#include "Platform/Bundle/Bundle.h"
#include "Platform/Notifications/DistributedNotificationCenter.h"

namespace {

constexpr const char* comeForwardNotificationName = "ComeForward";

std::string applicationIdentifier()
{
    return platform::Bundle::main().bundleIdentifier().value_or("");
}

} // namespace

void askRunningApplicationToComeForward()
{
    platform::DistributedNotificationCenter::defaultCenter().post(comeForwardNotificationName,
                                                                  applicationIdentifier());
}

platform::ObservationToken comeForwardWhenAsked(AppDelegate& delegate)
{
    return platform::DistributedNotificationCenter::defaultCenter().addObserver(
        comeForwardNotificationName, applicationIdentifier(), [&delegate](const std::string&, const std::string&) {
            delegate.applicationShouldHandleReopen(true);
            QWidget* window = AllViewControllers::initialWindowController().window();
            window->raise();
            window->activateWindow();
        });
}
