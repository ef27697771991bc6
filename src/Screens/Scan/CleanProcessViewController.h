#pragma once

#include "Screens/Common/CleanProgressScreen.h"

class QLabel;

// The progress and result of cleaning the selected findings. After a clean the result
// list keeps what is still on disk: each selected record keeps only its paths that
// still exist and leaves the list when none does; a record kept is no longer selected.
// The count left is that of the list so left; the removed count is the clean's own
// (what its removals achieved), the one the lifetime total grew by, so a removal that
// failed is never reported as removed. Each item the clean kept on disk (on the
// ignore list, a protected path, or one whose removal failed) gets a line that names
// it and says why.
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
