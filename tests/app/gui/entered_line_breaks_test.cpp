// Line breaks as a user brings them into the real main window: pasted into a cell editor of
// every table kind, or pasted as an events block, a CR, an LF or a CR LF is stored as one
// blank, and the script saved and opened again keeps its sequences and events.
#include "controls/grid/cel_parts.h"
#include "script/event_clipboard.h"
#include "script/product.h"
#include "script/text_utils.h"
#include "script/view_kind.h"
#include "tests/app/gui/main_window_fixture.h"
#include "views/common/vl_view.h"
#include "views/gridbase/vl_cel_ctrl.h"

#include <QClipboard>
#include <QMimeData>
#include <QTest>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

struct Structure {
    std::vector<std::string> names;
    std::vector<std::size_t> events;
    std::size_t lcdStrings = 0;
    bool operator==(const Structure&) const = default;
    friend std::ostream& operator<<(std::ostream& out, const Structure& s) {
        for (std::size_t i = 0; i < s.names.size(); ++i)
            out << "[" << s.names[i] << ": " << s.events[i] << " events] ";
        return out << s.lcdStrings << " LCD strings";
    }
};

Structure StructureOf(const CVLDoc& doc) {
    Structure s;
    for (const auto& seq : doc.m_poSeqList) {
        s.names.push_back(NormalizeName(seq->m_strName, true)); // as the file writes names
        s.events.push_back(seq->m_poEventList.size());
    }
    s.lcdStrings = doc.m_poLcdStrList.size();
    return s;
}

bool HasLineBreak(const std::string& text) {
    return text.find_first_of("\r\n") != std::string::npos;
}

struct EnteredLineBreaks : guitest::MainWindowFixture {
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(StartWindow([this](CVLFrame&) { ScriptUi(); }, true));
        doc_ = OpenScript();
        QCoreApplication::processEvents();
    }
    CVLView* ViewOf(const char* viewClass) {
        for (platform::View* view : doc_->Views())
            if (std::string_view(view->ViewClassName()) == viewClass)
                return dynamic_cast<CVLView*>(view);
        return nullptr;
    }
    // The script saved and read into a new document, as opening it again would.
    std::unique_ptr<CVLDoc> SavedAndReopened() {
        const std::string path = (install.Root() / "SCRIPTS/Edited.ksf").string();
        EXPECT_TRUE(doc_->OnSaveDocument(path));
        std::ifstream in(path, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), {});
        auto reopened = std::make_unique<CVLDoc>(app);
        reopened->LoadFileBuffer(text);
        EXPECT_TRUE(reopened->ReadScript(path));
        reopened->FreeFileBuffer();
        return reopened;
    }

    CVLDoc* doc_ = nullptr;
};

struct Text {
    const char* entered;
    const char* stored;
};
constexpr Text kTexts[] = {
    {"note\rmore", "note more"},
    {"note\nmore", "note more"},
    {"note\r\nmore", "note more"},
    {"note\r\n 00:09.00 Nop\r\n[Sequence: Injected]\r\n 00:00.00 Nop",
     "note  00:09.00 Nop [Sequence: Injected]  00:00.00 Nop"},
};

// A cell of a table, and the model text it edits.
struct Cell {
    const char* table;
    unsigned command; // opens the table; 0 when it is open with the script
    int column;
    int row;
    std::function<const std::string&(CVLDoc&)> field;
};

