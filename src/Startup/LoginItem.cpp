#include "Startup/LoginItem.h"

#include "Startup/ApplicationLookup.h"
#include "Startup/StartupItemRules.h"

namespace {

namespace Key {
constexpr const char* isEnable = "isEnable";
constexpr const char* label = "label";
constexpr const char* lastExitStatus = "lastExitStatus";
constexpr const char* limitLoadToSessionType = "limitLoadToSessionType";
constexpr const char* enableTransactions = "enableTransactions";
constexpr const char* programArguments = "programArguments";
constexpr const char* onDemand = "onDemand";
constexpr const char* program = "program";
constexpr const char* appUrlPath = "appUrlPath";
constexpr const char* pid = "pid";
constexpr const char* isSMLoginItem = "isSMLoginItem";
constexpr const char* jobDictionary = "jobDictionary";
} // namespace Key

std::optional<std::int64_t> integerOfTextEntry(const platform::Dictionary& record, const char* key)
{
    const auto text = textEntry(record, key);
    return text ? std::optional(integerValueOfText(*text)) : std::nullopt;
}

void putText(platform::Dictionary& record, const char* key, const std::optional<std::string>& value)
{
    if (value)
        record[key] = *value;
}

void putDecimal(platform::Dictionary& record, const char* key, const std::optional<std::int64_t>& value)
{
    if (value)
        record[key] = std::to_string(*value);
}

} // namespace

LoginItem::LoginItem(bool isEnable, std::optional<std::string> label, std::optional<std::int64_t> lastExitStatus,
                     std::optional<std::string> limitLoadToSessionType, std::optional<std::int64_t> enableTransactions,
                     std::optional<platform::Array> programArguments, std::optional<std::int64_t> onDemand,
                     std::optional<std::string> program, std::optional<std::int64_t> pid, bool isSMLoginItem)
    : label(std::move(label)), lastExitStatus(lastExitStatus), limitLoadToSessionType(std::move(limitLoadToSessionType)),
      enableTransactions(enableTransactions), programArguments(std::move(programArguments)), onDemand(onDemand),
      program(std::move(program)), pid(pid), isEnable(isEnable), isSMLoginItem(isSMLoginItem)
{
    resolveProgram();
    finish();
}

LoginItem::LoginItem(bool isEnable, std::optional<platform::FileURL> url, bool isSMLoginItem)
    : isEnable(isEnable), isSMLoginItem(isSMLoginItem)
{
    if (url)
        setApplication(*url);
    finish();
}

LoginItem::LoginItem(const platform::Dictionary& record)
{
    if (const auto enabled = textEntry(record, Key::isEnable))
        isEnable = *enabled == "1";
    label = textEntry(record, Key::label);
    limitLoadToSessionType = textEntry(record, Key::limitLoadToSessionType);
    program = textEntry(record, Key::program);
    lastExitStatus = integerOfTextEntry(record, Key::lastExitStatus);
    enableTransactions = integerOfTextEntry(record, Key::enableTransactions);
    onDemand = integerOfTextEntry(record, Key::onDemand);
    programArguments = arrayEntry(record, Key::programArguments);
    pid = integerEntry(record, Key::pid);
    isSMLoginItem = booleanEntry(record, Key::isSMLoginItem).value_or(false);
    if (const auto job = record.find(Key::jobDictionary); job != record.end() && job->second.asDictionary())
        jobDictionary = *job->second.asDictionary();
    if (const auto path = textEntry(record, Key::appUrlPath)) {
        setApplication(platform::FileURL::fromPath(*path));
        if (!name || name->empty())
            name = appUrl->lastPathComponent();
    }
    resolveProgram();
    finish();
}

void LoginItem::setApplication(const platform::FileURL& url)
{
    auto details = applicationDetails(url);
    appUrl = url;
    bundle = std::move(details.bundle);
    company = std::move(details.company);
    name = std::move(details.bundleName);
}

void LoginItem::resolveProgram()
{
    if (!program)
        return;
    if (const auto applicationPath = applicationPathOfProgram(*program)) {
        setApplication(platform::FileURL::fromPath(*applicationPath));
        helperBundleIdentifier = bundle ? bundle->bundleIdentifier() : std::nullopt;
        return;
    }
    helperBundleIdentifier = program;
    const auto helperPath = absolutePathForAppBundle(*program);
    if (!helperPath)
        return;
    setApplication(platform::FileURL::fromPath(applicationPathOfProgram(*helperPath).value_or(*helperPath)));
}

void LoginItem::finish()
{
    finishApplication(appUrl, icon, isInvalid);
    if (appUrl && (!name || name->empty()))
        name = appUrl->lastPathComponent();
}

platform::Dictionary LoginItem::record() const
{
    platform::Dictionary record{{Key::isEnable, isEnable ? "1" : "0"}, {Key::isSMLoginItem, isSMLoginItem}};
    putText(record, Key::label, label);
    putDecimal(record, Key::lastExitStatus, lastExitStatus);
    putText(record, Key::limitLoadToSessionType, limitLoadToSessionType);
    putDecimal(record, Key::enableTransactions, enableTransactions);
    if (programArguments)
        record[Key::programArguments] = *programArguments;
    putDecimal(record, Key::onDemand, onDemand);
    putText(record, Key::program, program);
    if (appUrl)
        record[Key::appUrlPath] = appUrl->path();
    if (pid)
        record[Key::pid] = static_cast<long long>(*pid);
    if (jobDictionary)
        record[Key::jobDictionary] = *jobDictionary;
    return record;
}

bool operator==(const LoginItem& left, const LoginItem& right)
{
    if (left.appUrl && right.appUrl)
        return *left.appUrl == *right.appUrl;
    if (left.helperBundleIdentifier && right.helperBundleIdentifier)
        return *left.helperBundleIdentifier == *right.helperBundleIdentifier;
    return left.name == right.name;
}
