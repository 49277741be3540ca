// Writes the manual page of zorva-cli from its help table (src/cli/help.cpp). The page is
// committed as docs/zorva-cli.1 and compared byte for byte with what this writes by a
// CTest test, so the page and the program's own help never part.
#include <fstream>
#include <iostream>

#include "cli/help.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: zorva_gen_man_page OUTPUT_FILE\n";
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << zorva::cli::ManPage();
    out.close();
    if (!out) {
        std::cerr << "zorva_gen_man_page: cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
