#include "Screens/Common/ModalAlert.h"

#include "Screens/Common/AlertBox.h"
#include "Screens/Common/Seam.h"

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

Seam<ModalAlertPresenter>& presenter()
{
    static Seam<ModalAlertPresenter> seam(runMessageBox);
    return seam;
}

} // namespace

void setModalAlertPresenter(ModalAlertPresenter replacement)
{
    presenter().replace(std::move(replacement));
}

int runModalAlert(const AlertContent& alert)
{
    return presenter().current()(alert);
}
