// zum32rc: compiles a resource script into C++ source with the embedded resource table.
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>

#include "rc_compiler.h"
#include "../write_file.h"


int main(int argc, char** argv) {
    std::string usage = "usage: zum32rc <script.rc> <output.cpp> [--depfile <output.d>]";
    if (argc != 3 && !(argc == 5 && std::string(argv[3]) == "--depfile")) {
        std::cerr << usage << "\n";
        return 2;
    }
    std::filesystem::path script = argv[1], output = argv[2];
    try {
        rc::Script compiled = rc::CompileFile(script);
        if (!tools::WriteFileAtomically(output, rc::Emit(compiled, script.filename().string()))) {
            std::cerr << "zum32rc: cannot write " << output.string() << "\n";
            return 1;
        }
        if (argc == 5 && !tools::WriteFileAtomically(argv[4], rc::Depfile(output, compiled))) {
            std::cerr << "zum32rc: cannot write " << argv[4] << "\n";
            return 1;
        }
    } catch (const rc::CompileError& e) {
        std::cerr << e.file() << ":" << e.line() << ": error: " << e.message() << "\n";
        std::error_code ec;
        std::filesystem::remove(output, ec);  // so the next build runs the script again
        return 1;
    }
    return 0;
}
