// cp932_literals: copies a game source with its narrow literals written as CP932 byte escapes.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "literal_rewriter.h"
#include "../write_file.h"


int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: cp932_literals <input> <output>\n";
        return 2;
    }
    std::filesystem::path input = argv[1], output = argv[2];
    std::ifstream in(input, std::ios::binary);
    std::string source(std::istreambuf_iterator<char>(in), {});
    if (!in || in.bad()) {
        std::cerr << "cp932_literals: cannot read " << input.string() << "\n";
        return 1;
    }
    std::error_code ec;
    try {
        std::string rewritten = cp932::RewriteLiterals(source);
        if (output.has_parent_path()) std::filesystem::create_directories(output.parent_path(), ec);
        if (!tools::WriteFileAtomically(output, rewritten)) {
            std::cerr << "cp932_literals: cannot write " << output.string() << "\n";
            return 1;
        }
    } catch (const cp932::RewriteError& e) {
        std::cerr << input.string() << ":" << e.line() << ": error: " << e.what() << "\n";
        std::filesystem::remove(output, ec);  // so that the build rewrites it again
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "cp932_literals: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
