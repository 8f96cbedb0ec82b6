// Lays out and draws a text read from arbitrary bytes at widths taken from the input.

#include "document/TOVKset.h"
#include "platform/Messages.h"
#include "text/RecordingCanvas.h"
#include "text/TextModel.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace morvell;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static RecordingMessages* messages = [] {
        auto* m = new RecordingMessages();
        SetMessages(m);
        return m;
    }();
    static TOVKset* document = [] {
        auto* d = new TOVKset();
        d->New();
        return d;
    }();
    messages->Clear();
    if (size < 3) return 0;
    const int width = (data[0] | (data[1] << 8)) - 2000; // also negative and tiny widths
    const int zoom = 5 + data[2] % 16;
    const std::string input(reinterpret_cast<const char*>(data + 3), size - 3);

    FixedMetrics metrics;
    TextModel model(document, &metrics);
    model.SetZoom(zoom);
    model.SetLayoutWidth(width);
    model.Load(input);
    model.LayOut();
    for (const auto& p : model.Paragraphs()) {
        int count = 0;
        for (const TOVKline& line : p->Lines()) {
            if (line.first < 0 || line.count < 0 || line.first + line.count > p->Length()) std::abort();
            count += line.count;
        }
        if (count != p->Length()) std::abort();
    }
    if (!model.Paragraphs().empty())
        model.Select({0, 1}, {static_cast<int>(model.Paragraphs().size()) - 1, 3});
    RecordingCanvas canvas;
    model.Draw(canvas);
    return 0;
}
