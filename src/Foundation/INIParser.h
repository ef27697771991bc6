#pragma once

#include <map>
#include <stdexcept>
#include <string>

// Reads an INI-style file into sections of key/value texts. The grammar keeps
// blanks inside keys and values and quote characters in the text, drops
// brackets outside section titles, and takes "#" or ";" as the end of a line.
// Built once by the constructor and not changed afterwards.
class INIParser {
public:
    enum class State { Title, Variable, Value, SingleQuotation, DoubleQuotation };
    enum class Exception { InvalidSyntax, InvalidFile };

    // What the constructor throws for a file it read but cannot take.
    class Error : public std::runtime_error {
    public:
        explicit Error(Exception exception);
        Exception exception() const { return exception_; }

    private:
        Exception exception_;
    };

    using Section = std::map<std::string, std::string>;

    // Throws std::system_error when the file cannot be read, Error(InvalidFile)
    // when it is not UTF-8, Error(InvalidSyntax) when a line breaks the grammar.
    explicit INIParser(const std::string& path);

    // Sections with at least one pair, by exact name.
    const std::map<std::string, Section>& sections() const { return _sections; }
    // The pairs before the first section line.
    const Section& anonymousSection() const { return _anonymousSection; }

private:
    void load(const std::string& text);

    std::map<std::string, Section> _sections;
    Section _anonymousSection;
};
