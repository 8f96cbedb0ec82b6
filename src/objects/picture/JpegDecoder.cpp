#include "objects/picture/JpegDecoder.h"

#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE and size_t declared first
#include <cstring>
#include <vector>

#include <jpeglib.h>

namespace morvell {
namespace {

// Everything the decode touches lives here, outside the function that calls setjmp: after a
// longjmp only memory (never a local of that function) holds the state we clean up from.
struct JpegContext;

// libjpeg hands its error manager back to the callbacks; the context rides along behind it.
struct ErrorManager {
    jpeg_error_mgr pub{};
    JpegContext* context = nullptr;
};

struct JpegContext {
    jpeg_decompress_struct cinfo{};
    ErrorManager errorManager{};
    jpeg_progress_mgr progress{};
    std::jmp_buf jump{};
    int warnings = 0;
    std::vector<JSAMPLE> row;
    Bitmap bitmap;
};

JpegContext& ContextOf(j_common_ptr cinfo) { return *reinterpret_cast<ErrorManager*>(cinfo->err)->context; }

[[noreturn]] void OnFatalError(j_common_ptr cinfo) { std::longjmp(ContextOf(cinfo).jump, 1); }

// libjpeg's default prints warnings on stderr; a reader has no business doing that. We only
// count them, and a flood of them means the file is built to waste time.
void OnMessage(j_common_ptr cinfo, int level) {
    if (level >= 0) return; // trace messages
    JpegContext& ctx = ContextOf(cinfo);
    if (++ctx.warnings > kMaxJpegWarnings) OnFatalError(cinfo);
}

void OnOutputMessage(j_common_ptr) {}

void OnProgress(j_common_ptr cinfo) {
    if (!cinfo->is_decompressor) return;
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > kMaxJpegScans) OnFatalError(cinfo);
}

std::uint8_t Scale255(unsigned a, unsigned b) { return static_cast<std::uint8_t>((a * b + 127) / 255); }

// Runs the decode; every libjpeg call that can fail is below the setjmp. No object with a
// destructor is created after setjmp, so the longjmp skips nothing that needs cleaning up.
bool DecodeInto(JpegContext& ctx, std::string_view bytes, const DecodeLimits& limits) {
    jpeg_decompress_struct& cinfo = ctx.cinfo;
    cinfo.err = jpeg_std_error(&ctx.errorManager.pub);
    ctx.errorManager.context = &ctx;
    ctx.errorManager.pub.error_exit = OnFatalError;
    ctx.errorManager.pub.emit_message = OnMessage;
    ctx.errorManager.pub.output_message = OnOutputMessage;
    if (setjmp(ctx.jump)) return false;

    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = kMaxJpegWorkMemory;
    ctx.progress.progress_monitor = OnProgress;
    cinfo.progress = &ctx.progress;
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()),
                 static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) return false;
    // The header's size is checked before the library allocates anything image-sized.
    if (!limits.Fits(cinfo.image_width, cinfo.image_height)) return false;

    switch (cinfo.jpeg_color_space) {
    case JCS_GRAYSCALE: cinfo.out_color_space = JCS_GRAYSCALE; break;
    case JCS_CMYK:
    case JCS_YCCK: cinfo.out_color_space = JCS_CMYK; break;
    default: cinfo.out_color_space = JCS_RGB; break;
    }
    jpeg_start_decompress(&cinfo);
    const int components = cinfo.output_components;
    const bool componentsMatch = (cinfo.out_color_space == JCS_GRAYSCALE && components == 1) ||
                                 (cinfo.out_color_space == JCS_RGB && components == 3) ||
                                 (cinfo.out_color_space == JCS_CMYK && components == 4);
    if (!componentsMatch || !limits.Fits(cinfo.output_width, cinfo.output_height)) return false;

    const int width = static_cast<int>(cinfo.output_width);
    const int height = static_cast<int>(cinfo.output_height);
    // Adobe writes CMYK inverted (0 = full ink); other writers store it straight.
    const bool invertedCmyk = cinfo.saw_Adobe_marker;
    ctx.row.resize(static_cast<std::size_t>(width) * components);
    ctx.bitmap = Bitmap(width, height);
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = static_cast<int>(cinfo.output_scanline);
        JSAMPROW rows[1] = {ctx.row.data()};
        if (jpeg_read_scanlines(&cinfo, rows, 1) != 1) return false;
        std::uint32_t* out = ctx.bitmap.Row(y);
        const JSAMPLE* in = ctx.row.data();
        for (int x = 0; x < width; ++x, in += components) {
            switch (components) {
            case 1: out[x] = Bitmap::Opaque(in[0], in[0], in[0]); break;
            case 3: out[x] = Bitmap::Opaque(in[0], in[1], in[2]); break;
            default: {
                unsigned c = in[0], m = in[1], yl = in[2], k = in[3];
                if (!invertedCmyk) {
                    c = 255 - c;
                    m = 255 - m;
                    yl = 255 - yl;
                    k = 255 - k;
                }
                out[x] = Bitmap::Opaque(Scale255(c, k), Scale255(m, k), Scale255(yl, k));
                break;
            }
            }
        }
    }
    jpeg_finish_decompress(&cinfo);
    return true;
}

} // namespace

DecodedPicture DecodeJpeg(std::string_view bytes, const DecodeLimits& limits) {
    if (bytes.size() < 4) return {};
    JpegContext ctx;
    const bool ok = DecodeInto(ctx, bytes, limits);
    // Safe on a half-created decompressor too: it frees only what was allocated.
    if (ctx.cinfo.mem != nullptr) jpeg_destroy_decompress(&ctx.cinfo);
    if (!ok) return {};
    return StillPicture(std::move(ctx.bitmap));
}

} // namespace morvell
