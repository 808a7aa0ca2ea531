#include "views/resources/port_view.h"

#include "controls/grid/cel_parts.h"
#include "platform/paths.h"
#include "platform/qt/colors.h"
#include "platform/qt/virtual_keys.h"
#include "script/product.h"
#include "script/protocol_list.h"
#include "script/text_utils.h"
#include "views/resources/port_dialogs.h"

#include <QGuiApplication>
#include <QScreen>
#include <cstdio>

namespace {

constexpr const char* kHeadings[4] = {"Port Name", "Protocol", "Error Seq", "Port Comment"};
constexpr const char* kTips[4] = {
    "Use this name in the data column of sequence events",
    ("Protocol used for 2-way communication. Use 'custom' to send using Msgout. Right click for "
     "wizards"),
    "Name of sequence to start if incorrect response", "Documentation"};
constexpr const char* kEditCaption = "Edit Port Configuration";

void Box(const std::string& text) {
    platform::MessageBoxRequest request;
    request.text = text;
    request.caption = kEditCaption;
    platform::Ui().MessageBox(request);
}

bool IsScsi(const CProductPort& port) {
    return platform::EqualsNoCase(port.m_strInterface, "SCSI");
}

std::string& FieldOf(CProductPort& port, int column) {
    switch (column) {
    case 0:
        return port.m_strName;
    case 1:
        return port.m_strProtocol;
    case 2:
        return port.m_strErrorSequence;
    default:
        return port.m_strComment;
    }
}

// A character the port line of the script file would read back as a separator.
std::string SeparatorRefusal(int column, const std::string& text) {
    const bool comma = text.find(',') != std::string::npos;
    const bool semicolon = text.find(';') != std::string::npos;
    if (column == 0 && comma)
        return "The Name cannot contain ','";
    if (column == 1 && (comma || semicolon))
        return comma ? "The Protocol cannot contain ','" : "The Protocol cannot contain ';'";
    if (column == 2 && semicolon)
        return "The Error Seq cannot contain ';'";
    return {};
}

} // namespace

// ---- MyPortCel ----

MyPortCel::MyPortCel(CPortView& view) : EditedCel(view), view_(view) {}

GVPMenuPtr MyPortCel::BuildPopupMenu(int, int, int) {
    auto menu = std::make_shared<GVPMenu>();
    menu->Item(QStringLiteral("Protocol Wizard"), kProtocolWizard)
        .Item(QStringLiteral("QOR Product Wizard"), kProductWizard)
        .Separator()
        .Item(QStringLiteral("Help"), kHelp)
        .Item(QStringLiteral("Properties"), kProperties);
    return menu;
}

bool MyPortCel::OnUpdatePopupCommand(unsigned id, platform::qt::CommandUi& ui) {
    const CProductPort* port = view_.Port(GetActiveRow());
    const bool arrow = port && HasArrow(port->m_strProtocol);
    switch (id) {
    case kProtocolWizard:
        ui.Enable(true);
        ui.SetCheck(arrow ? 0 : 1);
        return true;
    case kProductWizard:
        ui.Enable(!(port && IsScsi(*port)));
        ui.SetCheck(arrow ? 1 : 0);
        return true;
    case kHelp:
    case kProperties:
        ui.Enable(false);
        return true;
    default:
        return false;
    }
}

void MyPortCel::OnCommand(int id) {
    if (id == int(kProtocolWizard))
        view_.RunProtocolWizard();
    else if (id == int(kProductWizard))
        view_.RunProductWizard();
}

void MyPortCel::NotifyCellRightClick(int column, int row, int down, const QRect&,
                                     const QPoint& point, int) {
    if (down && column >= 0 && row >= 0)
        TrackGridPopup(column, row, 1, CellArea()->mapToGlobal(point));
}

bool MyPortCel::MayClear(int c, int r) {
    CProductPort* port = view_.Port(r);
    if (!port)
        return false;
    // Emptying is a change like any other: fixed fields refuse it as they refuse an edit.
    if (c == 0 && port->m_nFixedName) {
        Box("The Name cannot be changed on this port");
        return false;
    }
    if (c == 1 && port->m_nFixedProtocol) {
        Box("The Protocol cannot be changed on this port");
        return false;
    }
    return true;
}

bool MyPortCel::ClearField(int c, int r) {
    CProductPort* port = view_.Port(r);
    if (!port)
        return false;
    FieldOf(*port, c).clear();
    return true;
}

void MyPortCel::OnTableKey(int key, int c, int r, int n) {
    using namespace platform::qt;
    switch (key) {
    case VK_RETURN:
        if (c == 0 || c == 2) {
            MoveActiveCell(c + 1, r);
            EditActiveCell();
        } else if (c == 1) {
            const QRect desktop = QGuiApplication::primaryScreen()
                                      ? QGuiApplication::primaryScreen()->geometry()
                                      : QRect(0, 0, 800, 600);
            const GVPMenuPtr menu = BuildPopupMenu(c, r, 1);
            menu->items.front().isDefault = true;
            const int items = int(menu->items.size());
            TrackGridPopup(c, r, 1,
                           QPoint(desktop.center().x() - 50, desktop.center().y() - 10 * items));
            MoveActiveCell(2, r);
            EditActiveCell();
        } else {
            if (r < n - 1)
                MoveActiveCell(0, r + 1);
            EditActiveCell();
        }
        break;
    case VK_ESCAPE:
        view_.CloseFrameSoon();
        break;
    default:
        break;
    }
}

