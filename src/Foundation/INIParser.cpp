#include "Foundation/INIParser.h"

#include "Foundation/Stack.h"
#include "Foundation/Utf8Text.h"

#include <QString>
#include <QTextBoundaryFinder>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <system_error>
#include <variant>
#include <vector>

namespace {

using State = INIParser::State;

struct Title {
    std::string name;
};
struct Pair {
    std::string key;
    std::string value;
};
using LineResult = std::variant<std::monostate, Title, Pair>;

std::string readFileBytes(const std::string& path)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw std::system_error(errno, std::generic_category(), "cannot read " + path);
    std::string bytes;
    char buffer[8192];
    for (;;) {
        const ssize_t count = read(fd, buffer, sizeof buffer);
        if (count > 0) {
            bytes.append(buffer, static_cast<size_t>(count));
        } else if (count == 0) {
            break;
        } else if (errno != EINTR) {
            const int error = errno;
            close(fd);
            throw std::system_error(error, std::generic_category(), "cannot read " + path);
        }
    }
    close(fd);
    return bytes;
}

// Pieces of `text` between separators; empty pieces are dropped.
std::vector<std::string> splitDroppingEmpty(const std::string& text, const std::string& separator)
{
    std::vector<std::string> pieces;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(separator, start);
        if (end == std::string::npos)
            end = text.size();
        if (end > start)
            pieces.push_back(text.substr(start, end - start));
        start = end + separator.size();
    }
    return pieces;
}

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    for (const auto& piece : splitDroppingEmpty(text, "\r\n"))
        for (auto& line : splitDroppingEmpty(piece, "\n"))
            if (line != " ")
                lines.push_back(std::move(line));
    return lines;
}

[[noreturn]] void invalidSyntax()
{
    throw INIParser::Error(INIParser::Exception::InvalidSyntax);
}

// The state machine of one line, fed one user-perceived character at a time.
class LineParser {
public:
    // A result ends the line; null reads on.
    std::optional<LineResult> feed(const QString& character, int position)
    {
        const bool quoted = state_ == State::SingleQuotation || state_ == State::DoubleQuotation;
        if (character == u" " || character == u"\t") {
            if (quoted || (character == u" " && position != 0))
                buffer_ += character;
        } else if (character == u"[") {
            if (state_ == State::Variable) {
                buffer_.clear();
                stack_.push(state_);
                state_ = State::Title;
            }
        } else if (character == u"]") {
            if (state_ == State::Title) {
                if (!stack_.pop())
                    invalidSyntax();
                return Title{buffer_.toStdString()};
            }
        } else if (character == u"=") {
            if (state_ != State::Variable) {
                buffer_ += character;
            } else {
                key_ = buffer_;
                buffer_.clear();
                state_ = State::Value;
            }
        } else if (character == u"#" || character == u";") {
            return state_ == State::Value ? LineResult(pair()) : LineResult();
        } else if (character == u"\"") {
            quote(State::DoubleQuotation, character);
        } else if (character == u"'") {
            quote(State::SingleQuotation, character);
        } else {
            buffer_ += character;
        }
        return std::nullopt;
    }

    LineResult finish()
    {
        if (state_ != State::Value)
            invalidSyntax();
        return pair();
    }

private:
    Pair pair() const
    {
        if (!key_)
            invalidSyntax();
        return Pair{key_->toStdString(), buffer_.toStdString()};
    }

    void quote(State quotation, const QString& character)
    {
        if (state_ != quotation) {
            stack_.push(state_);
            state_ = quotation;
        } else {
            const auto previous = stack_.pop();
            if (!previous)
                invalidSyntax();
            state_ = *previous;
        }
        buffer_ += character;
    }

    QString buffer_;
    std::optional<QString> key_;
    Stack<State> stack_;
    State state_ = State::Variable;
};

LineResult parseLine(const std::string& line)
{
    const QString text = QString::fromStdString(line);
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    LineParser parser;
    int position = 0;
    qsizetype start = 0;
    for (qsizetype end = graphemes.toNextBoundary(); end != -1; end = graphemes.toNextBoundary()) {
        if (auto result = parser.feed(text.mid(start, end - start), position++))
            return *result;
        start = end;
    }
    return parser.finish();
}

const char* describe(INIParser::Exception exception)
{
    return exception == INIParser::Exception::InvalidFile ? "INIParser: the file is not valid UTF-8"
                                                          : "INIParser: invalid syntax";
}

} // namespace

INIParser::Error::Error(Exception exception) : std::runtime_error(describe(exception)), exception_(exception) {}

INIParser::INIParser(const std::string& path)
{
    const auto text = utf8Text(readFileBytes(path));
    if (!text)
        throw Error(Exception::InvalidFile);
    load(*text);
}

void INIParser::load(const std::string& text)
{
    std::optional<std::string> section;
    for (const auto& line : splitLines(text)) {
        const LineResult result = parseLine(line);
        if (const auto* title = std::get_if<Title>(&result)) {
            section = title->name;
        } else if (const auto* pair = std::get_if<Pair>(&result)) {
            auto& target = section ? _sections[*section] : _anonymousSection;
            target[pair->key] = pair->value;
        }
    }
}
