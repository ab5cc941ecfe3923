#pragma once
// What the link opener needs from the desktop's application entries (.desktop files): where
// they live, an entry's command template (its Exec= line), and how a link goes into that
// template. A template's placeholders %u, %U, %f and %F stand for the link; the rule for
// placing it is the game's own, the entries' quoting rules are the desktop's. Plain string
// work with no Qt, so each step is tested on its own.
#include <istream>
#include <string>
#include <vector>

// The template with the link put in: the template is cut at its first placeholder in
// double quotes ("%u" with the quotes, cut at the opening quote), else at its first bare
// placeholder, else kept whole; one space and the link, unquoted, follow. "%%" is an
// escaped percent sign, never a placeholder.
std::string HandlerCommandLine(const std::string& execTemplate, const std::string& link);

// What to start for that command line, without a shell: the program and its arguments
// from the cut template, split by the entries' quoting rules (double quotes group, a
// backslash escapes inside them), with the field codes it still holds (%i, %c, ...)
// dropped and "%%" made "%"; then the link as one more argument, exactly as given, never
// parsed. Empty when the template names no program.
std::vector<std::string> HandlerArguments(const std::string& execTemplate, const std::string& link);

// The Exec= value of the entry's [Desktop Entry] group with the value escapes (\s \n \t \r
// \\) resolved; empty when the group has none.
std::string ReadDesktopEntryExec(std::istream& entry);

// The folders that hold application entries, most important first:
// dataHome/applications (a null, empty or relative dataHome means home/.local/share), then
// each absolute folder of the colon-separated dataDirs + /applications (null or empty means
// /usr/local/share:/usr/share). Any argument may be null.
std::vector<std::string> ApplicationFolders(const char* dataHome, const char* dataDirs,
                                            const char* home);

// The path of the entry called id ("browser.desktop") in the first folder that holds it as
// a regular file; empty when none does or id is not a plain entry file name.
std::string FindDesktopEntry(const std::string& id, const std::vector<std::string>& folders);
