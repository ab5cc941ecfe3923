#include <gtest/gtest.h>

#include <stdlib.h>

#include <chrono>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include "app/DesktopEntry.h"
#include "app/LinkOpener.h"

namespace {

using Arguments = std::vector<std::string>;

const std::string kLink = "mailto:marvesto@example.com";

TEST(HandlerCommandLine, PutsTheLinkWhereThePlaceholderStood)
{
    const std::pair<std::string, std::string> cases[] = {
        // A quoted program path and the quoted placeholder: two spaces before the link.
        {R"("/opt/web browser/browser" "%u")", R"("/opt/web browser/browser"  )" + kLink},
        // The bare placeholder: the option after it is dropped.
        {"browser %U --new-window", "browser  " + kLink},
        // No placeholder: the whole template, one space, the link.
        {"browser --new-window", "browser --new-window " + kLink},
        // The quoted placeholder wins over an earlier bare one.
        {R"(browser %f --x "%F" --y)", "browser %f --x  " + kLink},
        // An escaped percent sign is no placeholder.
        {"browser --title=100%%u %u", "browser --title=100%%u  " + kLink},
    };
    for (const auto& [execTemplate, expected] : cases)
        EXPECT_EQ(HandlerCommandLine(execTemplate, kLink), expected) << execTemplate;
}

TEST(HandlerArguments, SplitsTheCutTemplateAndKeepsTheLinkWhole)
{
    EXPECT_EQ(HandlerArguments(R"("/opt/web browser/browser" "%u")", kLink),
              (Arguments{"/opt/web browser/browser", kLink}));
    EXPECT_EQ(HandlerArguments("browser %U --new-window", kLink), (Arguments{"browser", kLink}));
    EXPECT_EQ(HandlerArguments("browser  --new-window", kLink),
              (Arguments{"browser", "--new-window", kLink}));
    // Quoting escapes, leftover field codes and escaped percent signs.
    EXPECT_EQ(HandlerArguments(R"("/opt/a \"b\" \\c" %i --title=100%% %c %u)", kLink),
              (Arguments{R"(/opt/a "b" \c)", "--title=100%", kLink}));

    const std::string hostile = R"(mailto:a@example.com?subject=$(touch x) "q" ; y %u)";
    EXPECT_EQ(HandlerArguments("browser %u", hostile), (Arguments{"browser", hostile}));
}

TEST(HandlerArguments, NoProgramMeansNothingToStart)
{
    EXPECT_TRUE(HandlerArguments("", kLink).empty());
    EXPECT_TRUE(HandlerArguments("  \"%u\"", kLink).empty());
    EXPECT_TRUE(HandlerArguments("%i %u", kLink).empty());
}

TEST(ReadDesktopEntryExec, TakesTheMainGroupsExecValue)
{
    std::istringstream entry(
        "# Exec=commented\n"
        "[Desktop Action private]\n"
        "Exec=private-window %u\n"
        "[Desktop Entry]\r\n"
        "Exec[de]=localised %u\n"
        "ExecSomething=no\n"
        "Name=Browser\n"
        "Exec = /opt/my\\sbrowser --title=a\\\\b \\$HOME %u\r\n"
        "Exec=second\n");
    EXPECT_EQ(ReadDesktopEntryExec(entry), "/opt/my browser --title=a\\b \\$HOME %u");

    std::istringstream none("[Desktop Action x]\nExec=other\n[Desktop Entry]\nName=x\n");
    EXPECT_EQ(ReadDesktopEntryExec(none), "");
}

TEST(ApplicationFolders, FollowsTheDataVariablesAndTheirDefaults)
{
    EXPECT_EQ(ApplicationFolders(nullptr, nullptr, "/home/p"),
              (Arguments{"/home/p/.local/share/applications", "/usr/local/share/applications",
                         "/usr/share/applications"}));
    EXPECT_EQ(ApplicationFolders("/d/home", "/a::relative:/b", "/home/p"),
              (Arguments{"/d/home/applications", "/a/applications", "/b/applications"}));
    EXPECT_EQ(ApplicationFolders("relative", "", nullptr),
              (Arguments{"/usr/local/share/applications", "/usr/share/applications"}));
}

TEST(FindDesktopEntry, TakesTheFirstFolderThatHoldsTheEntry)
{
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    for (const char* folder : {"/home", "/system", "/system/sub"}) QDir().mkpath(dir.path() + folder);
    for (const char* file : {"/home/b.desktop", "/system/a.desktop", "/system/b.desktop",
                             "/system/sub/c.desktop"})
        std::ofstream(root + file) << "[Desktop Entry]\n";
    QDir().mkpath(dir.path() + "/home/dir.desktop");
    const Arguments folders = {root + "/home", root + "/system"};

    EXPECT_EQ(FindDesktopEntry("b.desktop", folders), root + "/home/b.desktop");
    EXPECT_EQ(FindDesktopEntry("a.desktop", folders), root + "/system/a.desktop");
    EXPECT_EQ(FindDesktopEntry("dir.desktop", folders), "");
    EXPECT_EQ(FindDesktopEntry("missing.desktop", folders), "");
    for (const char* unsafe : {"sub/c.desktop", "../system/a.desktop", ".desktop", "a.txt", ""})
        EXPECT_EQ(FindDesktopEntry(unsafe, folders), "") << unsafe;
}

// Steps that record what OpenLinkWith asked of them.
struct RecordedSteps {
    bool desktopTakesIt = false;
    std::string execTemplate;
    bool starts = true;
    std::vector<std::string> calls;
    std::optional<Arguments> started;

