// Builds a signature database from its readable source:
//   bg-sigdb <records source> <database>
#include "DatabaseWriter.h"
#include "SourceParser.h"

#include <fstream>
#include <iostream>
#include <sstream>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: bg-sigdb <records source> <database>\n";
        return 2;
    }
    std::ifstream input(argv[1]);
    if (!input) {
        std::cerr << "bg-sigdb: cannot read " << argv[1] << '\n';
        return 1;
    }
    std::stringstream text;
    text << input.rdbuf();
    std::string error;
    const auto source = sigdb::parseSource(text.str(), error);
    if (!source || !sigdb::buildDatabase(*source, argv[2], error)) {
        std::cerr << "bg-sigdb: " << argv[1] << ": " << error << '\n';
        return 1;
    }
    return 0;
}
