// ovkbuild MANIFEST.json -o OUT.ovk: writes an ebook from its JSON manifest (see Manifest.h).
#include "ovkbuild/Manifest.h"

#include <cstring>
#include <iostream>

int main(int argc, char** argv) {
    std::string manifest, output;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-o") == 0 && i + 1 < argc)
            output = argv[++i];
        else if (manifest.empty())
            manifest = argv[i];
        else
            manifest.clear(), output.clear(), i = argc;
    }
    if (manifest.empty() || output.empty()) {
        std::cerr << "usage: ovkbuild MANIFEST.json -o OUT.ovk\n";
        return 2;
    }
    try {
        ovkbuild::BuildFromManifestFile(manifest).Write(output);
    } catch (const ovkbuild::BuildError& e) {
        std::cerr << "ovkbuild: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
