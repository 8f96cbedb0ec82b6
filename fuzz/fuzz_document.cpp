// Opens arbitrary bytes as an ebook (through a file, as the reader does), walks every object
// it loaded and asks each for its services, then closes the document.
#include "FuzzSupport.h"
#include "document/TOVKset.h"
#include "objects/TOVKoggetto.h"
#include "platform/Messages.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

const std::string& ScratchPath() {
    static const std::string path = fuzz::ScratchPath("fuzz_document");
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::SilentMessages silent;
    morvell::SetMessages(&silent);
    // One document for the whole run, as the reader has: every input is opened over the
    // previous one, so closing is exercised as much as opening.
    static morvell::TOVKset doc;
    static struct Cleanup {
        ~Cleanup() { ::unlink(ScratchPath().c_str()); }
    } cleanup;

    {
        std::ofstream out(ScratchPath(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    doc.SetOVKFileName(ScratchPath());

    const std::int64_t fileSize = doc.FileSize();
    for (int k = 0; k < morvell::kKindCount; ++k) {
        const auto kind = static_cast<morvell::TOggettiHel>(k);
        for (int i = 0; i < doc.Count(kind); ++i) {
            morvell::TOVKoggetto* object = doc.Object(kind, i);
            if (object == nullptr) continue;
            if (doc.ObjectByRef(object->Reference()) != object && k < 25) __builtin_trap();
            (void)object->DisplayName();
            (void)object->Describe();
            (void)object->StoredFileName();
            (void)object->GetAttribute("name");
            (void)object->GetAttribute("externalfile");
            (void)object->ShownObject();
            if (object->DataBytes().size() > static_cast<std::size_t>(fileSize) && object->IsFileBacked())
                __builtin_trap();
        }
    }
    (void)doc.CharSet();
    (void)doc.ExpPrefix();
    (void)doc.GlobalMargin();
    (void)doc.FontCharSet();
    doc.Close();
    return 0;
}
