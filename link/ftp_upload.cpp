#include "link/ftp_upload.h"

#include "link/log_format.h"
#include "platform/ui_services.h"

#include <atomic>
#include <charconv>
#include <cstring>
#include <curl/curl.h>
#include <memory>
#include <mutex>

namespace showlink {

namespace {

std::atomic<int> g_ftpPort{kFtpDefaultPort};

struct CurlDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct SlistDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
struct MultiDeleter {
    void operator()(CURLM* handle) const { curl_multi_cleanup(handle); }
};

// One request of the session through the multi interface, polled in short waits so that the
// windows repaint meanwhile (the easy interface's progress calls thin out to about one a
// second while nothing moves). The multi handle keeps the session's connection between
// requests.
CURLcode Perform(CURLM* multi, CURL* h) {
    if (curl_multi_add_handle(multi, h) != CURLM_OK)
        return CURLE_FAILED_INIT;
    CURLcode result = CURLE_OK;
    for (int running = 1; running > 0;) {
        if (curl_multi_perform(multi, &running) != CURLM_OK) {
            result = CURLE_FAILED_INIT;
            break;
        }
        if (running > 0 &&
            curl_multi_poll(multi, nullptr, 0, int(platform::kPaintPumpPeriod.count() / 2),
                            nullptr) != CURLM_OK) {
            result = CURLE_FAILED_INIT;
            break;
        }
        platform::PumpPaintIfDue();
    }
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &left))
        if (message->msg == CURLMSG_DONE && message->easy_handle == h)
            result = message->data.result;
    curl_multi_remove_handle(multi, h);
    return result;
}

bool GlobalInit() {
    static std::once_flag once;
    static CURLcode code = CURLE_OK;
    std::call_once(once, [] { code = curl_global_init(CURL_GLOBAL_DEFAULT); });
    return code == CURLE_OK;
}

// Four decimal numbers 0-255 separated by points, nothing else: the address goes into a URL.
bool IsDottedQuad(const std::string& text) {
    const char* p = text.data();
    const char* end = p + text.size();
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (p == end || *p != '.') {
                return false;
            }
            ++p;
        }
        unsigned value = 0;
        const auto result = std::from_chars(p, end, value);
        if (result.ec != std::errc() || result.ptr == p || result.ptr - p > 3 || value > 255) {
            return false;
        }
        p = result.ptr;
    }
    return p == end;
}

struct Source {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t offset = 0;
};

size_t ReadSource(char* buffer, size_t size, size_t count, void* user) {
    auto* source = static_cast<Source*>(user);
    const std::size_t n = std::min(size * count, source->size - source->offset);
    if (n > 0) {
        std::memcpy(buffer, source->data + source->offset, n);
        source->offset += n;
    }
    return n;
}

std::string ErrorText(CURLcode code, const char* buffer) {
    return buffer[0] != '\0' ? std::string(buffer) : std::string(curl_easy_strerror(code));
}

} // namespace

int FtpPort() {
    return g_ftpPort.load();
}

int SetFtpPort(int port) {
    return g_ftpPort.exchange(port);
}

bool UploadByFtp(const CQuenlowList& devices, int deviceIndex, const std::string& localName,
                 const std::uint8_t* data, std::size_t size, const TransferLog& log, int port) {
    const CQuenlowOb* device = devices.GetAt(deviceIndex);
    if (device == nullptr) {
        log(Format("ERROR: No Ethernet device %d in the device list", deviceIndex), LogColour::Red);
        return false;
    }
    const char* name = device->m_strName.c_str();
    if (!GlobalInit()) {
        log("ERROR: The FTP library could not be started", LogColour::Red);
        return false;
    }
    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl) {
        log("ERROR: The FTP session could not be opened", LogColour::Red);
        return false;
    }
    log("", LogColour::Default);
    log(Format("Opening FTP Connection with %s...", name), LogColour::Default);
    if (!IsDottedQuad(device->m_strIP)) {
        log(Format("ERROR: Invalid IP address \"%s\"", device->m_strIP.c_str()), LogColour::Red);
        return false;
    }

    std::unique_ptr<CURLM, MultiDeleter> session(curl_multi_init());
    if (!session) {
        log("ERROR: The FTP session could not be opened", LogColour::Red);
        return false;
    }
    char error[CURL_ERROR_SIZE] = {};
    CURL* h = curl.get();
    CURLM* multi = session.get();
    const std::string base = Format("ftp://%s:%d/", device->m_strIP.c_str(), port);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_USERNAME, device->m_strLogin.c_str());
    curl_easy_setopt(h, CURLOPT_PASSWORD, device->m_strPassword.c_str());
    // Active mode: the device connects back for the data.
    curl_easy_setopt(h, CURLOPT_FTPPORT, "-");
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, 15L);
    curl_easy_setopt(h, CURLOPT_ACCEPTTIMEOUT_MS, 15000L);
    curl_easy_setopt(h, CURLOPT_SERVER_RESPONSE_TIMEOUT, 30L);
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "ftp");

    // Connect and log in without a transfer, so a refused login is told apart from a failed put.
    curl_easy_setopt(h, CURLOPT_URL, base.c_str());
    curl_easy_setopt(h, CURLOPT_NOBODY, 1L);
    CURLcode code = Perform(multi, h);
    if (code != CURLE_OK) {
        log(Format("ERROR: %s", ErrorText(code, error).c_str()), LogColour::Red);
        return false;
    }
    log(Format("Connected to %s! Downloading %s...", name, localName.c_str()), LogColour::Default);

    Source source{data, size};
    const std::string url = base + kFtpRemoteName;
    std::unique_ptr<curl_slist, SlistDeleter> quit(curl_slist_append(nullptr, "*QUIT"));
    error[0] = '\0';
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_NOBODY, 0L);
    curl_easy_setopt(h, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(h, CURLOPT_TRANSFERTEXT, 0L);
    curl_easy_setopt(h, CURLOPT_READFUNCTION, ReadSource);
    curl_easy_setopt(h, CURLOPT_READDATA, &source);
    curl_easy_setopt(h, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(size));
    code = Perform(multi, h);
    if (code != CURLE_OK) {
        log(Format("Failed to download %s to %s!", localName.c_str(), name), LogColour::Red);
        return false;
    }
    log(Format("%s was successfully downloaded to %s!", localName.c_str(), name),
        LogColour::Default);
    // The session ends with "quit"; its answer is not waited for.
    error[0] = '\0';
    curl_easy_setopt(h, CURLOPT_UPLOAD, 0L);
    curl_easy_setopt(h, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(h, CURLOPT_URL, base.c_str());
    curl_easy_setopt(h, CURLOPT_POSTQUOTE, quit.get());
    Perform(multi, h);
    curl_easy_setopt(h, CURLOPT_POSTQUOTE, nullptr);
    log("FTP Session Closed.", LogColour::Default);
    return true;
}

} // namespace showlink