TEST_F(EnteredLineBreaks, PastedIntoEveryTableKindsCellEditor) {
    ASSERT_NE(doc_, nullptr);
    const Cell cells[] = {
        {"CSeqListView", 0, 2, 0,
         [](CVLDoc& d) -> const std::string& { return d.m_poSeqList[0]->m_strName; }},
        {"CSeqListView", 0, 4, 1,
         [](CVLDoc& d) -> const std::string& { return d.m_poSeqList[1]->m_strDescription; }},
        {"CEvntView", 1, 1, 0,
         [](CVLDoc& d) -> const std::string& {
             return d.m_poSeqList[0]->m_poEventList[0]->m_strLabel;
         }},
        {"CEvntView", 1, 4, 0,
         [](CVLDoc& d) -> const std::string& {
             return d.m_poSeqList[0]->m_poEventList[0]->m_strData1;
         }},
        {"CEvntView", 1, 8, 0,
         [](CVLDoc& d) -> const std::string& {
             return d.m_poSeqList[0]->m_poEventList[0]->m_strComment;
         }},
        {"CLcdStrView", vl_ids::kLcdStrings, 0, 0,
         [](CVLDoc& d) -> const std::string& { return d.m_poLcdStrList[0]->m_strName; }},
        {"CLcdStrView", vl_ids::kLcdStrings, 1, 1,
         [](CVLDoc& d) -> const std::string& { return d.m_poLcdStrList[1]->m_strData; }},
        {"CLcdStrView", vl_ids::kLcdStrings, 2, 0,
         [](CVLDoc& d) -> const std::string& { return d.m_poLcdStrList[0]->m_strComment; }},
        {"CInputView", vl_ids::kInputs, 0, 2,
         [](CVLDoc& d) -> const std::string& { return d.m_pProduct->m_Inputs[2].m_strName; }},
        {"CInputView", vl_ids::kInputs, 1, 2,
         [](CVLDoc& d) -> const std::string& { return d.m_pProduct->m_Inputs[2].m_strComment; }},
    };
    for (const Text& text : kTexts) {
        for (const Cell& cell : cells) {
            SCOPED_TRACE(std::string(cell.table) + " column " + std::to_string(cell.column));
            if (cell.command == 1) {
                window->Services().OpenView(*doc_, kEventEditorKind, doc_->m_poSeqList[0].get());
            } else if (cell.command) {
                ASSERT_TRUE(window->RouteCommand(cell.command));
            }
            QCoreApplication::processEvents();
            CVLView* view = ViewOf(cell.table);
            ASSERT_NE(view, nullptr);
            VLCELCtrl& grid = *view->Grid();
            ASSERT_EQ(grid.StartEdit(cell.column, cell.row, 0), 0);
            CELEdit* editor = grid.Editor();
            ASSERT_TRUE(editor && editor->isVisible());
            QApplication::clipboard()->setText(QString::fromLatin1(text.entered));
            editor->selectAll();
            editor->paste();
            QTest::keyClick(editor, Qt::Key_Return);
            QCoreApplication::processEvents();
            EXPECT_FALSE(grid.IsEditing());
            const std::string& stored = cell.field(*doc_);
            EXPECT_FALSE(HasLineBreak(stored)) << stored;
            EXPECT_NE(stored.find("note"), std::string::npos) << stored;
        }
        Structure before = StructureOf(*doc_);
        auto reopened = SavedAndReopened();
        Structure after = StructureOf(*reopened);
        // The header of a sequence ends at the first ']': a name holding one comes back cut
        // there, which is a matter of names, not of line breaks.
        EXPECT_EQ(before.names[0].substr(0, after.names[0].size()), after.names[0]);
        before.names[0] = after.names[0];
        EXPECT_EQ(after, before) << text.stored;
        for (const Cell& cell : cells)
            EXPECT_FALSE(HasLineBreak(cell.field(*reopened)));
    }
    // Free text keeps the one-line form exactly.
    EXPECT_EQ(doc_->m_poSeqList[0]->m_poEventList[0]->m_strComment, kTexts[3].stored);
}

// An events block from another program: its texts come in with their line breaks as blanks.
TEST_F(EnteredLineBreaks, PastedEventsBlock) {
    ASSERT_NE(doc_, nullptr);
    CEvnt event;
    event.m_strTime = "00:01.00";
    event.m_strEvent = "Nop";
    event.m_strLabel = "Lbl\r\n[Sequence: Injected]";
    event.m_strComment = kTexts[3].entered;
    const CEvnt* events[] = {&event};
    const std::vector<std::uint8_t> block = clipboard::WriteEventsBlock(events);
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(clipboard::kEventsFormat),
                  QByteArray(reinterpret_cast<const char*>(block.data()), qsizetype(block.size())));
    QApplication::clipboard()->setMimeData(data);

    window->Services().OpenView(*doc_, kEventEditorKind, doc_->m_poSeqList[0].get());
    QCoreApplication::processEvents();
    CVLView* view = ViewOf("CEvntView");
    ASSERT_NE(view, nullptr);
    view->Grid()->MoveActiveCell(1, 0);
    const std::size_t count = doc_->m_poSeqList[0]->m_poEventList.size();
    ASSERT_TRUE(window->RouteCommand(vl_ids::kEditPaste));
    QCoreApplication::processEvents();
    ASSERT_EQ(doc_->m_poSeqList[0]->m_poEventList.size(), count + 1);
    const CEvnt* pasted = nullptr;
    for (const auto& e : doc_->m_poSeqList[0]->m_poEventList)
        if (e->m_strEvent == "Nop" && e->m_strTime == "00:01.00")
            pasted = e.get();
    ASSERT_NE(pasted, nullptr);
    EXPECT_EQ(pasted->m_strLabel, "Lbl [Sequence: Injected]");
    EXPECT_EQ(pasted->m_strComment, kTexts[3].stored);

    const Structure before = StructureOf(*doc_);
    EXPECT_EQ(StructureOf(*SavedAndReopened()), before);
}

