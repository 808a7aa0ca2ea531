// The dialogs the event grids open: "Time Wizard" (159), "Resource List" (176), the available
// events list (148), the data field help (165) and "Remark Help" (153). Controls are named
// "ctl_<id>". Each takes its request's fields on opening and gives them back on OK.
#pragma once

#include "views/sequences/event_dialog_requests.h"
#include "views/sequences/event_wizard_lists.h"

#include <QDialog>
#include <QListWidget>
#include <QRect>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
namespace platform::qt {
class ViewRegistry;
}

// A sorted list whose typed characters select the first entry that begins with one of its
// prefixes followed by what was typed.
class PrefixTypeAheadList : public QListWidget {
public:
    PrefixTypeAheadList(std::vector<std::string> prefixes, QWidget* parent = nullptr);
    void SetEntries(const std::vector<std::string>& entries);
    // A character typed into the list (also the dialog's initial character).
    void ForwardChar(int c);
    std::string CurrentEntry() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::vector<std::string> prefixes_;
    std::vector<std::string> entries_;
    std::string typed_;
};

class CEvntWizTimeDlg : public QDialog {
public:
    CEvntWizTimeDlg(TimeWizardRequest& request, QWidget* parent = nullptr);
    void accept() override;
    // The radio buttons' effect on the labels and fields.
    void Choose(int choice);
    void OnTips();

private:
    TimeWizardRequest& request_;
    QRadioButton* radios_[4];
    QLabel* firstLabel_;     // 275
    QLineEdit* first_;       // 274
    QLabel* incrementLabel_; // 279
    QLineEdit* increment_;   // 277
    QCheckBox* skipZero_;    // 280
    QLabel* length_;         // 345
    QCheckBox* seconds_;     // 347
};

class DCResource : public QDialog {
public:
    DCResource(ResourceListRequest& request, QWidget* parent = nullptr);
    void accept() override;
    PrefixTypeAheadList* List() const { return list_; }
    QLabel* Comment() const { return comment_; }

private:
    void ShowComment();
    ResourceListRequest& request_;
    PrefixTypeAheadList* list_;
    QLabel* comment_;
};

class CAvailEventsListDlg : public QDialog {
public:
    CAvailEventsListDlg(EventsListRequest& request, QWidget* parent = nullptr);
    void accept() override;
    PrefixTypeAheadList* List() const { return list_; }

private:
    void ShowVariations();
    EventsListRequest& request_;
    eventwizard::EventsList events_;
    PrefixTypeAheadList* list_;
    QLabel* protocol_;
    QPlainTextEdit* variations_;
};

class CEWDataDlg : public QDialog {
public:
    CEWDataDlg(DataFieldRequest& request, QWidget* parent = nullptr);
};

class CEvntWizRemDlg : public QDialog {
public:
    CEvntWizRemDlg(RemarkRequest& request, QWidget* parent = nullptr);
    void accept() override;

private:
    RemarkRequest& request_;
    QRadioButton* rem_;
    QRadioButton* keep_;
};

// Registers the five dialogs as the handlers of their requests.
void RegisterEventDialogs(platform::qt::ViewRegistry& registry);