bool MyPortCel::AllowEditFinish(int column, int row, CELEdit*, std::string& text, bool cancelled) {
    if (cancelled)
        return true;
    CProductPort* port = view_.Port(row);
    if (!port)
        return true;
    // A refused text gives way to the port's value at once, so the cell never shows what the
    // port does not hold.
    if (column == 0 && port->m_nFixedName) {
        Box("The Name cannot be changed on this port");
        text = port->m_strName;
    } else if (column == 1 && port->m_nFixedProtocol) {
        Box("The Protocol cannot be changed on this port");
        text = port->m_strProtocol;
    } else if (const std::string refusal = SeparatorRefusal(column, text); !refusal.empty()) {
        Box(refusal);
        text = FieldOf(*port, column);
    } else if (column >= 0 && column <= 3) {
        FieldOf(*port, column) = text;
        if (column == 1)
            view_.LoadProtocolCommands(text);
    }
    view_.MarkChanged();
    return true;
}

int MyPortCel::GetCellTipText(int column, int, int section, std::string& text) {
    if (section != 1 || column < 0 || column > 3)
        return 0;
    text = kTips[column];
    return 1;
}

bool MyPortCel::NotifyFindDialogClosed() {
    for (int r = 0; r < view_.PortCount(); ++r) {
        CProductPort* port = view_.Port(r);
        for (int c = 0; c < 4; ++c) {
            // Fixed fields and texts the port line cannot hold stay as they are.
            if ((c == 0 && port->m_nFixedName) || (c == 1 && port->m_nFixedProtocol))
                continue;
            std::string text;
            CopyCellText(c, r, text);
            if (SeparatorRefusal(c, text).empty())
                FieldOf(*port, c) = text;
        }
    }
    view_.FillGrid();
    view_.MarkChanged();
    return true;
}

// ---- CPortView ----

CPortView::CPortView(CVLDoc& doc, ViewServices& services, QWidget* parent)
    : CResourceView(doc, services, parent), cel_(new MyPortCel(*this)) {
    CreateGrid(cel_);
    OfferTableCommands(
        {[this] { AutoSizeColumns(); }, [this] { ReplaceInGrid(); }, std::string("Ports")});
}

int CPortView::PortCount() const {
    const CVLDoc& doc = Doc();
    return doc.m_pProduct ? std::min<int>(doc.m_pProduct->m_wPorts, CProduct::kMaxPorts) : 0;
}

CProductPort* CPortView::Port(int row) const {
    CVLDoc& doc = Doc();
    if (row < 0 || row >= PortCount())
        return nullptr;
    return &doc.m_pProduct->m_Ports[std::size_t(row)];
}

void CPortView::OnInitialUpdate() {
    SetDefaultCell(*cel_, platform::qt::RGB(255, 220, 255));
    cel_->SetColumnCount(4, false);
    for (int c = 0; c < 4; ++c)
        cel_->WriteCellText(c, -1, kHeadings[c]);
    FillGrid();
    ApplyColumnWidths(WidthGroup());
    OnDraw();
}

void CPortView::FillGrid() {
    const int column = cel_->GetActiveColumn(), row = cel_->GetActiveRow();
    const int count = PortCount();
    cel_->SetRowCount(count, false);
    for (int k = 0; k < count; ++k) {
        char heading[16];
        std::snprintf(heading, sizeof heading, "%2.2d", k);
        cel_->WriteCellText(-1, k, heading);
        CProductPort& port = *Port(k);
        for (int c = 0; c < 4; ++c)
            cel_->WriteCellText(c, k, FieldOf(port, c));
    }
    if (column >= 0 && row >= 0 && row < count)
        cel_->MoveActiveCell(column, row);
    cel_->RepaintAll();
}

void CPortView::OnUpdate(platform::View* sender, long hint, void* object) {
    if (hint == 0 && !cel_->IsEditing())
        FillGrid();
    CResourceView::OnUpdate(sender, hint, object);
}

void CPortView::LoadProtocolCommands(const std::string& protocol) {
    CVLDoc& doc = Doc();
    CProtocol* found = nullptr;
    if (doc.Services().Protocols().FindProtocol(protocol, found, false) && found)
        found->LoadCommands();
}

void CPortView::RefreshAfterDialog() {
    update();
    repaint();
}

void CPortView::RunProtocolWizard() {
    CVLDoc& doc = Doc();
    const int row = cel_->GetActiveRow();
    CProductPort* port = Port(row);
    if (!port)
        return;
    const auto edit = [&](auto request) {
        request.document = &doc;
        request.port = row;
        if (platform::Ui().RunDialog(request)) {
            FillGrid();
            RefreshAfterDialog();
            MarkChanged();
        }
    };
    if (IsScsi(*port))
        edit(EditScsiConfigRequest{});
    if (platform::EqualsNoCase(port->m_strInterface, "Serial"))
        edit(EditSerialConfigRequest{});
    LoadProtocolCommands(port->m_strProtocol);
}

void CPortView::RunProductWizard() {
    CVLDoc& doc = Doc();
    CProductPort* port = Port(cel_->GetActiveRow());
    if (!port)
        return;
    ProductWizRequest request;
    request.document = &doc;
    request.returnTo = this;
    request.protocol = port->m_strProtocol;
    if (!platform::Ui().RunDialog(request))
        return;
    cel_->setFocus();
    port->m_strProtocol = request.protocol;
    port->m_strBaudRate = "9600";
    port->m_strDataBits = "9";
    port->m_strStopBits = "1";
    port->m_strParity = "N";
    LoadProtocolCommands(TextAfterLastArrow(request.protocol));
    FillGrid();
    RefreshAfterDialog();
    MarkChanged();
}