    LinkOpenerSteps Steps()
    {
        return {[this](const std::string& link) {
                    calls.push_back("desktop " + link);
                    return desktopTakesIt;
                },
                [this] {
                    calls.push_back("template");
                    return execTemplate;
                },
                [this](const Arguments& arguments) {
                    calls.push_back("start");
                    started = arguments;
                    return starts;
                }};
    }
};

TEST(OpenLinkWith, TriesTheDesktopFirstAndTheHtmlHandlerOnlyAfterItFailed)
{
    RecordedSteps taken;
    taken.desktopTakesIt = true;
    taken.execTemplate = "browser %u";
    EXPECT_GT(OpenLinkWith(taken.Steps(), kLink.c_str()), 32);
    EXPECT_EQ(taken.calls, (Arguments{"desktop " + kLink}));

    RecordedSteps fallback;
    fallback.execTemplate = "\"/opt/browser\" \"%u\"";
    EXPECT_GT(OpenLinkWith(fallback.Steps(), kLink.c_str()), 32);
    EXPECT_EQ(fallback.calls, (Arguments{"desktop " + kLink, "template", "start"}));
    EXPECT_EQ(fallback.started, (Arguments{"/opt/browser", kLink}));

    RecordedSteps broken = fallback;
    broken.calls.clear();
    broken.starts = false;
    EXPECT_LE(OpenLinkWith(broken.Steps(), kLink.c_str()), 32);
}

TEST(OpenLinkWith, WithoutAnHtmlHandlerNothingHappensAfterTheFailedFirstAttempt)
{
    RecordedSteps none;
    EXPECT_EQ(OpenLinkWith(none.Steps(), kLink.c_str()), kLinkNoHandler);
    EXPECT_EQ(none.calls, (Arguments{"desktop " + kLink, "template"}));
}

// Environment variables set for one test and restored after it.
class ScopedEnvironment {
public:
    void Set(const char* name, const std::string& value)
    {
        const char* const old = getenv(name);
        m_saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment()
    {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
            if (it->second) setenv(it->first.c_str(), it->second->c_str(), 1);
            else unsetenv(it->first.c_str());
        }
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

// A scratch folder with stand-ins for the desktop's programs, first on PATH, and an entry
// folder of its own, so that nothing real is asked or started.
class FakeDesktop : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        for (const char* folder : {"/bin", "/data/applications", "/web browser"})
            QDir().mkpath(m_dir.path() + folder);
        m_env.Set("PATH", Path("/bin") + ":/usr/bin:/bin");
        m_env.Set("XDG_DATA_HOME", Path("/data"));
        m_env.Set("XDG_DATA_DIRS", Path("/nowhere"));
    }

    std::string Path(const char* relative) const { return m_dir.path().toStdString() + relative; }

