#include "PictureFixtures.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include <gif_lib.h>
#include <jpeglib.h>
#include <stb/stb_image_write.h>

namespace morvell::test {
namespace {

void PutU16(std::string& s, unsigned v) {
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void PutU32(std::string& s, std::uint32_t v) {
    PutU16(s, v & 0xFFFF);
    PutU16(s, v >> 16);
}

int WriteToString(GifFileType* gif, const GifByteType* data, int length) {
    static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

ColorMapObject* MakeMap(const std::vector<Rgb>& colours) {
    if (colours.empty()) return nullptr;
    int size = 2;
    while (size < static_cast<int>(colours.size())) size *= 2;
    std::vector<GifColorType> c(static_cast<std::size_t>(size));
    for (std::size_t i = 0; i < colours.size(); ++i) c[i] = {colours[i].r, colours[i].g, colours[i].b};
    return GifMakeMapObject(size, c.data());
}

void Check(int result, const char* what) {
    if (result == GIF_ERROR) throw std::runtime_error(what);
}

// DIB part of an icon image: header with doubled height, colour rows, AND mask, bottom-up.
std::string IconDib(const IconImage& im) {
    std::string s;
    PutU32(s, 40);
    PutU32(s, static_cast<std::uint32_t>(im.width));
    PutU32(s, static_cast<std::uint32_t>(im.height * 2));
    PutU16(s, 1);
    PutU16(s, static_cast<unsigned>(im.bits));
    for (int i = 0; i < 6; ++i) PutU32(s, 0);
    const int bpp = im.bits / 8;
    const int stride = ((im.width * im.bits + 31) / 32) * 4;
    for (int y = im.height - 1; y >= 0; --y) {
        std::string row;
        for (int x = 0; x < im.width; ++x) {
            const Rgb c = im.colour ? im.colour(x, y) : Rgb{};
            row.push_back(static_cast<char>(c.b));
            row.push_back(static_cast<char>(c.g));
            row.push_back(static_cast<char>(c.r));
            if (bpp == 4) row.push_back(static_cast<char>(im.alpha));
        }
        row.resize(static_cast<std::size_t>(stride), '\0');
        s += row;
    }
    const int andStride = ((im.width + 31) / 32) * 4;
    for (int y = im.height - 1; y >= 0; --y) {
        std::string row(static_cast<std::size_t>(andStride), '\0');
        for (int x = 0; x < im.width; ++x)
            if (im.masked && im.masked(x, y)) row[static_cast<std::size_t>(x / 8)] |= static_cast<char>(0x80 >> (x % 8));
        s += row;
    }
    return s;
}

} // namespace

std::string MakeJpeg(int w, int h, const std::function<Rgb(int, int)>& colour, JpegKind kind, bool progressive,
                     int quality) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(w);
    cinfo.image_height = static_cast<JDIMENSION>(h);
    cinfo.input_components = kind == JpegKind::Gray ? 1 : kind == JpegKind::AdobeCmyk ? 4 : 3;
    cinfo.in_color_space = kind == JpegKind::Gray ? JCS_GRAYSCALE : kind == JpegKind::AdobeCmyk ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (progressive) jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(w * cinfo.input_components));
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = static_cast<int>(cinfo.next_scanline);
        for (int x = 0; x < w; ++x) {
            const Rgb c = colour(x, y);
            JSAMPLE* p = &row[static_cast<std::size_t>(x * cinfo.input_components)];
            if (kind == JpegKind::Gray) {
                p[0] = c.r;
            } else if (kind == JpegKind::AdobeCmyk) {
                // Inverted CMYK with no black ink: stored value = 255 - ink = the RGB value.
                p[0] = c.r;
                p[1] = c.g;
                p[2] = c.b;
                p[3] = 255;
            } else {
                p[0] = c.r;
                p[1] = c.g;
                p[2] = c.b;
            }
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::string out(reinterpret_cast<const char*>(buffer), size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return out;
}

std::string MakeGif(const GifSpec& gifShape) {
    std::string out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, WriteToString, &error);
    if (gif == nullptr) throw std::runtime_error("EGifOpen");
    EGifSetGifVersion(gif, true);
    ColorMapObject* global = MakeMap(gifShape.globalMap);
    const int bits = global ? global->BitsPerPixel : 8;
    Check(EGifPutScreenDesc(gif, gifShape.width, gifShape.height, bits, 0, global), "screen");
    GifFreeMapObject(global);
    if (gifShape.loopCount >= 0) {
        Check(EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE), "leader");
        Check(EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0"), "app");
        const unsigned char loop[3] = {1, static_cast<unsigned char>(gifShape.loopCount & 0xFF),
                                       static_cast<unsigned char>(gifShape.loopCount >> 8)};
        Check(EGifPutExtensionBlock(gif, 3, loop), "loop");
        Check(EGifPutExtensionTrailer(gif), "trailer");
    }
    for (const GifFrameSpec& f : gifShape.frames) {
        GraphicsControlBlock gcb{};
        gcb.DisposalMode = f.disposal;
        gcb.DelayTime = f.delayCs;
        gcb.TransparentColor = f.transparentIndex < 0 ? NO_TRANSPARENT_COLOR : f.transparentIndex;
        GifByteType ext[4];
        const std::size_t len = EGifGCBToExtension(&gcb, ext);
        Check(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(len), ext), "gce");
        ColorMapObject* local = MakeMap(f.localMap);
        Check(EGifPutImageDesc(gif, f.left, f.top, f.width, f.height, f.interlace, local), "image");
        GifFreeMapObject(local);
        std::vector<GifPixelType> line(static_cast<std::size_t>(f.width));
        auto putRow = [&](int y) {
            for (int x = 0; x < f.width; ++x) line[static_cast<std::size_t>(x)] = f.indices[static_cast<std::size_t>(y * f.width + x)];
            Check(EGifPutLine(gif, line.data(), f.width), "line");
        };
        if (f.interlace) {
            const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass)
                for (int y = start[pass]; y < f.height; y += step[pass]) putRow(y);
        } else {
            for (int y = 0; y < f.height; ++y) putRow(y);
        }
    }
    EGifCloseFile(gif, &error);
    return out;
}

