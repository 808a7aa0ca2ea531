// A single-line edit that refuses typing beyond a number of characters and takes Enter as a
// request to leave the field.
#pragma once

#include <QLineEdit>

class CLimitEdit : public QLineEdit {
public:
    explicit CLimitEdit(QWidget* parent = nullptr) : QLineEdit(parent) {}

    void SetLimit(int limit) { limit_ = limit; }
    int Limit() const { return limit_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Not QLineEdit's maximum length: pasted text is taken whole.
    int limit_ = 256;
};
