// Pactwright's windows on the offscreen platform: the document window's two panes, the tree's
// and the grid's commands routed from the main frame, two windows of one document, saving and
// reopening, and the printed listing.
#include "controls/commandbars/command_bars.h"
#include "controls/commandbars/controls.h"
#include "controls/commandbars/image_manager.h"
#include "controls/commandbars/tool_bar.h"
#include "controls/grid/cel_parts.h"
#include "pactwright/child_frame.h"
#include "pactwright/core/pactwright_app.h"
#include "pactwright/left_view.h"
#include "pactwright/main_frame.h"
#include "pactwright/pactwright_ids.h"
#include "pactwright/pactwright_view.h"
#include "pactwright/protocol_cel.h"
#include "script/dialog_requests.h"
#include "tests/app/gui/gui_test_support.h"
#include "tests/support/pdf_text.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/scripted_ui.h"

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QFileDialog>
#include <QIcon>
#include <QLineEdit>
#include <QListView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QWhatsThis>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

using namespace pw_ids;
using pactwright::CChildFrame;
using pactwright::CLeftView;
using pactwright::CPactwrightDoc;
using pactwright::CPactwrightView;
namespace fs = std::filesystem;

struct PactwrightWindow : ::testing::Test, testsupport::QtAppFirst {
    PactwrightWindow() {
        guitest::EnsureToolkit(); // as the program makes it: the toolbar's images live there
        app.SetProfilePath(dir.filePath("pactwright.ini").toStdString());
        frame = std::make_unique<pactwright::CMainFrame>(app);
        platform::SetUi(&ui); // the frame installed its own services
        frame->resize(900, 640);
        frame->show();
        frame->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    }
    ~PactwrightWindow() override { frame.reset(); }

    CPactwrightDoc* NewDocument() {
        frame->RouteCommand(kFileNew);
        return frame->ActiveDocument();
    }
    CChildFrame* Content(QMdiSubWindow* child = nullptr) {
        if (!child)
            child = frame->MdiClient()->activeSubWindow();
        return child ? dynamic_cast<CChildFrame*>(child->widget()) : nullptr;
    }
    CLeftView& Tree() { return *Content()->LeftView(); }
    CPactwrightView& Grid() { return *Content()->RightView(); }
    std::vector<std::string> Column(CPactwrightView& view, int column) {
        std::vector<std::string> out;
        for (int r = 0; r < view.Grid().GetRowCount(); ++r) {
            const char* text = view.Grid().ReadCellText(column, r);
            out.push_back(text ? text : "");
        }
        return out;
    }
    std::string TreeShape(CLeftView& tree) {
        std::function<std::string(QTreeWidgetItem*)> shape = [&](QTreeWidgetItem* item) {
            std::string s = item->text(0).toStdString();
            if (item->childCount()) {
                s += "(";
                for (int i = 0; i < item->childCount(); ++i)
                    s += (i ? " " : "") + shape(item->child(i));
                s += ")";
            }
            return s;
        };
        return tree.topLevelItemCount() ? shape(tree.topLevelItem(0)) : "";
    }
    // A small protocol file in the test's folder.
    std::string WriteProtocol(const QString& name,
                              const std::string& text = "[Device]\r\nMaker=M\r\n") {
        const std::string path = dir.filePath(name).toStdString();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    void KeyToFocus(Qt::Key key, Qt::KeyboardModifiers mods = {}) {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : frame.get(), key, mods);
    }
    void Focus(QWidget* pane) {
        pane->setFocus();
        QApplication::processEvents();
    }

    testing_support::ScriptedUi ui;
    QTemporaryDir dir;
    pactwright::CPactwrightApp app;
    std::unique_ptr<pactwright::CMainFrame> frame;
};

