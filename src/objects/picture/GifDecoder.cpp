#include "objects/picture/GifDecoder.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include <gif_lib.h>

namespace morvell {
namespace {

struct MemoryInput {
    const GifByteType* data = nullptr;
    std::size_t size = 0;
    std::size_t pos = 0;
};

int ReadFromMemory(GifFileType* gif, GifByteType* buffer, int length) {
    auto* in = static_cast<MemoryInput*>(gif->UserData);
    if (length <= 0) return 0;
    const std::size_t n = std::min(static_cast<std::size_t>(length), in->size - in->pos);
    std::memcpy(buffer, in->data + in->pos, n);
    in->pos += n;
    return static_cast<int>(n);
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};

// What a graphic control extension says about the image that follows it.
struct GraphicControl {
    int delayMs = 0;
    GifDisposal disposal = GifDisposal::Unspecified;
    int transparentIndex = -1;
};

// Colours of one image: its local map, else the global one. A file with neither still
// shows something: index i becomes grey level i, which keeps shapes recognisable.
struct Palette {
    std::uint32_t colours[256];

    explicit Palette(const ColorMapObject* map) {
        const int count = map != nullptr ? std::clamp(map->ColorCount, 0, 256) : 0;
        for (int i = 0; i < 256; ++i) {
            if (map == nullptr) {
                colours[i] = Bitmap::Opaque(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i),
                                            static_cast<std::uint8_t>(i));
            } else if (i < count) {
                const GifColorType& c = map->Colors[i];
                colours[i] = Bitmap::Opaque(c.Red, c.Green, c.Blue);
            } else {
                // An index past the map's end: opaque black, as common viewers show it.
                colours[i] = Bitmap::Opaque(0, 0, 0);
            }
        }
    }
};

// Skips the compressed data of an image we do not draw (zero-sized images).
bool SkipImageData(GifFileType* gif) {
    int codeSize = 0;
    GifByteType* block = nullptr;
    if (DGifGetCode(gif, &codeSize, &block) == GIF_ERROR) return false;
    while (block != nullptr)
        if (DGifGetCodeNext(gif, &block) == GIF_ERROR) return false;
    return true;
}

class GifComposer {
public:
    GifComposer(GifFileType* gif, const DecodeLimits& limits) : m_gif(gif), m_limits(limits) {}

    DecodedPicture Run() {
        m_picture.width = m_gif->SWidth;
        m_picture.height = m_gif->SHeight;
        // A screen of 0 in either direction takes its size from the first image (below).
        if ((m_picture.width > 0 && m_picture.height > 0) && !m_limits.Fits(m_picture.width, m_picture.height))
            return {};

        GifRecordType type = UNDEFINED_RECORD_TYPE;
        do {
            if (DGifGetRecordType(m_gif, &type) == GIF_ERROR) break;
            if (type == EXTENSION_RECORD_TYPE) {
                if (!ReadExtension()) break;
            } else if (type == IMAGE_DESC_RECORD_TYPE) {
                if (!ReadImage()) break;
            }
        } while (type != TERMINATE_RECORD_TYPE);

        if (m_picture.frames.empty()) return {};
        return std::move(m_picture);
    }

private:
    bool ReadExtension() {
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(m_gif, &code, &block) == GIF_ERROR) return false;
        bool first = true;
        bool netscape = false;
        while (block != nullptr) {
            const int length = block[0];
            if (code == GRAPHICS_EXT_FUNC_CODE && first && length >= 4) {
                const int flags = block[1];
                m_control.disposal = static_cast<GifDisposal>((flags >> 2) & 0x07);
                if (static_cast<int>(m_control.disposal) > 3) m_control.disposal = GifDisposal::Unspecified;
                m_control.delayMs = (block[2] | (block[3] << 8)) * 10;
                m_control.transparentIndex = (flags & 0x01) ? block[4] : -1;
            } else if (code == APPLICATION_EXT_FUNC_CODE && first && length >= 11) {
                netscape = std::memcmp(block + 1, "NETSCAPE2.0", 11) == 0 ||
                           std::memcmp(block + 1, "ANIMEXTS1.0", 11) == 0;
            } else if (netscape && !first && length >= 3 && block[1] == 1) {
                m_picture.loopCount = block[2] | (block[3] << 8);
            }
            first = false;
            if (DGifGetExtensionNext(m_gif, &block) == GIF_ERROR) return false;
        }
        return true;
    }

