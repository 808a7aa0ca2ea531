// One QApplication for a GUI test program, on the offscreen platform unless the environment
// names another, made before the first test and destroyed after the last (before the program's
// exit handlers run). Include it in any test file of the program; QtTestApp() (or
// testsupport::QtApp()) answers it.
// Its font is fixed (DejaVu Sans, 12 pixels) so that pictures do not depend on the machine's
// font configuration; tests still take sizes from QFontMetrics.
#pragma once

#include <QApplication>
#include <QFont>
#include <QImage>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

namespace qt_testing {

inline std::unique_ptr<QApplication>& QtAppHolder() {
    static std::unique_ptr<QApplication> app;
    return app;
}

inline QApplication& QtTestApp() {
    if (!QtAppHolder()) {
        static int argc = 1;
        static char name[] = "tests";
        static char* argv[] = {name, nullptr};
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        QtAppHolder() = std::make_unique<QApplication>(argc, argv);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(12);
        QApplication::setFont(font);
    }
    return *QtAppHolder();
}

class QtAppEnvironment : public ::testing::Environment {
public:
    void SetUp() override { QtTestApp(); }
    void TearDown() override { QtAppHolder().reset(); }
};

inline ::testing::Environment* const kQtAppEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtAppEnvironment); // owned by the test framework

// A picture to paint on: opaque, filled with one colour (0xAARRGGBB).
inline QImage BlankImage(int width, int height, unsigned fill = 0xFFFFFFFF) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(fill);
    return image;
}

// A pixel as 0xRRGGBB, for comparison with colours written that way.
inline unsigned Pixel(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFF;
}

// A pixel as a COLORREF (0x00BBGGRR), for comparison with the tables' colours.
inline unsigned PixelRef(const QImage& image, int x, int y) {
    const unsigned rgb = image.pixel(x, y);
    return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

} // namespace qt_testing

namespace testsupport {

inline QApplication& QtApp() {
    return qt_testing::QtTestApp();
}

// Constructs the application before any widget member of a fixture.
struct QtAppFirst {
    QtAppFirst() { QtApp(); }
};

} // namespace testsupport