// A button without a picture would show its caption instead.
TEST_F(PactwrightWindow, ToolbarButtonsShowTheirThemeIcons) {
    if (QIcon::fromTheme(QStringLiteral("document-new")).isNull())
        GTEST_SKIP() << "no icon theme installed";
    CGVPImageManager* images = frame->GetCommandBars()->GetImageManager();
    ASSERT_NE(images, nullptr);
    CGVPControls* controls = frame->ToolBar()->GetControls();
    for (unsigned id : {kFileNew, kFileOpen, kFileSave, kEditCut, kEditCopy, kEditPaste, kFilePrint,
                        kContextHelp}) {
        EXPECT_NE(controls->FindControlById(id), nullptr) << "command " << id;
        EXPECT_NE(images->GetImage(id, 16), nullptr) << "command " << id;
    }
}

// Shift+F1, then a click: a toolbar button answers with its prompt, the panes with their texts.
TEST_F(PactwrightWindow, WhatsThisShowsTheClickedButtonsPromptAndEscapeLeaves) {
    NewDocument();
    CGVPToolBar* bar = frame->ToolBar();
    const QPoint save = bar->GetControls()->FindControlById(kFileSave)->GetRect().center();
    EXPECT_EQ(pactwright::CMainFrame::WhatsThisText(bar->mapToGlobal(save)),
              "Save the active document");
    EXPECT_TRUE(pactwright::CMainFrame::WhatsThisText(Tree().mapToGlobal(QPoint(50, 150)))
                    .startsWith("The command tree"));
    EXPECT_TRUE(pactwright::CMainFrame::WhatsThisText(Grid().mapToGlobal(QPoint(50, 150)))
                    .startsWith("The command grid"));

    KeyToFocus(Qt::Key_F1, Qt::ShiftModifier);
    ASSERT_TRUE(QWhatsThis::inWhatsThisMode());
    QTest::mouseClick(bar, Qt::LeftButton, {}, save);
    EXPECT_FALSE(QWhatsThis::inWhatsThisMode());
    EXPECT_FALSE(frame->ActiveDocument()->GetPathName().size()) << "the click ran no Save";
    QWidget* popup = QApplication::activePopupWidget();
    ASSERT_NE(popup, nullptr) << "the prompt shows";
    EXPECT_STREQ(popup->metaObject()->className(), "QWhatsThat");
    QWhatsThis::hideText();
    QApplication::processEvents();

    frame->RouteCommand(kContextHelp); // the toolbar button's way in
    ASSERT_TRUE(QWhatsThis::inWhatsThisMode());
    KeyToFocus(Qt::Key_Escape);
    EXPECT_FALSE(QWhatsThis::inWhatsThisMode());
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

// Files dropped on the frame open, each in its window; one that is no protocol says why.
TEST_F(PactwrightWindow, DroppedFilesOpen) {
    const std::string first = WriteProtocol("First.pcl");
    const std::string bad = WriteProtocol("Notes.txt", "no device here\r\n");
    const std::string second = WriteProtocol("SECOND.PCL");
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(first)),
                  QUrl::fromLocalFile(QString::fromStdString(bad)),
                  QUrl::fromLocalFile(QString::fromStdString(second))});
    QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &mime, Qt::LeftButton, {});
    QApplication::sendEvent(frame.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(300, 300), Qt::CopyAction, &mime, Qt::LeftButton, {});
    QApplication::sendEvent(frame.get(), &drop);

    ASSERT_EQ(frame->Template().Documents().size(), 2u);
    EXPECT_EQ(frame->Template().Documents()[0]->GetPathName(), first);
    EXPECT_EQ(frame->ActiveDocument()->GetPathName(), second);
    EXPECT_EQ(ui.Texts(),
              std::vector<std::string>{"Read Protocol:  Could not find [Device] Section."});
}