    // A program that writes its arguments, one a line, to record once it has run.
    void AddRecorder(const char* program, const char* record, const std::string& output = "")
    {
        const std::string done = Path(record), part = done + ".part";
        std::ofstream(Path(program)) << "#!/bin/sh\n"
                                     << "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '"
                                     << part << "'\n"
                                     << "mv '" << part << "' '" << done << "'\n"
                                     << "printf '" << output << "'\n";
        QFile::setPermissions(QString::fromStdString(Path(program)),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void AddEntry(const char* id, const std::string& exec)
    {
        std::ofstream(Path("/data/applications/") + id)
            << "[Desktop Entry]\nType=Application\nName=Fake\nExec=" << exec << "\n";
    }

    // The lines of a record, waiting a while for a detached program to write it.
    std::optional<Arguments> Recorded(const char* record, int waitMs = 5000) const
    {
        for (int waited = 0;; waited += 20) {
            std::ifstream in(Path(record));
            if (in) {
                Arguments lines;
                for (std::string line; std::getline(in, line);) lines.push_back(line);
                return lines;
            }
            if (waited >= waitMs) return std::nullopt;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    QTemporaryDir m_dir;
    ScopedEnvironment m_env;
};

LinkOpenerSteps RealStepsAfterAFailedFirstAttempt()
{
    LinkOpenerSteps steps = DesktopLinkOpenerSteps();
    steps.openWithDesktop = [](const std::string&) { return false; };
    return steps;
}

TEST_F(FakeDesktop, TheFallbackStartsTheHtmlHandlerWithTheLinkAsOneUnparsedArgument)
{
    AddRecorder("/bin/xdg-mime", "/xdg-mime.args", "fake-browser.desktop\\n");
    AddRecorder("/web browser/handler", "/handler.args");
    AddEntry("fake-browser.desktop", "\"" + Path("/web browser/handler") + "\" --new-window \"%u\"");
    const std::string link = kLink + "?subject=$(touch " + Path("/pwned") + ");echo 'x' \"y\"";

    EXPECT_EQ(OpenLinkWith(RealStepsAfterAFailedFirstAttempt(), link.c_str()), kLinkOpened);

    EXPECT_EQ(Recorded("/xdg-mime.args"), (Arguments{"query", "default", "text/html"}));
    EXPECT_EQ(Recorded("/handler.args"), (Arguments{"--new-window", link}));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(Path("/pwned"))));
}

TEST_F(FakeDesktop, WithoutAnHtmlHandlerTheFallbackStartsNothing)
{
    AddRecorder("/web browser/handler", "/handler.args");
    AddEntry("fake-browser.desktop", "'" + Path("/web browser/handler") + "' %u");
    const LinkOpenerSteps steps = RealStepsAfterAFailedFirstAttempt();

    // No xdg-mime at all.
    m_env.Set("PATH", Path("/bin"));
    EXPECT_EQ(OpenLinkWith(steps, kLink.c_str()), kLinkNoHandler);
    // xdg-mime names no handler, or one with no entry.
    m_env.Set("PATH", Path("/bin") + ":/usr/bin:/bin");
    AddRecorder("/bin/xdg-mime", "/xdg-mime.args");
    EXPECT_EQ(OpenLinkWith(steps, kLink.c_str()), kLinkNoHandler);
    AddRecorder("/bin/xdg-mime", "/xdg-mime.args", "missing.desktop\\n");
    EXPECT_EQ(OpenLinkWith(steps, kLink.c_str()), kLinkNoHandler);

    EXPECT_EQ(Recorded("/handler.args", 300), std::nullopt);
}

// The desktop's handler needs a real display: ctest runs this once more under Xvfb, where
// Qt hands links to xdg-open. Elsewhere it is skipped.
TEST_F(FakeDesktop, OnX11ASuccessfulFirstAttemptNeverTouchesTheFallback)
{
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        GTEST_SKIP() << "needs the xcb platform";
    AddRecorder("/bin/xdg-open", "/xdg-open.args");
    AddRecorder("/bin/xdg-mime", "/xdg-mime.args", "fake-browser.desktop\\n");
    AddRecorder("/web browser/handler", "/handler.args");
    AddEntry("fake-browser.desktop", "\"" + Path("/web browser/handler") + "\" %u");

    EXPECT_GT(OpenLink(kLink.c_str(), SW_SHOW), 32);

    EXPECT_EQ(Recorded("/xdg-open.args"), (Arguments{kLink}));
    EXPECT_EQ(Recorded("/xdg-mime.args", 300), std::nullopt);
    EXPECT_EQ(Recorded("/handler.args", 0), std::nullopt);
}

}  // namespace
