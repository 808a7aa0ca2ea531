// Puts the C library and the C++ global locale on a locale whose decimal separator is a comma
// for a scope, so a test can show that number texts do not follow it. When the machine has no
// such locale, one is made with localedef in a folder of the test run's own (LOCPATH); only
// without localedef is there none, and Available() says why.
#pragma once

#include <locale>
#include <string>

namespace testing_support {

class DecimalCommaLocale {
public:
    DecimalCommaLocale();
    ~DecimalCommaLocale();
    DecimalCommaLocale(const DecimalCommaLocale&) = delete;
    DecimalCommaLocale& operator=(const DecimalCommaLocale&) = delete;

    bool Available() const { return active_; }
    // Why there is no such locale (empty while Available()).
    const std::string& Why() const { return why_; }

private:
    std::locale savedGlobal_;
    std::string savedC_;
    bool active_ = false;
    std::string why_;
};

} // namespace testing_support
