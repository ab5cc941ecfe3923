#pragma once
// Opens a link (the about box's "mailto:" link) with what the desktop offers, in two
// attempts and in this order:
//   1. the desktop's own handler for the link's scheme (QDesktopServices);
//   2. failing that, the desktop's HTML handler: the entry `xdg-mime query default
//      text/html` names, its Exec= template with the link put in (DesktopEntry.h), started
//      directly, without a shell, so the link is one argument that nothing parses.
// A successful first attempt never looks at the second. Failures are silent: the result
// says what happened and callers may ignore it.
//
// Window thread only: the first attempt goes through the GUI application, and the second
// waits up to a few seconds for xdg-mime.
#include <functional>
#include <string>
#include <vector>

// The show state callers pass for the launched program's window. A desktop launch has
// none to pass on, so it is accepted and not used.
inline constexpr int SW_SHOW = 5;

// Results: above 32 the link was handed to a program; 32 or below it was not.
inline constexpr int kLinkOpened = 42;
inline constexpr int kLinkNoHandler = 31;    // neither attempt found a program for the link
inline constexpr int kLinkNotStarted = 2;    // the HTML handler's program would not start

// The steps of the two attempts; tests replace them to watch the order.
struct LinkOpenerSteps {
    // Hands the link to the desktop's handler for its scheme; true when one took it.
    std::function<bool(const std::string& link)> openWithDesktop;
    // The HTML handler's command template (its Exec= value); empty when there is none.
    std::function<std::string()> htmlHandlerTemplate;
    // Starts arguments[0] with the rest as its arguments, no shell; true when it started.
    std::function<bool(const std::vector<std::string>& arguments)> start;
};

// The real steps: QDesktopServices::openUrl; xdg-mime and the entry folders of
// $XDG_DATA_HOME and $XDG_DATA_DIRS; QProcess::startDetached.
LinkOpenerSteps DesktopLinkOpenerSteps();

// The two attempts with the given steps. url must not be null.
int OpenLinkWith(const LinkOpenerSteps& steps, const char* url);

// The two attempts with the real steps. showCommand: SW_SHOW; see above.
int OpenLink(const char* url, int showCommand);
