// "Print Grid" (dialog 179: the whole grid or the selected rows) and "Select Items to Print"
// (dialog 175: the sections of the script listing and the range of sequences), with the memory
// of the last choices that lives as long as the program.
#pragma once

#include "controls/dialogkit/data_exchange.h"
#include "platform/qt/exchange_dialog.h"

#include <QDialog>
#include <array>
#include <cstdint>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace printing {

// Run() answers the button pressed; Esc and the window's close button cancel.
class DCPrintGridDlg : public platform::qt::ExchangeDialog<dialogs::DataExchange> {
public:
    enum Result { kPrintGrid = 100, kPrintSelection = 101, kCancel = 2 };
    explicit DCPrintGridDlg(QWidget* parent = nullptr);

protected:
    void DoDataExchange(dialogs::DataExchange&) override {}
};

// The choices "Select Items to Print" starts from: "Sequences" ticked, From 1, To 1, every
// other box clear at start-up. The application keeps one.
struct PrintSelectionMemory {
    // Boxes in the order of the listing's section bits: unit settings, inputs, outputs, flags,
    // variables, ports, LCD strings, strings, sequences.
    std::array<bool, 9> checked{false, false, false, false, false, false, false, false, true};
    int fromSequence = 1;
    int toSequence = 1;

    // The listing's section mask of the ticked boxes.
    std::uint32_t SectionMask() const;
};

// Run() answers kPrint (the choices read into the memory), kPrintAll or kCancel.
class CPrintSelectionDlg : public platform::qt::ExchangeDialog<dialogs::DataExchange> {
public:
    enum Result { kPrint = 1, kPrintAll = 3, kCancel = 2 };
    static constexpr std::uint32_t kAllSections = 0x7FFF;

    CPrintSelectionDlg(PrintSelectionMemory& memory, QWidget* parent = nullptr);
    // In preview the title and the buttons say "Preview".
    void SetPreview(bool preview) { preview_ = preview; }
    // The choices as the dialog closed with Print.
    const PrintSelectionMemory& Choices() const { return memory_; }

protected:
    // The dialog's fields, each once: shown on open, read on Print.
    void DoDataExchange(dialogs::DataExchange& dx) override;
    void OnValuesShown() override;

private:
    // Reads the controls into the memory; false (after the framework's message) when From or
    // To holds no integer.
    bool Save();
    void EnableRange();

    PrintSelectionMemory& memory_;
    bool preview_ = false;
    std::array<QCheckBox*, 9> boxes_{};
    QLineEdit* from_;
    QLineEdit* to_;
    QPushButton* print_;
    QPushButton* printAll_;
};

} // namespace printing