// The Open dialog lists protocol files whatever the case of ".pcl", and opens the one chosen.
TEST_F(PactwrightWindow, OpenDialogFindsProtocolFilesInAnyCase) {
    for (const char* name : {"a.pcl", "B.PCL", "c.Pcl", "d.txt", "e.pcl.bak"})
        WriteProtocol(QString::fromLatin1(name));
    app.m_strDefaultFolder = dir.path().toStdString();
    platform::SetUi(&frame->UiServices()); // the Qt file dialog, not the script
    QStringList listed;
    guitest::WhenModal([&](QDialog& dialog) {
        auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
        if (view &&
            QTest::qWaitFor([&] { return view->model()->rowCount(view->rootIndex()) >= 3; }))
            for (int r = 0; r < view->model()->rowCount(view->rootIndex()); ++r) {
                const QModelIndex index = view->model()->index(r, 0, view->rootIndex());
                if (view->model()->flags(index) & Qt::ItemIsEnabled)
                    listed << index.data().toString();
            }
        if (auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            name->setText(QStringLiteral("B.PCL"));
        dialog.accept();
        if (dialog.isVisible()) // refused: never hang the suite
            dialog.reject();
    });
    frame->RouteCommand(kFileOpen);
    platform::SetUi(&ui);
    listed.sort();
    EXPECT_EQ(listed, (QStringList{"B.PCL", "a.pcl", "c.Pcl"}));
    ASSERT_NE(frame->ActiveDocument(), nullptr);
    EXPECT_EQ(frame->ActiveDocument()->GetPathName(), dir.filePath("B.PCL").toStdString());
}

TEST_F(PactwrightWindow, ANewDocumentShowsItsTreeAndGridInASplitWindow) {
    CPactwrightDoc* doc = NewDocument();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetTitle(), "Pactwr1");
    EXPECT_EQ(doc->Views().size(), 2u) << "both panes are attached";
    CChildFrame* content = Content();
    ASSERT_NE(content, nullptr);
    EXPECT_EQ(content->GetRowCount(), 1);
    EXPECT_EQ(content->GetColumnCount(), 2);
    EXPECT_EQ(content->GetPane(0, 0), &Tree());
    EXPECT_EQ(content->GetPane(0, 1), &Grid());
    EXPECT_EQ(TreeShape(Tree()), "Name of Protocol as it will appear in Velmora(MessageOut)");

    Tree().SelectItem(0);
    EXPECT_EQ(Column(Grid(), 0).size(), 18u);
    EXPECT_EQ(Column(Grid(), 0)[1], "File Name");
    EXPECT_EQ(Column(Grid(), 1)[1], "MyProtocol.pcl");
    Tree().SelectItem(1);
    EXPECT_EQ(Column(Grid(), 0),
              (std::vector<std::string>{"Name", "Description", "Supported", "MsgAck", "CmpAck",
                                        "Timeout", "Retries", "Param1", "Param2", "Message"}));
    EXPECT_STREQ(Grid().Grid().ReadCellText(-1, 0), " 1");
    EXPECT_STREQ(Grid().Grid().ReadCellText(-1, 9), "10");
    int width = 0;
    Grid().Grid().ReadColumnWidth(0, width);
    EXPECT_GE(width, 75);
    frame->OnIdleUpdate();
    EXPECT_EQ(frame->windowTitle().toStdString(), "Pactwright - Pactwr1");

    // F6 and Shift+F6 move between the panes.
    Focus(&Tree());
    frame->RouteCommand(kNextPane);
    EXPECT_TRUE(Grid().isAncestorOf(QApplication::focusWidget()));
    frame->RouteCommand(kPrevPane);
    EXPECT_EQ(QApplication::focusWidget(), &Tree());
}

