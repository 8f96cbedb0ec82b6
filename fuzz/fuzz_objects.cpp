// Object records and their services on arbitrary bytes: the input becomes one section of
// records of one kind (the first byte picks the kind, the second the record size) and the
// data area, the ebook is opened through a document, and every service runs on every object.
// The same bytes are also read as a memory form.

#include "document/TOVKset.h"
#include "objects/TOVKoggetto.h"
#include "objects/TOVKtesto.h"
#include "ovkbuild/Builder.h"
#include "platform/Messages.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

using namespace morvell;

namespace {

const std::string& BookPath() {
    static const std::string path = [] {
        const char* tmp = std::getenv("TMPDIR");
        return std::string(tmp && *tmp ? tmp : "/tmp") + "/fuzz_objects_" + std::to_string(::getpid()) +
               ".ovk";
    }();
    return path;
}

void Exercise(TOVKoggetto& o) {
    (void)o.DisplayName();
    (void)o.Describe();
    (void)o.StoredFileName();
    (void)o.ElementName();
    (void)o.ShownObject();
    (void)o.IsFloating();
    (void)o.GetAttribute("name");
    (void)o.GetAttribute("allfields");
    (void)o.GetField("charset");
    std::string out;
    std::vector<std::string> problems;
    (void)o.WriteData(out, true, &problems);
    std::string form;
    o.WriteToStream(form);
    auto copy = TOVKoggetto::Create(o.Kind());
    std::size_t pos = 0;
    copy->ReadFromStream(AsBytes(form), pos);
    copy->Assign(o);
    copy->SetAttribute("name", "x");
    copy->SetField("a", "b");
    copy->SetField("a", "");
    (void)copy->ExtractToFile();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static RecordingMessages messages;
    static ScopedMessages scoped(messages);
    messages.Clear();
    if (size < 2) return 0;

    {
        auto loose = TOVKoggetto::Create(TOggettiHel::shortObj);
        std::size_t pos = 0;
        loose->ReadFromStream(ByteSpan(data, size), pos);
        Exercise(*loose);
    }

    const auto kind = static_cast<TOggettiHel>(data[0] % 25);
    const int recordSize = data[1] == 0 ? 668 : static_cast<int>(data[1]) * 3; // 3 ... 765
    const std::size_t recordBytes = std::min<std::size_t>(size - 2, static_cast<std::size_t>(recordSize) * 3);
    ovkbuild::Builder b;
    b.SetRecordSize(kind, recordSize);
    for (std::size_t at = 0; at < recordBytes; at += static_cast<std::size_t>(recordSize)) {
        const std::size_t n = std::min<std::size_t>(recordSize, recordBytes - at);
        b.AddRecord(kind,
                    ovkbuild::Record::FromRaw(std::string(reinterpret_cast<const char*>(data) + 2 + at, n)));
    }
    b.AddData(std::string(reinterpret_cast<const char*>(data) + 2 + recordBytes, size - 2 - recordBytes));
    try {
        b.Write(BookPath());
    } catch (const std::exception&) {
        return 0;
    }

    TOVKset doc;
    if (doc.SetOVKFileName(BookPath())) {
        for (int k = 0; k < kKindCount; ++k)
            for (int i = 0; i < doc.Count(static_cast<TOggettiHel>(k)); ++i)
                if (TOVKoggetto* o = doc.Object(static_cast<TOggettiHel>(k), i)) Exercise(*o);
        for (int k = 0; k < kKindCount; ++k)
            for (int i = 0; i < doc.Count(static_cast<TOggettiHel>(k)); ++i)
                if (TOVKoggetto* o = doc.Object(static_cast<TOggettiHel>(k), i)) {
                    (void)o->ExtractToFile();
                    o->Reset();
                }
    }
    doc.Close();
    ::unlink(BookPath().c_str());
    return 0;
}
