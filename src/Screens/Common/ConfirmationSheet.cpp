#include "Screens/Common/ConfirmationSheet.h"

#include "Screens/Common/AlertBox.h"
#include "Screens/Common/DimmedSheet.h"
#include "Screens/Common/Seam.h"

#include <QMessageBox>
#include <QWidget>

namespace {

void presentAsMessageBox(QWidget& window, const AlertContent& alert, SheetCompletion answer)
{
    QMessageBox* box = makeAlertBox(alert, &window);
    box->setWindowModality(Qt::WindowModal);
    QObject::connect(box, &QDialog::finished, box, [box, alert, answer = std::move(answer)] {
        answer(alertResponse(*box, alert));
    });
    box->open();
}

Seam<SheetPresenter>& presenter()
{
    static Seam<SheetPresenter> seam(presentAsMessageBox);
    return seam;
}

} // namespace

void setSheetPresenter(SheetPresenter replacement)
{
    presenter().replace(std::move(replacement));
}

void beginSheet(QWidget& view, const AlertContent& alert, SheetCompletion completion)
{
    presenter().current()(*view.window(), alert, dimForSheet(view, std::move(completion)));
}
