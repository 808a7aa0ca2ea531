// The base of a modal dialog whose values move by a data exchange: they are shown in the
// controls each time the dialog opens and read back on OK, where a failed check keeps the
// dialog open. The dialog lists its fields once (DoDataExchange) and keeps its values in the
// members it was given; nothing is copied in before exec() or out after it. `Exchange` is the
// dialog kit's data exchange (`Showing()`, `Reading()`, `Failed()`), which platform/qt does
// not know by name.
#pragma once

#include <QDialog>
#include <QShowEvent>
#include <functional>

namespace platform::qt {

template <typename Exchange> class ExchangeDialog : public QDialog {
public:
    using QDialog::QDialog;

    // Where the dialog stands once its values are shown (centred on its parent, say).
    std::function<void(QDialog&)> placement;
    // What a run answers for Esc and the window's close button.
    int cancelled = QDialog::Rejected;

    // The modal run.
    int Run() {
        const int result = exec();
        return result == QDialog::Rejected ? cancelled : result;
    }

    void accept() override {
        Exchange dx = Exchange::Reading();
        DoDataExchange(dx);
        if (dx.Failed() || !Validate())
            return;
        QDialog::accept();
    }

protected:
    virtual void DoDataExchange(Exchange& dx) = 0;
    // After the values are shown: enable, fill or title what depends on them.
    virtual void OnValuesShown() {}
    // After a successful read on OK: false keeps the dialog open.
    virtual bool Validate() { return true; }

    void showEvent(QShowEvent* event) override {
        if (!event->spontaneous()) {
            Exchange dx = Exchange::Showing();
            DoDataExchange(dx);
            OnValuesShown();
            if (placement)
                placement(*this);
        }
        QDialog::showEvent(event);
    }
};

} // namespace platform::qt