std::string MakeBmp(int w, int h, const std::function<Rgb(int, int)>& colour, int bits, std::uint8_t alpha) {
    const int bpp = bits / 8;
    const int stride = ((w * bits + 31) / 32) * 4;
    std::string s = "BM";
    PutU32(s, static_cast<std::uint32_t>(54 + stride * h));
    PutU32(s, 0);
    PutU32(s, 54);
    PutU32(s, 40);
    PutU32(s, static_cast<std::uint32_t>(w));
    PutU32(s, static_cast<std::uint32_t>(h));
    PutU16(s, 1);
    PutU16(s, static_cast<unsigned>(bits));
    for (int i = 0; i < 6; ++i) PutU32(s, 0);
    for (int y = h - 1; y >= 0; --y) {
        std::string row;
        for (int x = 0; x < w; ++x) {
            const Rgb c = colour(x, y);
            row.push_back(static_cast<char>(c.b));
            row.push_back(static_cast<char>(c.g));
            row.push_back(static_cast<char>(c.r));
            if (bpp == 4) row.push_back(static_cast<char>(alpha));
        }
        row.resize(static_cast<std::size_t>(stride), '\0');
        s += row;
    }
    return s;
}

std::string MakeIco(const std::vector<IconImage>& images) {
    std::vector<std::string> data;
    for (const IconImage& im : images) data.push_back(im.png.empty() ? IconDib(im) : im.png);
    std::string s;
    PutU16(s, 0);
    PutU16(s, 1);
    PutU16(s, static_cast<unsigned>(images.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        s.push_back(static_cast<char>(images[i].width >= 256 ? 0 : images[i].width));
        s.push_back(static_cast<char>(images[i].height >= 256 ? 0 : images[i].height));
        s.push_back(0);
        s.push_back(0);
        PutU16(s, 1);
        PutU16(s, static_cast<unsigned>(images[i].bits));
        PutU32(s, static_cast<std::uint32_t>(data[i].size()));
        PutU32(s, offset);
        offset += static_cast<std::uint32_t>(data[i].size());
    }
    for (const std::string& d : data) s += d;
    return s;
}

std::string MakePng(int w, int h, Rgb colour, std::uint8_t alpha) {
    std::vector<unsigned char> px;
    for (int i = 0; i < w * h; ++i) px.insert(px.end(), {colour.r, colour.g, colour.b, alpha});
    std::string out;
    auto append = [](void* context, void* data, int size) {
        static_cast<std::string*>(context)->append(static_cast<const char*>(data), static_cast<std::size_t>(size));
    };
    stbi_write_png_to_func(append, &out, w, h, 4, px.data(), w * 4);
    return out;
}

} // namespace morvell::test