TEST_F(PactwrightWindow, GridEditsStoreAndNameEditsRebuildTheTree) {
    CPactwrightDoc* doc = NewDocument();
    Tree().SelectItem(1);

    pactwright::ProtocolCel& cel = Grid().Grid();
    // A typed edit: the editor opens with the character, Enter stores.
    ASSERT_EQ(cel.MoveActiveCell(1, 0), 0);
    Focus(cel.CellArea());
    QTest::keyClicks(cel.CellArea(), "L");
    ASSERT_TRUE(cel.IsEditing());
    QTest::keyClicks(cel.Editor(), "amp:On");
    QTest::keyClick(cel.Editor(), Qt::Key_Return);
    QApplication::processEvents(); // the editor finishes once the key is handled
    EXPECT_FALSE(cel.IsEditing());
    EXPECT_EQ(doc->Protocol().m_poCmndList[0]->m_strName, "Lamp:On");
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(TreeShape(Tree()), "Name of Protocol as it will appear in Velmora(Lamp(On))");

    struct Case {
        int row;
        const char* text;
        bool stored;
        const char* shown;
    } cases[] = {
        {0, "Bad]Name", false, "Lamp:On"},
        {0, "", false, "Lamp:On"},
        {1, "two\r\nlines", true, "two lines"},
        {8, "byte, \"b\"", true, "byte, \"b\""},
        {9, "h01", true, "h01"},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        ui.Clear();
        EXPECT_EQ(Grid().StoreEdit(c.row, text), c.stored) << c.text;
        EXPECT_EQ(ui.Texts().empty(), c.stored) << c.text;
        if (!c.stored) {
            EXPECT_EQ(ui.Texts()[0], "A command name must not be empty or contain ']'.");
        }
    }
    const CCmnd& cmd = *doc->Protocol().m_poCmndList[0];
    EXPECT_EQ(cmd.m_strDescription, "two lines");
    EXPECT_EQ(cmd.m_Params[1].m_strText, "byte, \"b\"");
    EXPECT_EQ(cmd.m_strMessage, "h01");
}

TEST_F(PactwrightWindow, TreeCommandsCopyCutPasteNewAndRemove) {
    CPactwrightDoc* doc = NewDocument();
    Focus(&Tree());
    frame->RouteCommand(kNewCommand);
    EXPECT_EQ(TreeShape(Tree()),
              "Name of Protocol as it will appear in Velmora(MessageOut New Command)");
    // A category: Copy explains itself.
    doc->Protocol().m_poCmndList[1]->m_strName = "Lamp:On";
    doc->UpdateAllViews(nullptr, pactwright::kHintRebuild);
    Tree().SelectItem(-1);
    Tree().setCurrentItem(Tree().topLevelItem(0)->child(0)); // "Lamp"
    ui.Clear();
    frame->RouteCommand(kEditCopy);
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"I can't do that with a group of commands.\n"
                                                   "Please select an individual command to copy "
                                                   "or cut."});
    // Cut MessageOut and paste it: it moves to the end of the list.
    Tree().SelectItem(1);
    frame->RouteCommand(kEditCut);
    ASSERT_EQ(doc->Protocol().m_poCmndList.size(), 1u);
    frame->RouteCommand(kEditPaste);
    ASSERT_EQ(doc->Protocol().m_poCmndList.size(), 2u);
    EXPECT_EQ(doc->Protocol().m_poCmndList[1]->m_strName, "MessageOut");
    EXPECT_EQ(doc->Protocol().m_poCmndList[1]->m_nParamCount, 2);
    // Remove asks; No keeps it, Yes removes it and its empty category.
    Tree().SelectItem(1);
    ui.QueueAnswer(platform::MsgResult::No);
    frame->RouteCommand(kRemoveCommand);
    EXPECT_EQ(doc->Protocol().m_poCmndList.size(), 2u);
    EXPECT_EQ(ui.Texts().back(),
              "Are you sure you want to delete the entire command\n\n\" On \" ?\n");
    ui.QueueAnswer(platform::MsgResult::Yes);
    frame->RouteCommand(kRemoveCommand);
    EXPECT_EQ(TreeShape(Tree()), "Name of Protocol as it will appear in Velmora(MessageOut)");
}

