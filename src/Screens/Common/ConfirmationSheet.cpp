#include "Screens/Common/ConfirmationSheet.h"

#include "Screens/Common/AlertBox.h"
#include "Screens/Common/DimmedSheet.h"

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

SheetPresenter& presenter()
{
    static SheetPresenter current = presentAsMessageBox;
    return current;
}

} // namespace

void setSheetPresenter(SheetPresenter replacement)
{
    presenter() = replacement ? std::move(replacement) : SheetPresenter(presentAsMessageBox);
}

void beginSheet(QWidget& view, const AlertContent& alert, SheetCompletion completion)
{
    presenter()(*view.window(), alert, dimForSheet(view, std::move(completion)));
}
