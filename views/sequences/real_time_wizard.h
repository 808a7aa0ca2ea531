// The Real Time Wizard (dialog 409): a show recorded from key presses. Each key pressed on the
// list becomes a row at the clock's time with the event the key table (rtwiz.cfg) assigns to
// the key, and can be sent to the controller at once. Closing turns the rows into a new
// sequence "RTWizSequence". The key list (dialog 410) shows the table.
#pragma once

#include "views/sequences/clock_dialog.h"
#include "views/sequences/rtwiz_key_table.h"

#include <QDialog>
#include <filesystem>
#include <optional>

class CYNGridList;
class QCheckBox;
namespace platform::qt {
class ToolRegistry;
}

// The key table read for a dialog: rtwiz.cfg found where it is looked for, or the message that
// the wizard cannot work without it (the dialog goes on with no assignments).
rtwiz::KeyTable LoadWizardKeyTable();
inline constexpr const char* kNoKeyTable =
    "I can't execute the Real Time Wizard without an RTWIZ.CFG file in the Velmora directory.";

class DCRTWizKeyAssign : public QDialog {
public:
    explicit DCRTWizKeyAssign(QWidget* parent = nullptr);
    CYNGridList* List() const { return list_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    CYNGridList* list_;
};

class CDRTWiz : public ClockDialog {
public:
    CDRTWiz(CVLDoc& doc, QWidget* parent = nullptr);

    CYNGridList* List() const { return list_; }
    QCheckBox* SendEventsCheck() const { return sendEvents_; }
    int RecordedRows() const { return rows_; }
    const rtwiz::KeyTable& Keys() const { return keys_; }

    // The list's key notice: a key with a 7-bit character records a row.
    void OnListKeyDown(int virtualKey, int character);
    void OnClearAll();
    void OnViewCfg();
    void CreateRTWizSequence();
    // "Close", Escape and the close box: the rows may become a sequence first.
    void reject() override;

protected:
    void FocusList() override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    CYNGridList* list_;
    QCheckBox* sendEvents_;
    rtwiz::KeyTable keys_;
    int rows_ = 0;
    bool closing_ = false;
};

// Registers the Real Time Wizard (32906) and the cue list (32889) as tools of the main frame.
void RegisterSequenceTools(platform::qt::ToolRegistry& tools);
