// An application object for tests: the shipped products and protocols loaded from the source
// tree's data folder (the event protocol with its commands), installed as the process-wide
// application for the fixture's life.
#pragma once

#include "app/vl_app.h"

namespace testing_support {

class AppFixture {
public:
    AppFixture();  // loads and installs
    ~AppFixture(); // restores the application installed before
    AppFixture(const AppFixture&) = delete;
    AppFixture& operator=(const AppFixture&) = delete;

    CVLApp& App() { return app_; }

    // The source tree's data folder (products, protocols).
    static std::string DataDir();

private:
    CVLApp app_;
    CVLApp* previous_ = nullptr;
};

} // namespace testing_support
