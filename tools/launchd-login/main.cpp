// launchd-login: the login step of the stand-in launchd, run by the desktop session's
// autostart entry at each login (LoginSession.h).
#include "Platform/LoginItems/LoginSession.h"

int main()
{
    return platform::runLoginSession();
}
