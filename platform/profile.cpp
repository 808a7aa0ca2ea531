#include "platform/profile.h"
#include "platform/replace_file.h"

#include "platform/paths.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <mutex>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace platform {

namespace {

// What the profile functions skip around keys and values.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Three pieces as one line of text, appended into one buffer.
std::string Concat(std::string_view a, std::string_view b, std::string_view c) {
    std::string out;
    out.reserve(a.size() + b.size() + c.size());
    out.append(a).append(b).append(c);
    return out;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// The name of a section header line, or nullopt when the line is no header. A header without
// its ']' names the rest of the line.
std::optional<std::string_view> HeaderName(std::string_view line) {
    std::string_view t = Trim(line);
    if (t.empty() || t.front() != '[')
        return std::nullopt;
    t.remove_prefix(1);
    size_t close = t.find(']');
    if (close != std::string_view::npos)
        t = t.substr(0, close);
    return Trim(t);
}

bool IsComment(std::string_view line) {
    std::string_view t = Trim(line);
    return !t.empty() && t.front() == ';';
}

// Splits a key line into its key and value; nullopt for lines without '=' and comments.
std::optional<std::pair<std::string_view, std::string_view>> KeyValue(std::string_view line) {
    if (IsComment(line) || HeaderName(line))
        return std::nullopt;
    size_t eq = line.find('=');
    if (eq == std::string_view::npos)
        return std::nullopt;
    return std::make_pair(Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)));
}

bool HasLineBreak(std::string_view s) {
    return s.find('\n') != std::string_view::npos || s.find('\r') != std::string_view::npos;
}

// Writes never race each other inside the program; the last one to rename wins between programs.
std::mutex g_writeMutex;

} // namespace

std::filesystem::path ProfileDirectory() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::filesystem::path base;
    // A relative XDG_CONFIG_HOME is invalid by the base-directory rules and is ignored.
    if (xdg && *xdg && xdg[0] == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::filesystem::path(home && *home ? home : "/") / ".config";
    }
    return base / "velmora";
}

std::filesystem::path DefaultProfilePath(std::string_view fileName) {
    return ProfileDirectory() / std::string(fileName);
}

std::optional<int> ParseProfileInt(std::string_view text) {
    text = Trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.front() < '0' || text.front() > '9')
        return std::nullopt;
    // Accumulate towards the limit so that no digit string can overflow.
    long long value = 0;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    for (char c : text) {
        if (c < '0' || c > '9')
            break;
        value = value * 10 + (c - '0');
        if (value > limit) {
            value = limit;
            break;
        }
    }
    return static_cast<int>(negative ? -value : value);
}

bool ProfileFile::Load(const std::filesystem::path& path) {
    lines_.clear();
    loadError_.clear();
    Invalidate();
    std::error_code ec;
    auto status = std::filesystem::status(path, ec);
    if (status.type() == std::filesystem::file_type::not_found)
        return true;
    if (ec) {
        loadError_ = ec.message();
        return false;
    }
    if (status.type() != std::filesystem::file_type::regular) {
        loadError_ = status.type() == std::filesystem::file_type::directory ? std::strerror(EISDIR)
                                                                            : "Not a regular file";
        return false;
    }
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        loadError_ = std::strerror(errno != 0 ? errno : EIO);
        return false;
    }
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) {
        loadError_ = std::strerror(EIO);
        return false;
    }
    Parse(text);
    return true;
}

void ProfileFile::Parse(std::string_view text) {
    lines_.clear();
    Invalidate();
    size_t start = 0;
    while (start < text.size()) {
        size_t lf = text.find('\n', start);
        if (lf == std::string_view::npos) {
            lines_.push_back({std::string(text.substr(start)), ""});
            break;
        }
        const bool crlf = lf > start && text[lf - 1] == '\r';
        const size_t end = crlf ? lf - 1 : lf;
        lines_.push_back({std::string(text.substr(start, end - start)), crlf ? "\r\n" : "\n"});
        start = lf + 1;
    }
}

namespace {

std::string FoldCase(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

} // namespace

void ProfileFile::BuildIndex() const {
    index_.clear();
    SectionIndex* current = nullptr;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (auto name = HeaderName(lines_[i].text)) {
            auto [it, added] = index_.try_emplace(FoldCase(Trim(*name)));
            if (added)
                it->second.header = i;
            // Keys of a repeated section are looked up only under its first header.
            current = added ? &it->second : nullptr;
            continue;
        }
        if (!current)
            continue;
        if (auto kv = KeyValue(lines_[i].text))
            current->keys.try_emplace(FoldCase(kv->first), i);
    }
    indexed_ = true;
}