TEST_F(PactwrightWindow, TwoWindowsKeepTheirGridsRightAfterCutRemoveAndRename) {
    CPactwrightDoc* doc = NewDocument();
    for (const char* name : {"A:1", "B:2"}) {
        doc->Protocol().m_poCmndList.push_back(std::make_unique<CCmnd>(name));
    }
    doc->UpdateAllViews(nullptr, pactwright::kHintRebuild);
    QMdiSubWindow* first = frame->MdiClient()->activeSubWindow();
    frame->RouteCommand(kWindowNew);
    QMdiSubWindow* second = frame->MdiClient()->activeSubWindow();
    ASSERT_NE(first, second);
    EXPECT_EQ(doc->Views().size(), 4u);
    CChildFrame* one = Content(first);
    CChildFrame* two = Content(second);
    two->LeftView()->SelectItem(3); // B:2
    one->LeftView()->SelectItem(1); // MessageOut
    EXPECT_EQ(Column(*two->RightView(), 1)[0], "B:2");

    // Cut in window one: window two shows B:2 under its new number.
    frame->MdiClient()->setActiveSubWindow(first);
    Focus(one->LeftView());
    frame->RouteCommand(kEditCut);
    EXPECT_EQ(two->RightView()->ShownItem(), 2);
    EXPECT_EQ(Column(*two->RightView(), 1)[0], "B:2");
    EXPECT_EQ(one->RightView()->ShownItem(), 0) << "its own command is gone: the device";

    // A rename in window one reaches window two's grid and both trees.
    one->LeftView()->SelectItem(2);
    std::string name = "C:3";
    ASSERT_TRUE(one->RightView()->StoreEdit(0, name));
    EXPECT_EQ(Column(*two->RightView(), 1)[0], "C:3");
    EXPECT_EQ(TreeShape(*two->LeftView()), TreeShape(*one->LeftView()));
    EXPECT_EQ(two->LeftView()->SelectedItem(), 2);

    // Removing it leaves window two on the device.
    ui.QueueAnswer(platform::MsgResult::Yes);
    frame->RouteCommand(kRemoveCommand);
    EXPECT_EQ(two->RightView()->ShownItem(), 0);
    EXPECT_EQ(Column(*two->RightView(), 0).size(), 18u);
}

TEST_F(PactwrightWindow, ParametersByteLinesAndCellText) {
    CPactwrightDoc* doc = NewDocument();
    Tree().SelectItem(1);
    Focus(&Grid());
    CCmnd& cmd = *doc->Protocol().m_poCmndList[0];
    for (int i = 0; i < 9; ++i)
        frame->RouteCommand(kNewParam);
    EXPECT_EQ(cmd.m_nParamCount, 10);
    EXPECT_EQ(cmd.m_Params[9].m_strText, "New Param");
    frame->RouteCommand(kNewByte);
    EXPECT_EQ(cmd.m_nByteCount, 1);
    EXPECT_EQ(Grid().Grid().GetRowCount(), 7 + 10 + 1 + 1);

    // Remove Param2: the third moves up.
    pactwright::ProtocolCel& cel = Grid().Grid();
    cel.MoveActiveCell(1, 8);
    frame->RouteCommand(kRemoveParam);
    EXPECT_EQ(cmd.m_nParamCount, 9);
    EXPECT_EQ(cmd.m_Params[1].m_strText, "New Param");

    // Cell text through the clipboard: Copy the Message, Paste it into Param1 with a line break.
    const int message = cel.GetRowCount() - 1;
    cel.MoveActiveCell(1, message);
    frame->RouteCommand(kEditCopy);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "@string(param2)");
    QApplication::clipboard()->setText(QStringLiteral("byte,\r\n\"x\""));
    cel.MoveActiveCell(1, 7);
    frame->RouteCommand(kEditPaste);
    EXPECT_EQ(cmd.m_Params[0].m_strText, "byte, \"x\"");
    // Cut empties the cell; Delete likewise; nothing in column 0.
    frame->RouteCommand(kEditCut);
    EXPECT_EQ(cmd.m_Params[0].m_strText, "");
    cel.MoveActiveCell(0, message);
    ui.Clear();
    frame->RouteCommand(kEditCut);
    EXPECT_EQ(cmd.m_strMessage, "@string(param2)");
    QApplication::clipboard()->clear();
    cel.MoveActiveCell(1, 2);
    frame->RouteCommand(kEditPaste);
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"There was no Text in the clipboard"});
}

