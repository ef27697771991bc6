#include "Screens/Common/TextFormat.h"

#include <algorithm>
#include <charconv>
#include <functional>

namespace {

// Walks the format, passing each literal piece and each argument slot (a 0-based
// index) to the callbacks.
void scanFormat(std::string_view format, const std::function<void(std::string_view)>& literal,
                const std::function<void(std::size_t)>& slot)
{
    std::size_t next = 0;
    std::size_t i = 0;
    while (i < format.size()) {
        const std::size_t percent = format.find('%', i);
        literal(format.substr(i, percent - i));
        if (percent == std::string_view::npos)
            return;
        const std::string_view rest = format.substr(percent + 1);
        std::size_t position = 0;
        const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), position);
        const std::size_t digits = static_cast<std::size_t>(end - rest.data());
        if (rest.starts_with('@')) {
            slot(next++);
            i = percent + 2;
        } else if (rest.starts_with('%')) {
            literal("%");
            i = percent + 2;
        } else if (error == std::errc() && position > 0 && rest.substr(digits).starts_with("$@")) {
            slot(position - 1);
            i = percent + 1 + digits + 2;
        } else {
            literal("%");
            i = percent + 1;
        }
    }
}

} // namespace

std::string formatText(std::string_view format, const std::vector<std::string>& arguments)
{
    std::string text;
    scanFormat(
        format, [&](std::string_view piece) { text += piece; },
        [&](std::size_t index) {
            if (index < arguments.size())
                text += arguments[index];
        });
    return text;
}

std::size_t formatArgumentCount(std::string_view format)
{
    std::size_t count = 0;
    scanFormat(format, [](std::string_view) {}, [&](std::size_t index) { count = std::max(count, index + 1); });
    return count;
}
