#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace platform {

class Value;

using Date = std::chrono::system_clock::time_point;
using Data = std::vector<std::uint8_t>;
using Array = std::vector<Value>;
using Dictionary = std::map<std::string, Value>;

// One property-list value: what settings, plists, text tables and launchd job
// dictionaries are made of. A default-constructed value is null.
class Value {
public:
    enum class Kind { Null, Boolean, Integer, Real, Text, Date, Data, Array, Dictionary };

    Value() = default;
    Value(bool b) : storage_(b) {}
    Value(int i) : storage_(std::int64_t{i}) {}
    Value(long i) : storage_(std::int64_t{i}) {}
    Value(long long i) : storage_(std::int64_t{i}) {}
    Value(unsigned i) : storage_(std::int64_t{i}) {}
    Value(double d) : storage_(d) {}
    Value(const char* s) : storage_(std::string(s)) {}
    Value(std::string s) : storage_(std::move(s)) {}
    Value(platform::Date d) : storage_(d) {}
    Value(platform::Data d) : storage_(std::move(d)) {}
    Value(platform::Array a) : storage_(std::move(a)) {}
    Value(platform::Dictionary d) : storage_(std::move(d)) {}

    Kind kind() const { return static_cast<Kind>(storage_.index()); }
    bool isNull() const { return kind() == Kind::Null; }

    // Typed views: null when the value holds another kind. No conversion
    // between kinds happens here (an integer is not a Boolean, a text is not a number).
    const bool* asBoolean() const { return std::get_if<bool>(&storage_); }
    const std::int64_t* asInteger() const { return std::get_if<std::int64_t>(&storage_); }
    const double* asReal() const { return std::get_if<double>(&storage_); }
    const std::string* asText() const { return std::get_if<std::string>(&storage_); }
    const platform::Date* asDate() const { return std::get_if<platform::Date>(&storage_); }
    const platform::Data* asData() const { return std::get_if<platform::Data>(&storage_); }
    const platform::Array* asArray() const { return std::get_if<platform::Array>(&storage_); }
    const platform::Dictionary* asDictionary() const { return std::get_if<platform::Dictionary>(&storage_); }
    platform::Array* asArray() { return std::get_if<platform::Array>(&storage_); }
    platform::Dictionary* asDictionary() { return std::get_if<platform::Dictionary>(&storage_); }

    // A number of either kind as a double (NSNumber's doubleValue); null otherwise.
    std::optional<double> numberAsDouble() const;

    // Member of a dictionary value; null when this is no dictionary or has no such key.
    const Value* find(const std::string& key) const;

    friend bool operator==(const Value&, const Value&) = default;

private:
    std::variant<std::monostate, bool, std::int64_t, double, std::string, platform::Date,
                 platform::Data, platform::Array, platform::Dictionary>
        storage_;
};

} // namespace platform
