#pragma once

#include "Screens/Common/CleanProgressScreen.h"

class QLabel;

// The progress and result of cleaning the selected findings. After a clean the result
// list keeps what is still on disk: each selected record keeps only its paths that
// still exist and leaves the list when none does; a record kept is no longer selected.
// The counts shown are those of the list so left, so a removal that failed is never
// reported as removed; the removed count is the one the lifetime total grew by. Each
// item the clean kept on disk (on the ignore list, or a protected path) gets a line
// that names it and says why.
class CleanProcessViewController : public CleanProgressScreen {
public:
    explicit CleanProcessViewController(QWidget* parent = nullptr);

    void clickedReviewApps() override;
    void clickedHome() override;

    QLabel* lblDeceptiveAppItemsDeleted = nullptr;
    QLabel* lblYouNowHaveDeceptiveAppItems = nullptr;
    QLabel* lblKeptItems = nullptr; // hidden when the clean kept nothing

protected:
    void notificationUpdateValues(const platform::Notification& notification) override;
};