std::optional<size_t> ProfileFile::FindSectionLine(std::string_view section) const {
    if (!indexed_)
        BuildIndex();
    auto it = index_.find(FoldCase(Trim(section)));
    if (it == index_.end())
        return std::nullopt;
    return it->second.header;
}

size_t ProfileFile::SectionEnd(size_t header) const {
    size_t i = header + 1;
    while (i < lines_.size() && !HeaderName(lines_[i].text))
        ++i;
    return i;
}

std::optional<size_t> ProfileFile::FindKeyLine(size_t header, std::string_view key) const {
    if (!indexed_)
        BuildIndex();
    for (const auto& [name, section] : index_) {
        if (section.header != header)
            continue;
        auto it = section.keys.find(FoldCase(Trim(key)));
        if (it == section.keys.end())
            return std::nullopt;
        return it->second;
    }
    return std::nullopt;
}

std::optional<std::string> ProfileFile::Find(std::string_view section, std::string_view key) const {
    // The section's own keys straight from its index entry: a product file is read key by
    // key, hundreds of them, at every start.
    if (!indexed_)
        BuildIndex();
    auto it = index_.find(FoldCase(Trim(section)));
    if (it == index_.end())
        return std::nullopt;
    auto line = it->second.keys.find(FoldCase(Trim(key)));
    if (line == it->second.keys.end())
        return std::nullopt;
    return std::string(KeyValue(lines_[line->second].text)->second);
}

std::string ProfileFile::GetString(std::string_view section, std::string_view key,
                                   std::string_view defaultValue) const {
    auto value = Find(section, key);
    return value ? *value : std::string(defaultValue);
}

int ProfileFile::GetInt(std::string_view section, std::string_view key, int defaultValue) const {
    auto value = Find(section, key);
    if (!value)
        return defaultValue;
    auto number = ParseProfileInt(*value);
    return number ? *number : defaultValue;
}

bool ProfileFile::GetBool(std::string_view section, std::string_view key, bool defaultValue) const {
    auto value = Find(section, key);
    if (!value)
        return defaultValue;
    return EqualsNoCase(*value, "TRUE");
}

bool ProfileFile::HasSection(std::string_view section) const {
    return FindSectionLine(section).has_value();
}

std::string ProfileFile::NewLineEnding() const {
    // New lines follow the file's own convention, taken from its first ended line.
    for (const auto& line : lines_)
        if (!line.ending.empty())
            return line.ending;
    return "\n";
}

bool ProfileFile::SetString(std::string_view section, std::string_view key,
                            std::string_view value) {
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value))
        return false;
    section = Trim(section);
    key = Trim(key);
    if (section.empty() || key.empty())
        return false;
    if (section.find(']') != std::string_view::npos)
        return false;
    if (key.find('=') != std::string_view::npos || key.front() == '[' || key.front() == ';')
        return false;

    const std::string eol = NewLineEnding();
    auto header = FindSectionLine(section);
    if (header) {
        if (auto at = FindKeyLine(*header, key)) {
            // Keep the key as the file spells it; only the value changes.
            std::string fileKey(KeyValue(lines_[*at].text)->first);
            lines_[*at].text = fileKey + "=" + std::string(value);
            return true; // same line, same key: the index still holds
        }
        // After the section's last line that is not blank, so the blank lines that part it from
        // the next section stay where they are.
        size_t end = SectionEnd(*header);
        size_t insertAt = end;
        while (insertAt > *header + 1 && Trim(lines_[insertAt - 1].text).empty())
            --insertAt;
        if (insertAt == lines_.size() && !lines_.empty() && lines_.back().ending.empty())
            lines_.back().ending = eol;
        lines_.insert(lines_.begin() + static_cast<long>(insertAt),
                      Line{Concat(key, "=", value), eol});
        // Shift the index past the new line instead of rebuilding it: writing the settings adds
        // a thousand keys to a profile that has none of them yet.
        for (auto& indexed : index_) {
            SectionIndex& entry = indexed.second;
            if (entry.header >= insertAt)
                ++entry.header;
            for (auto& keyLine : entry.keys) {
                if (keyLine.second >= insertAt)
                    ++keyLine.second;
            }
        }
        index_[FoldCase(section)].keys.try_emplace(FoldCase(key), insertAt);
        return true;
    }
    if (!lines_.empty()) {
        if (lines_.back().ending.empty())
            lines_.back().ending = eol;
        if (!Trim(lines_.back().text).empty())
            lines_.push_back({"", eol});
    }
    lines_.push_back({Concat("[", section, "]"), eol});
    lines_.push_back({Concat(key, "=", value), eol});
    Invalidate();
    return true;
}

