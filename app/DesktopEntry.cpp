#include "app/DesktopEntry.h"

#include <algorithm>
#include <filesystem>
#include <string_view>

namespace {

bool IsPlaceholderLetter(char c)
{
    return c == 'u' || c == 'U' || c == 'f' || c == 'F';
}

// Offsets of the template's placeholders. Every '%' starts a two-character code, so "%%u"
// is an escaped percent sign followed by a plain 'u'.
std::vector<size_t> Placeholders(const std::string& text)
{
    std::vector<size_t> found;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '%') continue;
        if (IsPlaceholderLetter(text[i + 1])) found.push_back(i);
        ++i;
    }
    return found;
}

size_t CutPosition(const std::string& text)
{
    const std::vector<size_t> found = Placeholders(text);
    for (const size_t at : found) {
        if (at > 0 && text[at - 1] == '"' && at + 2 < text.size() && text[at + 2] == '"')
            return at - 1;
    }
    return found.empty() ? std::string::npos : found.front();
}

// Arguments by the entries' quoting rules; lenient where an entry breaks them, since the
// files come from whatever the desktop has installed.
std::vector<std::string> SplitArguments(const std::string& line)
{
    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false;
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '\\' && i + 1 < line.size()) current += line[++i];
            else if (c == '"') quoted = false;
            else current += c;
        } else if (c == ' ' || c == '\t') {
            if (inArgument) arguments.push_back(current);
            current.clear();
            inArgument = false;
        } else {
            if (c == '"') quoted = true;
            else current += c;
            inArgument = true;
        }
    }
    if (inArgument) arguments.push_back(current);
    return arguments;
}

bool IsFieldCode(const std::string& argument)
{
    return argument.size() == 2 && argument[0] == '%' &&
           std::string_view("fFuUdDnNickvm").find(argument[1]) != std::string_view::npos;
}

std::string UnescapePercent(const std::string& argument)
{
    std::string out;
    for (size_t i = 0; i < argument.size(); ++i) {
        out += argument[i];
        if (argument[i] == '%' && i + 1 < argument.size() && argument[i + 1] == '%') ++i;
    }
    return out;
}

// Unknown escapes stay as they are: the quoting rules read them later.
std::string UnescapeValue(const std::string& value)
{
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        const char next = i + 1 < value.size() ? value[i + 1] : '\0';
        const std::string_view from = "sntr\\", to = " \n\t\r\\";
        const size_t escape = value[i] == '\\' && next != '\0' ? from.find(next) : from.npos;
        if (escape == from.npos) {
            out += value[i];
        } else {
            out += to[escape];
            ++i;
        }
    }
    return out;
}

}  // namespace

std::string HandlerCommandLine(const std::string& execTemplate, const std::string& link)
{
    return execTemplate.substr(0, CutPosition(execTemplate)) + " " + link;
}

std::vector<std::string> HandlerArguments(const std::string& execTemplate, const std::string& link)
{
    std::vector<std::string> arguments;
    for (const std::string& argument :
         SplitArguments(execTemplate.substr(0, CutPosition(execTemplate)))) {
        if (!IsFieldCode(argument)) arguments.push_back(UnescapePercent(argument));
    }
    if (arguments.empty()) return arguments;
    arguments.push_back(link);
    return arguments;
}

std::string ReadDesktopEntryExec(std::istream& entry)
{
    std::string line;
    bool inMainGroup = false;
    while (std::getline(entry, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line.front() == '[') {
            inMainGroup = line == "[Desktop Entry]";
            continue;
        }
        if (!inMainGroup || line.compare(0, 4, "Exec") != 0) continue;
        const size_t equals = line.find_first_not_of(" \t", 4);
        if (equals == std::string::npos || line[equals] != '=') continue;
        const size_t value = line.find_first_not_of(" \t", equals + 1);
        return value == std::string::npos ? std::string() : UnescapeValue(line.substr(value));
    }
    return {};
}

std::vector<std::string> ApplicationFolders(const char* dataHome, const char* dataDirs,
                                            const char* home)
{
    std::vector<std::string> folders;
    if (dataHome != nullptr && dataHome[0] == '/')
        folders.push_back(std::string(dataHome) + "/applications");
    else if (home != nullptr && home[0] != '\0')
        folders.push_back(std::string(home) + "/.local/share/applications");

    const std::string dirs =
        dataDirs != nullptr && dataDirs[0] != '\0' ? dataDirs : "/usr/local/share:/usr/share";
    size_t start = 0;
    while (start <= dirs.size()) {
        const size_t end = std::min(dirs.find(':', start), dirs.size());
        const std::string dir = dirs.substr(start, end - start);
        if (!dir.empty() && dir[0] == '/') folders.push_back(dir + "/applications");
        start = end + 1;
    }
    return folders;
}

std::string FindDesktopEntry(const std::string& id, const std::vector<std::string>& folders)
{
    const std::string suffix = ".desktop";
    const bool plainName = id.size() > suffix.size() && id.find('/') == std::string::npos &&
                           id.front() != '.' &&
                           id.compare(id.size() - suffix.size(), suffix.size(), suffix) == 0;
    if (!plainName) return {};
    for (const std::string& folder : folders) {
        const std::string path = folder + "/" + id;
        std::error_code error;
        if (std::filesystem::is_regular_file(path, error)) return path;
    }
    return {};
}
