#include "Screens/Common/AlertContent.h"

int nonConfirmingResponse(const AlertContent& alert)
{
    return alert.buttons.size() > 1 ? alertSecondButtonReturn : alertFirstButtonReturn;
}
