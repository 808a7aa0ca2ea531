#include "platform/qt/mdi_template.h"
#include "views/resources/lcd_wizard.h"
#include "views/resources/name_views.h"
#include "views/resources/port_dialogs.h"
#include "views/resources/port_view.h"
#include "views/resources/resource_view.h"
#include "views/resources/smpte_view.h"
#include "views/resources/string_views.h"
#include "views/resources/xref_view.h"

#include <QApplication>
#include <memory>

void RegisterResourceViews(platform::qt::ViewRegistry& registry, ViewServices& services) {
    RegisterTypedView<CInputView, CVLDoc>(registry, "CInputView", services);
    RegisterTypedView<COutputView, CVLDoc>(registry, "COutputView", services);
    RegisterTypedView<CFlagView, CVLDoc>(registry, "CFlagView", services);
    RegisterTypedView<CVarView, CVLDoc>(registry, "CVarView", services);
    RegisterTypedView<CPortView, CVLDoc>(registry, "CPortView", services);
    RegisterTypedView<CDataStrView, CVLDoc>(registry, "CDataStrView", services);
    RegisterTypedView<CLcdStrView, CVLDoc>(registry, "CLcdStrView", services);
    RegisterTypedView<CXRefView, CVLDoc>(registry, "CXRefView", services);
    RegisterTypedView<CsmpteView, CVLDoc>(registry, "CsmpteView", services);

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
    registry.RegisterDialog<LcdWizardRequest>([](LcdWizardRequest& request) {
        std::unique_ptr<CLcdWizardDlg> dialog;
        if (request.width == 16)
            dialog = std::make_unique<CSmallLcdDlg>(QApplication::activeWindow());
        else
            dialog = std::make_unique<CLargeLcdDlg>(QApplication::activeWindow());
        dialog->m_strLine1 = request.line1;
        dialog->m_strLine2 = request.line2;
        dialog->m_nForceBlank1 = request.forceBlank1 ? 1 : 0;
        dialog->m_nForceBlank2 = request.forceBlank2 ? 1 : 0;
        dialog->OnInitDialog();
        if (dialog->exec() != QDialog::Accepted)
            return false;
        request.line1 = dialog->m_strLine1;
        request.line2 = dialog->m_strLine2;
        request.forceBlank1 = dialog->m_nForceBlank1 != 0;
        request.forceBlank2 = dialog->m_nForceBlank2 != 0;
        return true;
    });
}
