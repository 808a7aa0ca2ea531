// The program's icon replaced by a plain red swatch for one test and put back after it, so a
// test can tell the program's icon from a window's own (a blue swatch, say).
#pragma once

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>

namespace testsupport {

inline QIcon Swatch(Qt::GlobalColor colour) {
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

// An icon as a picture, to compare two icons by what they show.
inline QImage IconPicture(const QIcon& icon) {
    return icon.pixmap(16).toImage();
}

class ProgramIconSwatch {
public:
    ProgramIconSwatch() : before_(QApplication::windowIcon()) {
        QApplication::setWindowIcon(Swatch(Qt::red));
    }
    ~ProgramIconSwatch() { QApplication::setWindowIcon(before_); }
    ProgramIconSwatch(const ProgramIconSwatch&) = delete;
    ProgramIconSwatch& operator=(const ProgramIconSwatch&) = delete;

    QImage Picture() const { return IconPicture(Swatch(Qt::red)); }

private:
    QIcon before_;
};

} // namespace testsupport
