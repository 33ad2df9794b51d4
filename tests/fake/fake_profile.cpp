// The fake private-profile files, string resources and module path. An INI file is
// an entry of the fake file system holding its text, so a test reads what a run wrote.
#include <cstring>
#include <string>
#include <vector>

#include "platform/profile.h"
#include "tests/fake/fake_internal.h"
#include "tests/fake/fake_platform.h"

namespace {

using fake::state;

std::string Trim(const std::string& text) {
    std::size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) return "";
    std::size_t end = text.find_last_not_of(" \t");
    return text.substr(begin, end - begin + 1);
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 'a' + 'A');
        if (x != y) return false;
        // A second byte is compared exactly, whatever it looks like.
        if (fake::detail::IsLeadByte(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
            ++i;
            if (a[i] != b[i]) return false;
        }
    }
    return true;
}

// One line of an INI file, as the platform reads it.
struct Line {
    enum Kind { kOther, kSection, kKey } kind = kOther;
    std::string name;   // section or key name, trimmed
    std::string value;  // key value, trimmed
    std::string text;   // the line as it stands in the file
};

std::vector<Line> Parse(const std::string& contents) {
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < contents.size()) {
        std::size_t end = contents.find('\n', start);
        if (end == std::string::npos) end = contents.size();
        Line line;
        line.text = contents.substr(start, end - start);
        if (!line.text.empty() && line.text.back() == '\r') line.text.pop_back();
        start = end + 1;
        std::string trimmed = Trim(line.text);
        if (!trimmed.empty() && trimmed[0] == '[') {
            std::size_t close = trimmed.find(']');
            line.kind = Line::kSection;
            line.name = Trim(trimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1));
        } else if (!trimmed.empty() && trimmed[0] != ';') {
            std::size_t equals = trimmed.find('=');
            if (equals != std::string::npos) {
                line.kind = Line::kKey;
                line.name = Trim(trimmed.substr(0, equals));
                line.value = Trim(trimmed.substr(equals + 1));
            }
        }
        lines.push_back(line);
    }
    return lines;
}

std::string Join(const std::vector<Line>& lines) {
    std::string text;
    for (const Line& line : lines) text += line.text + "\r\n";
    return text;
}

// Index of the first section header of that name, or -1.
long FindSection(const std::vector<Line>& lines, const std::string& section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind == Line::kSection && SameName(lines[i].name, section)) return static_cast<long>(i);
    }
    return -1;
}

// One past the last line of the section whose header is at index header.
std::size_t SectionEnd(const std::vector<Line>& lines, long header) {
    std::size_t i = static_cast<std::size_t>(header) + 1;
    while (i < lines.size() && lines[i].kind != Line::kSection) ++i;
    return i;
}

long FindKey(const std::vector<Line>& lines, long header, const std::string& key) {
    for (std::size_t i = static_cast<std::size_t>(header) + 1; i < SectionEnd(lines, header); ++i) {
        if (lines[i].kind == Line::kKey && SameName(lines[i].name, key)) return static_cast<long>(i);
    }
    return -1;
}

// The value of section/key; false when absent. Surrounding quotes are taken off.
bool Lookup(const char* file, const char* section, const char* key, std::string* value) {
    if (file == nullptr) return false;
    const fake::Entry* entry = fake::detail::FindEntry(file);
    if (entry == nullptr || entry->isFolder) return false;
    std::vector<Line> lines = Parse(entry->contents);
    long header = FindSection(lines, section);
    if (header < 0) return false;
    long at = FindKey(lines, header, key);
    if (at < 0) return false;
    std::string v = lines[static_cast<std::size_t>(at)].value;
    if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]) v = v.substr(1, v.size() - 2);
    *value = v;
    return true;
}

// Copies a list of names, each NUL-terminated, with a closing NUL, as the platform
// does for a NULL section or key; returns the length without the last NUL.
uint32_t CopyList(const std::vector<std::string>& names, char* out, uint32_t size) {
    if (size == 0) return 0;
    if (size == 1) {
        out[0] = '\0';
        return 0;
    }
    std::string list;
    for (const std::string& name : names) list += name + '\0';
    if (list.size() + 1 > size) {
        std::memcpy(out, list.data(), size - 2);
        out[size - 2] = '\0';
        out[size - 1] = '\0';
        return size - 2;
    }
    std::memcpy(out, list.data(), list.size());
    out[list.size()] = '\0';
    return static_cast<uint32_t>(list.size() > 0 ? list.size() : 0);
}

uint32_t CopyCut(const std::string& text, char* out, uint32_t size) {
    if (size == 0) return 0;
    std::size_t n = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
    return static_cast<uint32_t>(n);
}

}  // namespace

