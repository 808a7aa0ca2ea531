// "Compiler Error Message": one compile message shown again while the user repairs the fault,
// above all windows, at the place the script remembers for it. It belongs to one script: its
// buttons and its moves act on that script whatever window is active.
#pragma once

#include "platform/doc_template.h"

#include <QDialog>
#include <QPointer>
#include <string>
#include <utility>

class CVLDoc;
class QLabel;
class QPushButton;

class CCmpErrorDlg : public QDialog {
public:
    explicit CCmpErrorDlg(CVLDoc& doc, QWidget* owner = nullptr);
    // Creates the window, places it and shows it.
    void CreateModeless();
    void SetLocationLine(const std::string& text);
    void SetEventLine(const std::string& text);
    void SetMessageText(const std::string& text);
    void OnCancel();
    void OnBackToErrorList();
    CVLDoc& Script() const { return doc_; }

    // A message over 60 characters is cut at the last blank among its first 60 (the blank shows
    // on neither line); without one it stays whole on the first line.
    static std::pair<std::string, std::string> SplitMessage(const std::string& text);

protected:
    void reject() override { OnCancel(); }
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void StorePosition();
    // Places the lines and buttons so that every line shows whole in the dialog's font.
    void FitToText();

    CVLDoc& doc_;
    bool placed_ = false;
    QLabel* location_;
    QLabel* eventLine_;
    QLabel* message1_;
    QLabel* message2_;
    QPushButton* close_;
    QPushButton* back_;
};

// The script's handle on its dialog: letting it go closes the window (after the event being
// handled, so a button may close its own dialog).
class CmpErrorDlgHandle : public platform::ModelessWindow {
public:
    explicit CmpErrorDlgHandle(CCmpErrorDlg* dialog) : dialog_(dialog) {}
    ~CmpErrorDlgHandle() override;
    CCmpErrorDlg* Dialog() const { return dialog_; }

private:
    QPointer<CCmpErrorDlg> dialog_;
};

// The error dialog a script holds, or null.
CCmpErrorDlg* ErrorDialogOf(const CVLDoc& doc);