    // Reads one image; false ends the decode (error, or a bound reached).
    bool ReadImage() {
        if (DGifGetImageDesc(m_gif) == GIF_ERROR) return false;
        const GifImageDesc& desc = m_gif->Image;
        const GraphicControl control = m_control;
        m_control = GraphicControl{};

        if (m_picture.frames.empty() && (m_picture.width <= 0 || m_picture.height <= 0)) {
            m_picture.width = std::max(0, desc.Left) + std::max(0, desc.Width);
            m_picture.height = std::max(0, desc.Top) + std::max(0, desc.Height);
            if (!m_limits.Fits(m_picture.width, m_picture.height)) return false;
        }
        const std::int64_t screen = static_cast<std::int64_t>(m_picture.width) * m_picture.height;
        const std::int64_t declared = static_cast<std::int64_t>(std::max(0, desc.Width)) * std::max(0, desc.Height);
        // Every bound is checked before this frame allocates or decodes anything.
        if (static_cast<int>(m_picture.frames.size()) >= m_limits.maxFrames) return false;
        if (screen * static_cast<std::int64_t>(m_picture.frames.size() + 1) > m_limits.maxPixels) return false;
        if (desc.Width > m_limits.maxDimension || desc.Height > m_limits.maxDimension) return false;
        if (m_decoded + declared > m_limits.maxGifDecodedPixels) return false;
        m_decoded += declared;

        if (m_canvas.Empty()) m_canvas = Bitmap(m_picture.width, m_picture.height);
        ApplyDisposal();

        PictureFrame frame;
        frame.left = std::clamp(desc.Left, 0, m_picture.width);
        frame.top = std::clamp(desc.Top, 0, m_picture.height);
        frame.width = std::clamp(desc.Left + desc.Width, 0, m_picture.width) - frame.left;
        frame.height = std::clamp(desc.Top + desc.Height, 0, m_picture.height) - frame.top;
        frame.delayMs = control.delayMs;
        frame.disposal = control.disposal;
        frame.transparent = control.transparentIndex >= 0;

        if (frame.disposal == GifDisposal::Previous) m_saved = m_canvas;

        bool complete = true;
        m_rowsRead = 0;
        if (declared == 0) {
            complete = SkipImageData(m_gif);
        } else {
            const Palette palette(desc.ColorMap != nullptr ? desc.ColorMap : m_gif->SColorMap);
            complete = DrawRows(desc, palette, control.transparentIndex);
        }
        // A frame cut off by the end of the data is kept only as the first one, and only when
        // some of its rows arrived: a still GIF downloaded half-way shows its top half.
        if (!complete && (!m_picture.frames.empty() || m_rowsRead == 0)) return false;

        frame.bitmap = m_canvas;
        m_pending = {frame.left, frame.top, frame.width, frame.height, frame.disposal};
        m_picture.frames.push_back(std::move(frame));
        return complete;
    }

    bool DrawRows(const GifImageDesc& desc, const Palette& palette, int transparentIndex) {
        m_line.resize(static_cast<std::size_t>(desc.Width));
        m_rowsRead = 0;
        const int x0 = std::max(0, -desc.Left);
        const int x1 = std::min(desc.Width, m_picture.width - desc.Left);
        auto drawRow = [&](int row) {
            const int y = desc.Top + row;
            if (y < 0 || y >= m_picture.height || x0 >= x1) return;
            std::uint32_t* out = m_canvas.Row(y) + desc.Left;
            for (int x = x0; x < x1; ++x) {
                const int index = m_line[static_cast<std::size_t>(x)];
                if (index == transparentIndex) continue;
                out[x] = palette.colours[index];
            }
        };
        auto readRow = [&](int row) {
            if (DGifGetLine(m_gif, m_line.data(), desc.Width) == GIF_ERROR) return false;
            drawRow(row);
            ++m_rowsRead;
            return true;
        };
        if (desc.Interlace) {
            static constexpr int kStart[4] = {0, 4, 2, 1};
            static constexpr int kStep[4] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass)
                for (int row = kStart[pass]; row < desc.Height; row += kStep[pass])
                    if (!readRow(row)) return false;
        } else {
            for (int row = 0; row < desc.Height; ++row)
                if (!readRow(row)) return false;
        }
        return true;
    }

    // Undoes the previous frame as its disposal asks, before the next one is drawn.
    void ApplyDisposal() {
        if (m_pending.disposal == GifDisposal::Background) {
            for (int y = m_pending.top; y < m_pending.top + m_pending.height; ++y)
                std::fill_n(m_canvas.Row(y) + m_pending.left, m_pending.width, 0u);
        } else if (m_pending.disposal == GifDisposal::Previous && !m_saved.Empty()) {
            m_canvas = std::move(m_saved);
            m_saved = Bitmap();
        }
        m_pending = {};
    }

    struct PendingDisposal {
        int left = 0, top = 0, width = 0, height = 0;
        GifDisposal disposal = GifDisposal::Unspecified;
    };

    GifFileType* m_gif;
    DecodeLimits m_limits;
    DecodedPicture m_picture;
    GraphicControl m_control;
    Bitmap m_canvas;
    Bitmap m_saved; // the screen before a frame whose disposal is Previous
    PendingDisposal m_pending;
    std::vector<GifPixelType> m_line;
    std::int64_t m_decoded = 0;
    int m_rowsRead = 0; // of the image being read
};

} // namespace

DecodedPicture DecodeGif(std::string_view bytes, const DecodeLimits& limits) {
    MemoryInput input{reinterpret_cast<const GifByteType*>(bytes.data()), bytes.size(), 0};
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&input, ReadFromMemory, &error));
    if (!gif) return {};
    return GifComposer(gif.get(), limits).Run();
}

} // namespace morvell