namespace sys {

uint32_t GetPrivateProfileStringA(const char* section, const char* key, const char* def, char* out, uint32_t size,
                                  const char* file) {
    state().calls.push_back("GetPrivateProfileStringA");
    if (out == nullptr) return 0;
    // A file that cannot be read gives the default, as a missing key does.
    if (fake::ShouldFail("GetPrivateProfileStringA")) file = nullptr;
    const fake::Entry* entry = file != nullptr ? fake::detail::FindEntry(file) : nullptr;
    std::vector<Line> lines = entry != nullptr && !entry->isFolder ? Parse(entry->contents) : std::vector<Line>();
    if (section == nullptr) {
        std::vector<std::string> names;
        for (const Line& line : lines) {
            if (line.kind == Line::kSection) names.push_back(line.name);
        }
        return CopyList(names, out, size);
    }
    if (key == nullptr) {
        std::vector<std::string> names;
        long header = FindSection(lines, section);
        if (header >= 0) {
            for (std::size_t i = static_cast<std::size_t>(header) + 1; i < SectionEnd(lines, header); ++i) {
                if (lines[i].kind == Line::kKey) names.push_back(lines[i].name);
            }
        }
        return CopyList(names, out, size);
    }
    std::string value;
    if (!Lookup(file, section, key, &value)) {
        value = def != nullptr ? def : "";
        while (!value.empty() && value.back() == ' ') value.pop_back();  // as the platform trims a default
    }
    return CopyCut(value, out, size);
}

uint32_t GetPrivateProfileIntA(const char* section, const char* key, int32_t def, const char* file) {
    state().calls.push_back("GetPrivateProfileIntA");
    if (fake::ShouldFail("GetPrivateProfileIntA")) return static_cast<uint32_t>(def);
    std::string value;
    if (section == nullptr || key == nullptr || !Lookup(file, section, key, &value) || value.empty()) {
        return static_cast<uint32_t>(def);
    }
    // Optional sign, then decimal digits up to the first other character; wraps at 32 bits.
    std::size_t i = 0;
    bool negative = false;
    if (value[i] == '+' || value[i] == '-') negative = value[i++] == '-';
    uint32_t result = 0;
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
        result = result * 10u + static_cast<uint32_t>(value[i] - '0');
    }
    return negative ? 0u - result : result;
}

bool WritePrivateProfileStringA(const char* section, const char* key, const char* value, const char* file) {
    state().calls.push_back("WritePrivateProfileStringA");
    if (fake::ShouldFail("WritePrivateProfileStringA")) return false;
    if (section == nullptr || file == nullptr || file[0] == '\0') return false;
    fake::Entry* entry = fake::detail::FindEntry(file);
    if (entry != nullptr && entry->isFolder) return false;
    // Writing changes the file in place, so a folder that takes no new file refuses it too.
    if (!fake::detail::FolderTakesFiles(fake::detail::ParentOf(file))) return false;
    std::vector<Line> lines = entry != nullptr ? Parse(entry->contents) : std::vector<Line>();
    long header = FindSection(lines, section);
    if (key == nullptr) {  // deletes the section
        if (header >= 0)
            lines.erase(lines.begin() + header, lines.begin() + static_cast<long>(SectionEnd(lines, header)));
    } else if (value == nullptr) {  // deletes the key
        long at = header >= 0 ? FindKey(lines, header, key) : -1;
        if (at >= 0) lines.erase(lines.begin() + at);
    } else {
        Line line;
        line.kind = Line::kKey;
        line.name = key;
        line.value = value;
        line.text = std::string(key) + "=" + value;
        if (header < 0) {
            Line head;
            head.kind = Line::kSection;
            head.name = section;
            head.text = "[" + std::string(section) + "]";
            lines.push_back(head);
            lines.push_back(line);
        } else {
            long at = FindKey(lines, header, key);
            if (at >= 0) {
                line.text = lines[static_cast<std::size_t>(at)].name + "=" + value;
                lines[static_cast<std::size_t>(at)] = line;
            } else {
                // After the section's last non-blank line.
                std::size_t insert = SectionEnd(lines, header);
                while (insert > static_cast<std::size_t>(header) + 1 && Trim(lines[insert - 1].text).empty()) --insert;
                lines.insert(lines.begin() + static_cast<long>(insert), line);
            }
        }
    }
    std::string text = Join(lines);
    if (entry != nullptr) {
        entry->contents = text;
    } else {
        fake::AddFile(file, text);
    }
    return true;
}

int LoadStringA(Instance instance, uint32_t id, char* out, int size) {
    state().calls.push_back("LoadStringA");
    (void)instance;
    if (out == nullptr || size <= 0) return 0;
    auto found = state().strings.find(id);
    if (fake::ShouldFail("LoadStringA")) found = state().strings.end();
    if (found == state().strings.end()) {
        out[0] = '\0';
        return 0;
    }
    return static_cast<int>(CopyCut(found->second, out, static_cast<uint32_t>(size)));
}

uint32_t GetModuleFileNameA(char* out, uint32_t size) {
    state().calls.push_back("GetModuleFileNameA");
    if (fake::ShouldFail("GetModuleFileNameA")) return 0;
    const std::string& name = state().moduleFileName;
    if (out == nullptr || size == 0 || name.empty()) return 0;
    if (name.size() < size) {
        std::memcpy(out, name.c_str(), name.size() + 1);
        return static_cast<uint32_t>(name.size());
    }
    // Windows XP and later: cut to size - 1 bytes and a NUL, and return size.
    std::memcpy(out, name.data(), size - 1);
    out[size - 1] = '\0';
    return size;
}

}  // namespace sys
