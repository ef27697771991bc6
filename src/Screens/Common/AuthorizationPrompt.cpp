#include "Screens/Common/AuthorizationPrompt.h"

#include "Platform/Dispatch/Dispatch.h"
#include "Screens/Common/AuthorizationDialog.h"

#include <QApplication>

#include <future>

namespace {

using platform::AuthorizationAnswer;

AuthorizationAnswer askOnMainThread(const platform::AuthorizationRequest& request)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) // no windows in this process
        return AuthorizationAnswer::Deny;
    AuthorizationDialog dialog(QGuiApplication::applicationDisplayName(), QString::fromStdString(request.prompt));
    return dialog.exec() == QDialog::Accepted ? AuthorizationAnswer::Grant : AuthorizationAnswer::Cancel;
}

} // namespace

AuthorizationAnswer askWithAuthorizationDialog(const platform::AuthorizationRequest& request)
{
    if (platform::dispatch::isMainThread())
        return askOnMainThread(request);
    std::promise<AuthorizationAnswer> answer;
    auto answered = answer.get_future();
    platform::dispatch::asyncMain([&] { answer.set_value(askOnMainThread(request)); });
    return answered.get();
}

void installAuthorizationPrompt()
{
    platform::AuthorizationAgent::setPrompt(askWithAuthorizationDialog);
}
