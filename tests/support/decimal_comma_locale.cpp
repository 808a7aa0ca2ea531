#include "tests/support/decimal_comma_locale.h"

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string_view>
#include <system_error>
#include <unistd.h>

// The C library keeps the search path of a LOCPATH locale for the life of the process, which
// the leak checker would report at exit.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:argz_add_sep\n"; // __argz_add_sep with gcc, argz_add_sep with clang
}

namespace testing_support {

namespace {

namespace fs = std::filesystem;

constexpr const char* kLocale = "de_DE.UTF-8";

bool CommaNow() {
    const std::lconv* conv = std::localeconv();
    return conv && std::string_view(conv->decimal_point) == ",";
}

bool TrySet(const char* name) {
    return std::setlocale(LC_ALL, name) != nullptr && CommaNow();
}

// The folder of made locales, shared by the test programs of this user: the first run makes the
// locale (a few seconds), the others find it. A run builds in a folder of its own and moves the
// result in place, so parallel runs never see half a locale.
std::string MakeLocale(std::string& why) {
    const char* const candidates[] = {"/usr/bin/localedef", "/usr/sbin/localedef",
                                      "/bin/localedef"};
    const char* localedef = nullptr;
    for (const char* path : candidates)
        if (::access(path, X_OK) == 0)
            localedef = path;
    if (!localedef) {
        why = "no decimal-comma locale is installed and localedef is missing";
        return {};
    }
    std::error_code ec;
    const fs::path base =
        fs::temp_directory_path(ec) / ("velmora-test-locales-" + std::to_string(::getuid()));
    const fs::path target = base / kLocale;
    if (!fs::exists(target / "LC_NUMERIC", ec)) {
        const fs::path own = base / ("build-" + std::to_string(::getpid()));
        fs::create_directories(own, ec);
        const std::string command = std::string(localedef) + " -i de_DE -f UTF-8 '" +
                                    (own / kLocale).string() + "' >/dev/null 2>&1";
        const int status = std::system(command.c_str());
        // localedef answers 1 for warnings with a usable locale.
        if (fs::exists(own / kLocale / "LC_NUMERIC", ec) && status != -1)
            fs::rename(own / kLocale, target, ec); // another run may have won: either is fine
        fs::remove_all(own, ec);
    }
    if (!fs::exists(target / "LC_NUMERIC", ec)) {
        why = "localedef could not make " + std::string(kLocale);
        return {};
    }
    return base.string();
}

} // namespace

DecimalCommaLocale::DecimalCommaLocale() {
    savedC_ = std::setlocale(LC_ALL, nullptr);
    if (!TrySet(kLocale)) {
        const std::string folder = MakeLocale(why_);
        if (folder.empty()) {
            std::setlocale(LC_ALL, savedC_.c_str());
            return;
        }
        ::setenv("LOCPATH", folder.c_str(), 1);
        if (!TrySet(kLocale)) {
            why_ = "the made locale " + std::string(kLocale) + " does not load";
            std::setlocale(LC_ALL, savedC_.c_str());
            return;
        }
    }
    // Streams follow the C++ global locale; setting it also sets the C library's again.
    try {
        std::locale::global(std::locale(kLocale));
    } catch (const std::runtime_error&) {
        // The C library's locale alone still shows the fault of printf and strtod.
    }
    active_ = CommaNow();
    if (!active_)
        why_ = std::string(kLocale) + " has no decimal comma";
}

DecimalCommaLocale::~DecimalCommaLocale() {
    std::locale::global(savedGlobal_);
    std::setlocale(LC_ALL, savedC_.c_str());
}

} // namespace testing_support
