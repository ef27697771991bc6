#include "AppShellTest.h"

#include "App/AllViewControllers.h"
#include "Platform/Bundle/Bundle.h"
#include "Platform/Reachability/NetworkReachability.h"
#include "Platform/Tools/ToolProcess.h"
#include "Platform/Values/PropertyList.h"
#include "RootProcesses.h"

#include <QCoreApplication>
#include <QUrlQuery>

#include <cstdlib>
#include <thread>

namespace fs = std::filesystem;

void AppShellTest::SetUpTestSuite()
{
    static int argc = 1;
    static char name[] = "app_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance())
        new QApplication(argc, argv);
}

void AppShellTest::SetUp()
{
    LaunchdTest::SetUp();
    mainBundleBefore_ = platform::Bundle::main().bundlePath();
    server.server.Post("/collect", [this](const httplib::Request& request, httplib::Response&) {
        const QUrlQuery form(QString::fromStdString(request.body));
        {
            std::lock_guard lock(mutex_);
            events_.push_back((form.queryItemValue("ec") + "/" + form.queryItemValue("ea")).toStdString());
        }
        const auto answerAt = std::chrono::steady_clock::now() + analyticsAnswerDelay.load();
        while (!ending_ && std::chrono::steady_clock::now() < answerAt)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    });
    server.server.Get("/appcast.xml", [this](const httplib::Request&, httplib::Response& response) {
        response.set_content(appcast, "application/rss+xml");
    });
    server.server.Get("/release.zip", [this](const httplib::Request&, httplib::Response& response) {
        response.set_content(archive, "application/zip");
    });
    server.start();
    bundle = testsupport::underRoot("/Applications/Bastion Guardpoint.app");
    fs::copy(BG_APP_BUNDLE, bundle,
             fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    setInfo({{"SUFeedURL", server.url("/appcast.xml")},
             {"BGDefinitionsServer", server.url("").substr(7)},
             {"BGAnalyticsURL", server.url("/collect")}});
    ::setenv("BG_ANALYTICS_URL", server.url("/collect").c_str(), 1);
    platform::forceReachabilityFlags(platform::ReachabilityFlags{});
}

void AppShellTest::TearDown()
{
    // Each test launches anew: its windows and screens end with it, closed ones too,
    // which only an event loop (none runs here) would delete.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    AllViewControllers::releaseAll();
    ending_ = true;
    LaunchdTest::TearDown(); // no job restarts an agent from here on
    for (const pid_t pid : runningAgents())
        ::kill(pid, SIGKILL);
    platform::clearReachabilityOverride();
    platform::Bundle::setMainBundlePath(mainBundleBefore_);
}

void AppShellTest::setInfo(const platform::Dictionary& values)
{
    const std::string path = (bundle / "Contents/Info.plist").string();
    platform::Value info = *platform::readPropertyListFile(path);
    for (const auto& [key, value] : values)
        (*info.asDictionary())[key] = value;
    ASSERT_TRUE(platform::writePropertyListFile(path, info));
    platform::Bundle::setMainBundlePath(bundle.string());
}

void AppShellTest::serveRelease(const fs::path& folder, const std::string& version)
{
    auto zip = platform::ToolProcess::launch(
        "/bin/sh", {"-c", "cd \"$1\" && zip -0 -q -r r.zip \"Bastion Guardpoint.app\"", "sh", folder.string()},
        platform::ToolProcess::Capture::Nothing);
    ASSERT_TRUE(zip);
    ASSERT_EQ(zip->waitForExit(), 0);
    archive = testsupport::readFileText(folder / "r.zip");
    appcast = "<rss xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\"><channel><item>"
              "<enclosure url=\"" + server.url("/release.zip") + "\" sparkle:version=\"" + version +
              "\" length=\"" + std::to_string(archive.size()) + "\"/></item></channel></rss>";
    fs::remove_all(folder);
}

void AppShellTest::publishSmallRelease()
{
    const fs::path work = testsupport::platformRootFolder() / "release";
    fs::create_directories(work / "Bastion Guardpoint.app/Contents");
    const std::string info = (work / "Bastion Guardpoint.app/Contents/Info.plist").string();
    fs::copy_file(bundle / "Contents/Info.plist", info);
    platform::Value plist = *platform::readPropertyListFile(info);
    (*plist.asDictionary())["CFBundleVersion"] = "2.0";
    ASSERT_TRUE(platform::writePropertyListFile(info, plist));
    const fs::path executable = platform::Bundle((work / "Bastion Guardpoint.app").string()).executablePath();
    testsupport::plantFile(executable, "#!/bin/sh\n");
    fs::permissions(executable, fs::perms::owner_exec, fs::perm_options::add);
    serveRelease(work, "2.0");
}

std::vector<std::string> AppShellTest::analyticsEvents()
{
    std::lock_guard lock(mutex_);
    return events_;
}

bool AppShellTest::waitForAnalyticsEvents(std::size_t count)
{
    return waitUntil([&] { return analyticsEvents().size() >= count; });
}

std::vector<pid_t> AppShellTest::runningAgents()
{
    std::vector<pid_t> agents;
    for (const auto& application : testsupport::runningCopiesOf("com.tarnwicklabs.activeguardsentinelwarden"))
        agents.push_back(application.processIdentifier);
    return agents;
}

bool AppShellTest::waitForAgent(const std::function<bool(const std::vector<pid_t>&)>& condition)
{
    return platform::dispatch::runMainLoopUntil([&] { return condition(runningAgents()); }, std::chrono::seconds(20));
}
