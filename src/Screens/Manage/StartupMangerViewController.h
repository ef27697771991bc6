#pragma once

#include "Foundation/IndexVocabularies.h"
#include "Platform/Notifications/NotificationCenter.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <vector>

// The startup manager's screen: a container showing the startup-items list or the
// progress of a removal of startup items, switched by "StartupItemsViewUpdateBGX"
// with a StartupItemsState value under "menu". Shows the list once made. Made once;
// main thread only.
class StartupMangerViewController : public QWidget {
public:
    // The child screen of a value: the screen factory's kept instances.
    using ChildScreens = std::function<QWidget&(StartupItemsState)>;

    explicit StartupMangerViewController(ChildScreens childScreens, QWidget* parent = nullptr);

    QPointer<QWidget> containerView;

    // Shows the child named by a StartupItemsState "menu"; any other value is ignored.
    void notificationSetView(const platform::Notification& notification);
    void showChild(StartupItemsState state);

private:
    ChildScreens childScreens_;
    std::vector<platform::ObservationToken> observers_;
};
