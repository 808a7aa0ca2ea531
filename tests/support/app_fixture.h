// An application object for tests: the shipped products and protocols loaded from the source
// tree's data folder (the event protocol with its commands). Scripts made with App() reach it
// as their services; no serial port is counted, so a clean compile goes no further than
// "Communications Offline" unless a test puts its own download entries in place.
#pragma once

#include "app/vl_app.h"

namespace testing_support {

class AppFixture {
public:
    AppFixture();
    ~AppFixture();
    AppFixture(const AppFixture&) = delete;
    AppFixture& operator=(const AppFixture&) = delete;

    CVLApp& App() { return app_; }

    // The source tree's data folder (products, protocols).
    static std::string DataDir();

private:
    CVLApp app_;
};

} // namespace testing_support