std::string ProfileFile::Text() const {
    std::string text;
    for (const auto& line : lines_) {
        text += line.text;
        text += line.ending;
    }
    return text;
}

bool ProfileFile::Save(const std::filesystem::path& path) const {
    saveError_.clear();
    auto fail = [this](int error) {
        saveError_ = std::strerror(error);
        return false;
    };
    // Writing through a symbolic link replaces the file it points to, not the link, also
    // when that file is not there yet; a loop of links is not written through.
    const std::filesystem::path target = FileBehindLinks(path);
    if (target.empty())
        return fail(ELOOP);
    std::error_code ec;
    std::filesystem::path dir = target.parent_path();
    if (dir.empty())
        dir = ".";
    if (!std::filesystem::exists(dir, ec)) {
        std::filesystem::create_directories(dir, ec);
        if (ec) {
            saveError_ = ec.message();
            return false;
        }
        std::filesystem::permissions(dir, std::filesystem::perms::owner_all, ec);
    }

    std::string tmpl = (dir / Concat(".", target.filename().string(), ".XXXXXX")).string();
    // mkstemp creates the file with mode 0600.
    int fd = mkstemp(tmpl.data());
    if (fd < 0)
        return fail(errno);
    const std::string text = Text();
    int error = 0;
    if (fchmod(fd, S_IRUSR | S_IWUSR) != 0)
        error = errno;
    size_t done = 0;
    while (error == 0 && done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            break;
        }
        done += static_cast<size_t>(n);
    }
    if (error == 0 && fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && std::rename(tmpl.c_str(), target.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(tmpl.c_str());
        return fail(error);
    }
    // Make the rename itself durable.
    int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (dfd >= 0) {
        fsync(dfd);
        ::close(dfd);
    }
    return true;
}

std::string GetProfileString(const std::filesystem::path& path, std::string_view section,
                             std::string_view key, std::string_view defaultValue) {
    ProfileFile profile;
    profile.Load(path);
    return profile.GetString(section, key, defaultValue);
}

int GetProfileInt(const std::filesystem::path& path, std::string_view section, std::string_view key,
                  int defaultValue) {
    ProfileFile profile;
    profile.Load(path);
    return profile.GetInt(section, key, defaultValue);
}

bool GetProfileBool(const std::filesystem::path& path, std::string_view section,
                    std::string_view key, bool defaultValue) {
    ProfileFile profile;
    profile.Load(path);
    return profile.GetBool(section, key, defaultValue);
}

bool WriteProfileString(const std::filesystem::path& path, std::string_view section,
                        std::string_view key, std::string_view value) {
    std::lock_guard<std::mutex> lock(g_writeMutex);
    ProfileFile profile;
    // A profile that exists but cannot be read is not replaced by one holding a single key.
    if (!profile.Load(path))
        return false;
    if (!profile.SetString(section, key, value))
        return false;
    return profile.Save(path);
}

bool WriteProfileInt(const std::filesystem::path& path, std::string_view section,
                     std::string_view key, int value) {
    return WriteProfileString(path, section, key, std::to_string(value));
}

bool WriteProfileBool(const std::filesystem::path& path, std::string_view section,
                      std::string_view key, bool value) {
    return WriteProfileString(path, section, key, value ? "TRUE" : "FALSE");
}

std::string GetProfileString(std::string_view section, std::string_view key,
                             std::string_view defaultValue) {
    return GetProfileString(DefaultProfilePath(), section, key, defaultValue);
}

int GetProfileInt(std::string_view section, std::string_view key, int defaultValue) {
    return GetProfileInt(DefaultProfilePath(), section, key, defaultValue);
}

bool GetProfileBool(std::string_view section, std::string_view key, bool defaultValue) {
    return GetProfileBool(DefaultProfilePath(), section, key, defaultValue);
}

bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value) {
    return WriteProfileString(DefaultProfilePath(), section, key, value);
}

bool WriteProfileInt(std::string_view section, std::string_view key, int value) {
    return WriteProfileInt(DefaultProfilePath(), section, key, value);
}

bool WriteProfileBool(std::string_view section, std::string_view key, bool value) {
    return WriteProfileBool(DefaultProfilePath(), section, key, value);
}

} // namespace platform
