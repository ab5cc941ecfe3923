#include "app/LinkOpener.h"

#include <cassert>
#include <cstdlib>
#include <fstream>

#include <QDesktopServices>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QUrl>

#include "app/DesktopEntry.h"

namespace {

// xdg-mime is a shell script that may consult the desktop's settings; it is normally quick,
// and a hung one must not freeze the window for long.
constexpr int kQueryTimeoutMs = 3000;

bool OpenWithDesktop(const std::string& link)
{
    return QDesktopServices::openUrl(QUrl(QString::fromStdString(link), QUrl::TolerantMode));
}

// The id of the desktop's default HTML application ("browser.desktop"), or empty.
std::string QueryHtmlHandler()
{
    QProcess query;
    query.setStandardInputFile(QProcess::nullDevice());
    query.setStandardErrorFile(QProcess::nullDevice());
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/html")});
    if (!query.waitForStarted(kQueryTimeoutMs)) return {};
    if (!query.waitForFinished(kQueryTimeoutMs)) {
        query.kill();
        query.waitForFinished();
        return {};
    }
    if (query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0) return {};
    // One id is expected; a list would be separated by semicolons.
    const QByteArray firstLine = query.readAllStandardOutput().split('\n').value(0);
    return firstLine.split(';').value(0).trimmed().toStdString();
}

std::string HtmlHandlerTemplate()
{
    const std::string id = QueryHtmlHandler();
    if (id.empty()) return {};
    const std::string path = FindDesktopEntry(
        id, ApplicationFolders(std::getenv("XDG_DATA_HOME"), std::getenv("XDG_DATA_DIRS"),
                               std::getenv("HOME")));
    if (path.empty()) return {};
    std::ifstream entry(path);
    return ReadDesktopEntryExec(entry);
}

bool StartDetached(const std::vector<std::string>& arguments)
{
    if (arguments.empty()) return false;
    QStringList rest;
    for (size_t i = 1; i < arguments.size(); ++i) rest << QString::fromStdString(arguments[i]);
    return QProcess::startDetached(QString::fromStdString(arguments.front()), rest);
}

}  // namespace

LinkOpenerSteps DesktopLinkOpenerSteps()
{
    return {OpenWithDesktop, HtmlHandlerTemplate, StartDetached};
}

int OpenLinkWith(const LinkOpenerSteps& steps, const char* url)
{
    assert(url != nullptr);
    const std::string link(url);
    if (steps.openWithDesktop(link)) return kLinkOpened;

    const std::vector<std::string> arguments = HandlerArguments(steps.htmlHandlerTemplate(), link);
    if (arguments.empty()) return kLinkNoHandler;
    return steps.start(arguments) ? kLinkOpened : kLinkNotStarted;
}

int OpenLink(const char* url, int showCommand)
{
    static_cast<void>(showCommand);
    return OpenLinkWith(DesktopLinkOpenerSteps(), url);
}
