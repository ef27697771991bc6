#include "Screens/Common/ModalAlert.h"

#include "Screens/Common/AlertBox.h"

#include <QMessageBox>
#include <QPointer>

namespace {

int runMessageBox(const AlertContent& alert)
{
    QPointer<QMessageBox> box = makeAlertBox(alert, nullptr);
    box->setAttribute(Qt::WA_DeleteOnClose, false);
    box->setWindowModality(Qt::ApplicationModal);
    box->exec();
    const int response = box ? alertResponse(*box, alert) : nonConfirmingResponse(alert);
    delete box.data();
    return response;
}

ModalAlertPresenter& presenter()
{
    static ModalAlertPresenter current = runMessageBox;
    return current;
}

} // namespace

void setModalAlertPresenter(ModalAlertPresenter replacement)
{
    presenter() = replacement ? std::move(replacement) : ModalAlertPresenter(runMessageBox);
}

int runModalAlert(const AlertContent& alert)
{
    return presenter()(alert);
}
