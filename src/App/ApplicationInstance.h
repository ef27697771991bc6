#pragma once

#include "Platform/Notifications/NotificationCenter.h"

class AppDelegate;

// The application runs once per user session (its instance lock): a second start
// asks the running one to come to the front, as opening an application that already
// runs does on the platform, and leaves.

// Posted to the running application by a second start of it.
void askRunningApplicationToComeForward();

// Brings the main window to the front, as a reopen does, each time a second start
// asks for it.
[[nodiscard]] platform::ObservationToken comeForwardWhenAsked(AppDelegate& delegate);