// The keys of an open cell editor act on its text in every table kind, not on the table: the
// clipboard keys are the frame's accelerators, and the editor takes them.
TEST_F(EnteredLineBreaks, KeysInACellEditorBelongToIt) {
    ASSERT_NE(doc_, nullptr);
    const struct {
        const char* table;
        unsigned command;
        int column;
    } tables[] = {
        {"CSeqListView", 0, 4},
        {"CEvntView", 1, 8},
        {"CLcdStrView", vl_ids::kLcdStrings, 2},
        {"CInputView", vl_ids::kInputs, 1},
        {"CPortView", vl_ids::kPorts, 3},
    };
    QClipboard& clipboard = *QApplication::clipboard();
    for (const auto& t : tables) {
        SCOPED_TRACE(t.table);
        if (t.command == 1) {
            window->Services().OpenView(*doc_, kEventEditorKind, doc_->m_poSeqList[0].get());
        } else if (t.command) {
            ASSERT_TRUE(window->RouteCommand(t.command));
        }
        QCoreApplication::processEvents();
        CVLView* view = ViewOf(t.table);
        ASSERT_NE(view, nullptr);
        VLCELCtrl& grid = *view->Grid();
        ASSERT_EQ(grid.StartEdit(t.column, 0, 0), 0);
        CELEdit* editor = grid.Editor();
        ASSERT_TRUE(editor && editor->isVisible());
        editor->setFocus();
        QCoreApplication::processEvents();
        ASSERT_EQ(QApplication::focusWidget(), editor);
        editor->setPlainText(QStringLiteral("abc def"));
        scripted->Clear();

        QTest::keyClick(editor, Qt::Key_Home);
        EXPECT_EQ(editor->textCursor().position(), 0);
        QTest::keyClick(editor, Qt::Key_End);
        EXPECT_EQ(editor->textCursor().position(), 7);
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        EXPECT_EQ(editor->textCursor().selectedText(), QStringLiteral("abc def"));
        clipboard.clear();
        QTest::keyClick(editor, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(clipboard.text(), QStringLiteral("abc def"));
        QTest::keyClick(editor, Qt::Key_X, Qt::ControlModifier);
        EXPECT_EQ(editor->toPlainText(), QString());
        EXPECT_EQ(clipboard.text(), QStringLiteral("abc def"));
        QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
        clipboard.setText(QStringLiteral("!"));
        QTest::keyClick(editor, Qt::Key_Insert, Qt::ShiftModifier);
        EXPECT_EQ(editor->toPlainText(), QStringLiteral("abc def!"));

        EXPECT_TRUE(grid.IsEditing());
        EXPECT_TRUE(scripted->Texts().empty()) << scripted->Texts().front();
        EXPECT_EQ(QApplication::focusWidget(), editor);
        QTest::keyClick(editor, Qt::Key_Escape);
        QCoreApplication::processEvents();
        EXPECT_FALSE(grid.IsEditing());
    }
    // With no editor open, plain text on the clipboard leaves Paste greyed, and its key does
    // nothing in the event table.
    window->Services().OpenView(*doc_, kEventEditorKind, doc_->m_poSeqList[0].get());
    QCoreApplication::processEvents();
    CVLView* events = ViewOf("CEvntView");
    ASSERT_NE(events, nullptr);
    events->Grid()->MoveActiveCell(8, 0);
    events->Grid()->CellArea()->setFocus();
    QCoreApplication::processEvents();
    clipboard.setText(QStringLiteral("plain text"));
    scripted->Clear();
    const std::size_t count = doc_->m_poSeqList[0]->m_poEventList.size();
    QTest::keyClick(events->Grid()->CellArea(), Qt::Key_V, Qt::ControlModifier);
    QCoreApplication::processEvents();
    EXPECT_TRUE(scripted->Texts().empty()) << scripted->Texts().front();
    EXPECT_EQ(doc_->m_poSeqList[0]->m_poEventList.size(), count);
    EXPECT_FALSE(events->Grid()->IsEditing());
}

} // namespace
