// The LCD wizards: an LCD string's two display lines as two plain edits of the display's width,
// with a box per line that forces it blank.
#pragma once

#include <QDialog>
#include <string>

class CLimitEdit;
class QCheckBox;

class CLcdWizardDlg : public QDialog {
public:
    // Line 1 and line 2 as entered, and whether each is forced blank.
    std::string m_strLine1;
    std::string m_strLine2;
    int m_nForceBlank1 = 0;
    int m_nForceBlank2 = 0;

    // Shows the members in the controls (the dialog's first step); call before exec.
    void OnInitDialog();
    void accept() override;
    int Width() const { return width_; }
    CLimitEdit* Line(int i) const { return i == 0 ? line1_ : line2_; }
    QCheckBox* Box(int i) const { return i == 0 ? box1_ : box2_; }

protected:
    CLcdWizardDlg(int width, const char* title, const char* instruction, QWidget* parent);

private:
    int width_;
    CLimitEdit* line1_;
    CLimitEdit* line2_;
    QCheckBox* box1_;
    QCheckBox* box2_;
};

// Two lines of 40 characters (template 155).
class CLargeLcdDlg : public CLcdWizardDlg {
public:
    explicit CLargeLcdDlg(QWidget* parent = nullptr);
};

// Two lines of 16 characters (template 156).
class CSmallLcdDlg : public CLcdWizardDlg {
public:
    explicit CSmallLcdDlg(QWidget* parent = nullptr);
};
