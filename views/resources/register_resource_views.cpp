#include "platform/qt/mdi_template.h"
#include "views/resources/name_views.h"
#include "views/resources/port_dialogs.h"
#include "views/resources/port_view.h"
#include "views/resources/resource_view.h"
#include "views/resources/string_views.h"
#include "views/resources/xref_view.h"

#include <QApplication>

void RegisterResourceViews(platform::qt::ViewRegistry& registry, ViewServices& services) {
    RegisterTypedView<CInputView, CVLDoc>(registry, "CInputView", services);
    RegisterTypedView<COutputView, CVLDoc>(registry, "COutputView", services);
    RegisterTypedView<CFlagView, CVLDoc>(registry, "CFlagView", services);
    RegisterTypedView<CVarView, CVLDoc>(registry, "CVarView", services);
    RegisterTypedView<CPortView, CVLDoc>(registry, "CPortView", services);
    RegisterTypedView<CDataStrView, CVLDoc>(registry, "CDataStrView", services);
    RegisterTypedView<CLcdStrView, CVLDoc>(registry, "CLcdStrView", services);
    RegisterTypedView<CXRefView, CVLDoc>(registry, "CXRefView", services);

    registry.RegisterDialog<EditSerialConfigRequest>([](EditSerialConfigRequest& request) {
        if (!request.document)
            return false;
        CEditSerialConfigDlg dialog(*request.document, request.port, QApplication::activeWindow());
        return dialog.exec() == QDialog::Accepted;
    });
    registry.RegisterDialog<EditScsiConfigRequest>([](EditScsiConfigRequest& request) {
        if (!request.document)
            return false;
        CEditScsiConfigDlg dialog(*request.document, request.port, QApplication::activeWindow());
        return dialog.exec() == QDialog::Accepted;
    });
    registry.RegisterDialog<ProductWizRequest>([](ProductWizRequest& request) {
        CProductWizDlg dialog(request, QApplication::activeWindow());
        return dialog.exec() == QDialog::Accepted;
    });
}
