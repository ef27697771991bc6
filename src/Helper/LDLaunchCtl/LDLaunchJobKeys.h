#pragma once

#include "Platform/Values/Value.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The kinds of value a launchd key holds, and how each is held as a property.
enum class LDKeyKind { Bool, Integer, Text, Strings, Array, Dictionary, Object };

template <LDKeyKind> struct LDKeyTraits;

template <> struct LDKeyTraits<LDKeyKind::Bool> {
    using Type = bool;
    static Type from(const platform::Value& value) { return value.asBoolean() && *value.asBoolean(); }
    static platform::Value to(Type value) { return value; }
};
template <> struct LDKeyTraits<LDKeyKind::Integer> {
    using Type = std::int64_t;
    static Type from(const platform::Value& value) { return value.asInteger() ? *value.asInteger() : 0; }
    static platform::Value to(Type value) { return static_cast<long long>(value); }
};
template <> struct LDKeyTraits<LDKeyKind::Text> {
    using Type = std::optional<std::string>;
    static Type from(const platform::Value& value);
    static platform::Value to(const Type& value);
};
// An array held as it stands (launchd takes any values); read as the texts it holds, in order.
template <> struct LDKeyTraits<LDKeyKind::Strings> {
    using Type = std::optional<std::vector<std::string>>;
    static Type from(const platform::Value& value);
    static platform::Value to(const Type& value);
};
template <> struct LDKeyTraits<LDKeyKind::Array> {
    using Type = std::optional<platform::Array>;
    static Type from(const platform::Value& value);
    static platform::Value to(const Type& value);
};
template <> struct LDKeyTraits<LDKeyKind::Dictionary> {
    using Type = std::optional<platform::Dictionary>;
    static Type from(const platform::Value& value);
    static platform::Value to(const Type& value);
};
template <> struct LDKeyTraits<LDKeyKind::Object> {
    using Type = platform::Value; // null: no value
    static Type from(const platform::Value& value) { return value; }
    static platform::Value to(const Type& value) { return value; }
};

// Every launchd key of a job with the kind of its value, in declaration order.
// StartCalendarInterval (and its array form) has accessors of its own.
#define LD_LAUNCH_JOB_KEYS(X)                                                                                     \
    X(Label, Text) X(Disabled, Bool) X(Program, Text) X(ProgramArguments, Strings) X(StartInterval, Integer)      \
    X(ServiceDescription, Text) X(UserName, Text) X(GroupName, Text) X(inetdCompatibility, Dictionary)            \
    X(LimitLoadToHosts, Array) X(LimitLoadFromHosts, Array) X(LimitLoadToSessionType, Text)                       \
    X(EnableGlobbing, Bool) X(EnableTransactions, Bool) X(BeginTransactionAtShutdown, Bool) X(KeepAlive, Object)  \
    X(OnDemand, Bool) X(RunAtLoad, Bool) X(RootDirectory, Text) X(WorkingDirectory, Text)                         \
    X(EnvironmentVariables, Dictionary) X(Umask, Integer) X(TimeOut, Integer) X(ExitTimeOut, Integer)             \
    X(ThrottleInterval, Integer) X(InitGroups, Bool) X(WatchPaths, Array) X(QueueDirectories, Array)              \
    X(StartOnMount, Bool) X(StandardInPath, Text) X(StandardOutPath, Text) X(StandardErrorPath, Text)             \
    X(Debug, Bool) X(WaitForDebugger, Bool) X(SoftResourceLimits, Dictionary) X(HardResourceLimits, Dictionary)   \
    X(Nice, Integer) X(ProcessType, Text) X(AbandonProcessGroup, Bool) X(LowPriorityIO, Bool)                     \
    X(LowPriorityBackgroundIO, Bool) X(LaunchOnlyOnce, Bool) X(MachServices, Dictionary) X(Sockets, Dictionary)   \
    X(LaunchEvents, Dictionary) X(PerJobMachServices, Dictionary) X(MachExceptionHandler, Text)                   \
    X(POSIXSpawnType, Text) X(PosixSpawnType, Text) X(ServiceIPC, Bool) X(XPCDomainBootstrapper, Bool)            \
    X(CFBundleIdentifier, Text) X(SHAuthorizationRight, Text) X(JetsamProperties, Dictionary)                     \
    X(BinaryOrderPreference, Array) X(SessionCreate, Bool) X(MultipleInstances, Bool) X(HopefullyExitsLast, Bool) \
    X(ShutdownMonitor, Bool) X(EventMonitor, Bool) X(IgnoreProcessGroupAtShutdown, Bool)

struct LDLaunchJobKey {
    std::string_view name;
    LDKeyKind kind;
};

// The key of that name; null for a name that is no key of the table.
const LDLaunchJobKey* LDLaunchJobKeyNamed(std::string_view name);

// The table itself, in declaration order.
const std::vector<LDLaunchJobKey>& LDLaunchJobKeys();
