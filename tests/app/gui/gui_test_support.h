// Driving modal dialogs from tests: a step runs once the dialog is up and closes it.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace guitest {

// Runs `step` on the next modal dialog that opens (polling until it does).
inline void WhenModal(std::function<void(QDialog&)> step) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, step = std::move(step)] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            step(*dialog);
        }
    });
    timer->start();
}

template <typename T = QWidget> T* Control(QWidget& parent, int id) {
    return parent.findChild<T*>(QStringLiteral("ctl_%1").arg(id));
}

inline void Click(QWidget& parent, int id) {
    if (auto* button = Control<QAbstractButton>(parent, id))
        button->click();
}

} // namespace guitest