TEST_F(PactwrightWindow, SaveAsThenReopenFromTheRecentFilesActivatesTheWindow) {
    CPactwrightDoc* doc = NewDocument();
    doc->SetModifiedFlag(true);
    const std::string path = dir.filePath("Mine.pcl").toStdString();
    ui.QueueDialog([&](platform::DialogRequest& r) {
        auto& save = dynamic_cast<CSaveAsDlg&>(r);
        EXPECT_EQ(save.path, "Pactwr1");
        save.path = path;
        return true;
    });
    frame->RouteCommand(kFileSave);
    EXPECT_TRUE(fs::exists(path));
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(app.RecentFiles().Entries(), std::vector<std::string>{path});

    // The recent file is open already: its window comes forward, no second document.
    frame->RouteCommand(kFileNew);
    ASSERT_NE(frame->ActiveDocument(), doc);
    frame->RouteCommand(kFileMru1);
    EXPECT_EQ(frame->ActiveDocument(), doc);
    EXPECT_EQ(frame->Template().Documents().size(), 2u);

    // Closing a modified new document asks about "Untitled".
    frame->RouteCommand(kFileNew);
    frame->ActiveDocument()->SetModifiedFlag(true);
    ui.Clear();
    ui.QueueAnswer(platform::MsgResult::No);
    frame->RouteCommand(kFileClose);
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Save changes to Untitled?"});
    QApplication::processEvents();
    EXPECT_EQ(frame->Template().Documents().size(), 2u);
}

TEST_F(PactwrightWindow, PrintsTheListingToPdfFromEitherPane) {
    CPactwrightDoc* doc = NewDocument();
    doc->Protocol().m_strAuthor = "Pat Author";
    for (int i = 0; i < 60; ++i) {
        auto cmd = std::make_unique<CCmnd>("Cat:Command" + std::to_string(i));
        cmd->m_Params[0].m_strText = "byte";
        cmd->m_nParamCount = 1;
        doc->Protocol().m_poCmndList.push_back(std::move(cmd));
    }
    std::string pdf;
    frame->Printing().askPrinter = [&](QPrinter& printer, QWidget*, bool) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        return true;
    };
    for (QWidget* pane : {static_cast<QWidget*>(&Tree()), static_cast<QWidget*>(&Grid())}) {
        pdf = dir.filePath(pane == &Tree() ? "tree.pdf" : "grid.pdf").toStdString();
        Focus(pane);
        frame->RouteCommand(kFilePrint);
        const int pages = testing_support::PdfPages(pdf);
        ASSERT_GE(pages, 2);
        const std::string text = testing_support::PdfText(pdf);
        EXPECT_NE(text.find("Protocol Listing"), std::string::npos);
        EXPECT_NE(text.find("Page 1 of " + std::to_string(pages)), std::string::npos);
        EXPECT_NE(text.find("Page " + std::to_string(pages) + " of " + std::to_string(pages)),
                  std::string::npos);
        EXPECT_NE(text.find("Brevant Velmora"), std::string::npos);
        EXPECT_NE(text.find("Pat Author"), std::string::npos);
        EXPECT_NE(text.find("Protocol: Name of Protocol"), std::string::npos);
        EXPECT_NE(text.find("Cat:Command59"), std::string::npos);
        EXPECT_NE(text.find("Param01:     byte"), std::string::npos);
        EXPECT_EQ(text.find('['), std::string::npos) << "section lines lose their brackets";
    }
}

} // namespace
